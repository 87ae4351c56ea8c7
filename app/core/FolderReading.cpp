#include "app/core/FolderReading.h"

#include "app/core/FolderListing.h"

#include <QString>

std::unique_ptr<FolderReading> FileSystem::StartFolderReading(const QStringList& startFolders)
{
    Q_UNUSED(startFolders);
    return std::make_unique<FolderReadingBySteps>(*this);
}

void FolderReadingBySteps::Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing)
{
    const QString path = QString::fromUtf8(utf8Path.data(), static_cast<qsizetype>(utf8Path.size()));
    listing.info = m_fileSystem.GetFolder(path);
    if (!lists(*listing.info))
        return;
    std::vector<SubFolderName> subFolders;
    if (withFiles) {
        try {
            m_fileSystem.ListFolder(path, subFolders, [&listing](std::string_view name, const FileTimes& times) {
                listing.AddFile(name, times);
            });
        } catch (...) {
            listing.ClearFiles();
            throw;
        }
    } else {
        subFolders = m_fileSystem.SubFolders(path);
    }
    // A name that does not decode cannot be handled as a path here.
    for (const SubFolderName& sub : subFolders) {
        if (sub.decodes)
            listing.AddSubFolder(sub.name.toStdString());
    }
}
