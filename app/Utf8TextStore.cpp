#include "app/Utf8TextStore.h"

#include <QStringDecoder>

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

void AppendUtf8(QString& out, std::string_view utf8)
{
    // Room for the longest outcome, one UTF-16 unit per byte, then cut to what was written.
    const qsizetype start = out.size();
    out.resize(start + static_cast<qsizetype>(utf8.size()));
    QChar* begin = out.data() + start;
    // Plain ASCII, the common case, widens byte by byte; the rest goes through the decoder.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::transform(utf8.begin(), utf8.end(), begin, [](char c) { return QChar(static_cast<char16_t>(c)); });
        return;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QChar* end = decoder.appendToBuffer(begin, QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
    out.truncate(end - out.constData());
}
