#pragma once

#include "app/core/LargeBlock.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

// Holds many UTF-8 texts in large blocks: no overhead a text instead of a
// heap object each. A text never moves and lives as long as the store, so
// its bytes may be referred to from anywhere meanwhile. The blocks grow from
// small to 2 MiB, so a store of a few texts stays small.
class Utf8TextStore {
public:
    std::string_view Append(std::string_view utf8) { return Append({utf8}); }
    // The parts as one text.
    std::string_view Append(std::initializer_list<std::string_view> parts);

private:
    std::vector<LargeArray<char>> m_blocks;
    size_t m_blockSize = 0;
    size_t m_used = 0;
};

// Appends the UTF-8 text to out as UTF-16, decoded in place.
void AppendUtf8(QString& out, std::string_view utf8);
// The UTF-16 length of valid UTF-8: every byte but a continuation byte
// starts a character, and one of four bytes needs two units.
qsizetype Utf16Length(std::string_view utf8);
