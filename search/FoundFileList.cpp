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
    const uint64_t end = m_nameEnd[index];
    return m_folders[m_folderOf[index]] + kPathSeparator
        + QString::fromUtf8(m_names.data() + start, static_cast<qsizetype>(end - start));
}
