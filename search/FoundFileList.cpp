#include "search/FoundFileList.h"

#include "app/core/PathSeparator.h"

void FoundFileList::Clear()
{
    *this = FoundFileList();
}

void FoundFileList::KeepAlive(std::shared_ptr<const void> storage)
{
    m_storage->folders.push_back(std::move(storage));
}

void FoundFileList::BeginFolder(std::string_view utf8FolderPath)
{
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
    const std::string_view folder = FolderUtf8(index);
    const std::string_view name = NameUtf8(index);
    QString path;
    path.reserve(static_cast<qsizetype>(folder.size() + 1 + name.size()));
    AppendUtf8(path, folder);
    path += kPathSeparator;
    AppendUtf8(path, name);
    return path;
}
