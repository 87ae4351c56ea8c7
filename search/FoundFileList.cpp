#include "search/FoundFileList.h"

#include "folders/PathSeparator.h"

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
    const QString name = QString::fromUtf8(m_names.data() + start, static_cast<qsizetype>(m_nameEnd[index] - start));
    const QString& folder = m_folders[m_folderOf[index]];
    // Exactly as long as the path: a result list holds one per row.
    QString path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(kPathSeparator).append(name);
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
