#pragma once

#include <QChar>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// A text as a folder number (kNoFolder: none) and the UTF-8 rest; with a
// folder the text is folder + separator + rest.
using SplitText = std::pair<uint32_t, std::string_view>;
inline constexpr uint32_t kNoFolder = 0x7fff'ffff;

// The positions 0..count-1 ordered stably by their whole texts in the user's
// locale, numbers within texts compared by value. Two paths part where their
// first differing folder or name begins, and what follows decides only when
// those two collate alike but for case or accents; so each folder's names
// (a sub-folder's with its separator) are compared with one another, and only
// groups of names that collate alike have their texts keyed whole. folders
// are UTF-8, without their trailing separator; textAt is called from several
// threads at once.
std::vector<uint32_t> StablePathOrder(const std::vector<std::string_view>& folders, size_t count,
                                      const std::function<SplitText(size_t position)>& textAt, QChar separator,
                                      bool ascending);
