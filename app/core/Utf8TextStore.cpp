#include "app/core/Utf8TextStore.h"

#include <QStringDecoder>

#include <algorithm>

namespace {
constexpr size_t kFirstBlockBytes = 64 << 10;
constexpr size_t kLargestBlockBytes = 2 << 20;
}  // namespace

std::string_view Utf8TextStore::Append(std::initializer_list<std::string_view> parts)
{
    size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    if (m_blocks.empty() || m_blockSize - m_used < size) {
        const size_t next = m_blocks.empty() ? kFirstBlockBytes : std::min(2 * m_blockSize, kLargestBlockBytes);
        m_blockSize = std::max(next, size);
        m_blocks.push_back(MakeLargeArray<char>(m_blockSize));
        m_used = 0;
    }
    char* start = m_blocks.back().get() + m_used;
    char* end = start;
    for (const std::string_view part : parts)
        end = std::copy(part.begin(), part.end(), end);
    m_used += size;
    return {start, size};
}

qsizetype Utf16Length(std::string_view utf8)
{
    qsizetype length = 0;
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        length += (c & 0xc0) != 0x80 ? (c >= 0xf0 ? 2 : 1) : 0;
    }
    return length;
}

void AppendUtf8(QString& out, std::string_view utf8)
{
    // Plain ASCII, the common case, is Latin-1 too, which Qt widens fast.
    unsigned char bits = 0;
    for (const char c : utf8)
        bits |= static_cast<unsigned char>(c);
    if (bits < 0x80) {
        out.append(QLatin1StringView(utf8.data(), static_cast<qsizetype>(utf8.size())));
        return;
    }
    // Room for the longest outcome, one UTF-16 unit per byte, then cut to what was written.
    const qsizetype start = out.size();
    out.resize(start + static_cast<qsizetype>(utf8.size()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* end =
        decoder.appendToBuffer(out.data() + start, QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    out.truncate(end - out.constData());
}
