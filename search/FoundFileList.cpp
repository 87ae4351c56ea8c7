#include "search/FoundFileList.h"

#include "folders/PathSeparator.h"

#include <algorithm>

namespace {
// Names are stored only after they were checked to be valid UTF-8.
qsizetype Utf16Length(std::string_view utf8)
{
    qsizetype length = 0;
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c & 0xc0) != 0x80)
            length += c >= 0xf0 ? 2 : 1;
    }
    return length;
}

void DecodeUtf8(std::string_view utf8, QChar* out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        char32_t code = *p++;
        int extra = 0;
        if (code >= 0xf0) {
            code &= 0x07;
            extra = 3;
        } else if (code >= 0xe0) {
            code &= 0x0f;
            extra = 2;
        } else if (code >= 0xc0) {
            code &= 0x1f;
            extra = 1;
        }
        for (; extra > 0 && p < end; --extra)
            code = (code << 6) | (*p++ & 0x3f);
        if (code >= 0x10000) {
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
        } else {
            *out++ = QChar(static_cast<char16_t>(code));
        }
    }
}
}  // namespace

void FoundFileList::Clear()
{
    *this = FoundFileList();
}

void FoundFileList::BeginFolder(const QString& folderPath)
{
    // A folder enters the table with its first file, so empty folders cost nothing.
    m_pendingFolder = folderPath;
    m_folderPending = true;
}

void FoundFileList::Add(std::string_view utf8Name, qint64 time)
{
    if (m_folderPending) {
        m_folders.push_back(m_pendingFolder);
        m_folderPending = false;
    }
    m_folderOf.push_back(static_cast<uint32_t>(m_folders.size() - 1));
    m_names.append(utf8Name);
    m_nameEnd.push_back(m_names.size());
    m_times.push_back(time);
}

QString FoundFileList::Path(size_t index) const
{
    const uint64_t start = index == 0 ? 0 : m_nameEnd[index - 1];
    const std::string_view name(m_names.data() + start, m_nameEnd[index] - start);
    const QString& folder = m_folders[m_folderOf[index]];
    // Put together in place, exactly as long as the path: a result list holds one per row.
    QString path(folder.size() + 1 + Utf16Length(name), Qt::Uninitialized);
    QChar* out = path.data();
    std::copy(folder.cbegin(), folder.cend(), out);
    out += folder.size();
    *out++ = kPathSeparator;
    DecodeUtf8(name, out);
    return path;
}

void FoundFileList::ShrinkToFit()
{
    m_folders.shrink_to_fit();
    m_folderOf.shrink_to_fit();
    m_nameEnd.shrink_to_fit();
    m_names.shrink_to_fit();
    m_times.shrink_to_fit();
}
