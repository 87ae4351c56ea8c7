#include "search/FoundFileList.h"

#include "folders/PathSeparator.h"

#include <algorithm>

namespace {
// Everything stored is valid UTF-8: the walk checks names and folder paths
// before it records them.
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

// Writes the UTF-16 of valid UTF-8; returns the end of what it wrote.
QChar* DecodeUtf8(std::string_view utf8, QChar* out)
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
    return out;
}
}  // namespace

void FoundFileList::Clear()
{
    *this = FoundFileList();
}

void FoundFileList::BeginFolder(std::string_view utf8FolderPath, const std::shared_ptr<const void>& storage)
{
    if (storage && (m_storage->folders.empty() || m_storage->folders.back() != storage))
        m_storage->folders.push_back(storage);
    // A folder enters the table with its first file, so empty folders cost nothing.
    m_pendingFolder = utf8FolderPath;
    m_folderPending = true;
}

void FoundFileList::Add(std::string_view utf8Name, qint64 time)
{
    if (m_folderPending) {
        m_folders.push_back(m_pendingFolder);
        m_folderPending = false;
    }
    if (m_count % kEntriesPerBlock == 0)
        m_entries.push_back(MakeLargeArray<Entry>(kEntriesPerBlock));
    const std::string_view name = m_storage->names.Append(utf8Name);
    m_entries.back()[m_count % kEntriesPerBlock] = {time, name.data(), static_cast<uint32_t>(m_folders.size() - 1),
                                                    static_cast<uint32_t>(name.size())};
    ++m_count;
}

QString FoundFileList::Path(size_t index) const
{
    const Entry& entry = At(index);
    // Files of one folder follow each other: its text is decoded once for them.
    if (entry.folder != m_decodedFolderIndex) {
        const std::string_view folder = m_folders[entry.folder];
        m_decodedFolder = QString::fromUtf8(folder.data(), static_cast<qsizetype>(folder.size()));
        m_decodedFolderIndex = entry.folder;
    }
    const std::string_view name(entry.name, entry.nameLength);
    // Put together in place, exactly as long as the path: a result list holds one per row.
    QString path(m_decodedFolder.size() + 1 + Utf16Length(name), Qt::Uninitialized);
    QChar* out = std::copy(m_decodedFolder.cbegin(), m_decodedFolder.cend(), path.data());
    *out++ = kPathSeparator;
    DecodeUtf8(name, out);
    return path;
}
