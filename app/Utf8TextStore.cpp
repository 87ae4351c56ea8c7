#include "app/Utf8TextStore.h"

#include <algorithm>

namespace {
constexpr size_t kBlockBytes = 1 << 20;
}  // namespace

std::string_view Utf8TextStore::Append(std::string_view utf8)
{
    if (m_blocks.empty() || m_blockSize - m_used < utf8.size()) {
        m_blockSize = std::max(kBlockBytes, utf8.size());
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_blockSize));
        m_used = 0;
    }
    char* start = m_blocks.back().get() + m_used;
    std::copy(utf8.begin(), utf8.end(), start);
    m_used += utf8.size();
    return {start, utf8.size()};
}
