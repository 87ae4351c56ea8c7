#include "actions/SafeCopyFile.h"

#include "app/EventPump.h"
#include "app/Failure.h"
#include "app/FileSystem.h"
#include "folders/PathSeparator.h"
#include "folders/RemoveDoubleBackslashes.h"

namespace {
// Enough numbered names for any folder a person keeps; past it the copy is refused.
constexpr int kLastNumber = 10000;
}

QString GetFolderPart(const QString& path)
{
    const qsizetype last = path.lastIndexOf(kPathSeparator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString NumberedName(const QString& fileName, int number)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype split = dot > 0 ? dot : fileName.size();
    return fileName.left(split) + QStringLiteral(" (%1)").arg(number) + fileName.mid(split);
}

CopyOutcome SafeCopyFile(const QString& source, const QString& targetFolder, FileSystem& fileSystem,
                         const std::function<void()>& betweenChunks)
{
    if (source.trimmed().isEmpty() || targetFolder.trimmed().isEmpty())
        return {{}, QStringLiteral("no path")};
    const QString from = RemoveDoubleBackslashes(source);
    const QString folder = RemoveDoubleBackslashes(targetFolder);
    const QString fileName = from.mid(GetFolderPart(from).size());
    if (GetFolderPart(from) == folder)
        return {{}, QStringLiteral("it is already in that folder")};
    if (!fileSystem.IsExistingFile(from))
        return {{}, QStringLiteral("the file is no longer there")};
    if (!fileSystem.IsExistingFolder(folder))
        return {{}, QStringLiteral("the target folder is no longer there")};
    try {
        for (int number = 1; number <= kLastNumber; ++number) {
            const QString target = folder + (number == 1 ? fileName : NumberedName(fileName, number));
            try {
                fileSystem.CopyFile(from, target, betweenChunks);
                return {target, {}};
            } catch (const Failure& failure) {
                if (failure.Number() != ErrorNumber::FileAlreadyExists)
                    throw;
            }
        }
        return {{}, QStringLiteral("every free name is taken")};
    } catch (const Failure& failure) {
        return {{}, failure.Description()};
    }
}

QString DeleteFileRobust(const QString& path, FileSystem& fileSystem, EventPump& pump)
{
    pump.Point();
    try {
        fileSystem.DeleteFile(path);
        return {};
    } catch (const Failure& failure) {
        return failure.Description();
    }
}
