#include "app/Utf8TextStore.h"

#include <QStringEncoder>

#include <algorithm>
#include <iterator>

namespace {
constexpr size_t kBlockBytes = 1 << 20;
}  // namespace

char* Utf8TextStore::Reserve(size_t bytes)
{
    if (m_blocks.empty() || m_blockSize - m_used < bytes) {
        m_blockSize = std::max(kBlockBytes, bytes);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_blockSize));
        m_used = 0;
    }
    return m_blocks.back().get() + m_used;
}

Utf8TextStore::Ref Utf8TextStore::Append(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char* start = Reserve(static_cast<size_t>(encoder.requiredSpace(text.size())));
    const char* end = encoder.appendToBuffer(start, text);
    const auto length = static_cast<uint32_t>(end - start);
    m_used += length;
    return Ref{start, length};
}

Utf8TextStore::Ref Utf8TextStore::AppendJoined(std::initializer_list<std::string_view> utf8Parts)
{
    size_t length = 0;
    for (const std::string_view part : utf8Parts)
        length += part.size();
    char* start = Reserve(length);
    char* out = start;
    for (const std::string_view part : utf8Parts)
        out = std::copy(part.begin(), part.end(), out);
    m_used += length;
    return Ref{start, static_cast<uint32_t>(length)};
}

void Utf8TextStore::Adopt(Utf8TextStore&& other)
{
    if (other.m_blocks.empty())
        return;
    // The other's last block becomes the one that takes the next texts.
    std::move(other.m_blocks.begin(), other.m_blocks.end(), std::back_inserter(m_blocks));
    m_blockSize = other.m_blockSize;
    m_used = other.m_used;
    other.Clear();
}

void Utf8TextStore::Clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_blockSize = 0;
    m_used = 0;
}
