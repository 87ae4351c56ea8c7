#include "app/PosixFileSystem.h"

#include "app/Failure.h"

// Reading side: folders, listings, times and existence tests.

namespace {
Failure NotYet()
{
    return Failure(ErrorNumber::PathFileAccessError, QStringLiteral("Not available"));
}
}  // namespace

FolderInfo PosixFileSystem::GetFolder(const QString&) { throw NotYet(); }
std::vector<SubFolderName> PosixFileSystem::SubFolders(const QString&) { throw NotYet(); }
void PosixFileSystem::ListFiles(const QString&, const FileVisitor&) { throw NotYet(); }
FileTimes PosixFileSystem::GetFileTimes(const QString&) { return {}; }
qint64 PosixFileSystem::FileSize(const QString&) { throw NotYet(); }
bool PosixFileSystem::IsExistingFile(const QString&) { return false; }
bool PosixFileSystem::IsExistingFolder(const QString&) { return false; }
bool PosixFileSystem::FileExistsByDate(const QString&) { return false; }
