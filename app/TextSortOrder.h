#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// The positions 0..count-1 ordered stably by their texts in the user's
// locale, numbers within texts compared by value. textAt is called from
// several threads at once.
std::vector<uint32_t> StableTextOrder(size_t count, const std::function<QString(size_t position)>& textAt,
                                      bool ascending);
