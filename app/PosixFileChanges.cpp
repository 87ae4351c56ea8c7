#include "app/PosixFileSystem.h"

#include "app/Failure.h"

// Changing side: copy, delete, text files and the trash.

namespace {
Failure NotYet()
{
    return Failure(ErrorNumber::PathFileAccessError, QStringLiteral("Not available"));
}
}  // namespace

void PosixFileSystem::CopyFile(const QString&, const QString&, const std::function<void()>&) { throw NotYet(); }
void PosixFileSystem::DeleteFile(const QString&) { throw NotYet(); }
std::unique_ptr<TextFileWriter> PosixFileSystem::CreateTextFile(const QString&) { throw NotYet(); }
void PosixFileSystem::MoveToTrash(const QString&) { throw NotYet(); }
