#include "app/Utf8TextStore.h"

#include <QStringEncoder>

#include <algorithm>

namespace {
constexpr size_t kBlockBytes = 1 << 20;
}  // namespace

Utf8TextStore::Ref Utf8TextStore::Append(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const size_t needed = static_cast<size_t>(encoder.requiredSpace(text.size()));
    if (m_blocks.empty() || m_blockSize - m_used < needed) {
        m_blockSize = std::max(kBlockBytes, needed);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_blockSize));
        m_used = 0;
    }
    char* start = m_blocks.back().get() + m_used;
    const char* end = encoder.appendToBuffer(start, text);
    const auto length = static_cast<uint32_t>(end - start);
    m_used += length;
    return Ref{start, length};
}

void Utf8TextStore::Clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_blockSize = 0;
    m_used = 0;
}
