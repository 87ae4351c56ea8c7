#include "app/Failure.h"
#include "app/platform/PosixFileSystem.h"
#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PosixFileChangesTest, LargeCopyRunsInChunksAndLeavesNoTemporary)
{
    TestDir dir;
    PosixFileSystem fileSystem;
    QByteArray data(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 31);
    const QString source = dir.CreateFile(QStringLiteral("big.bin"), data);
    dir.CreateFolder(QStringLiteral("to"));
    int chunks = 0;
    fileSystem.CopyFile(source, dir.Path(QStringLiteral("to/big.bin")), [&] { ++chunks; });
    EXPECT_GE(chunks, 3);
    EXPECT_EQ(Contents(dir.Path(QStringLiteral("to/big.bin"))), data);
    EXPECT_EQ(QDir(dir.Path(QStringLiteral("to"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(PosixFileChangesTest, CopyNeverReplacesAndAFailedCopyLeavesNothing)
{
    TestDir dir;
    PosixFileSystem fileSystem;
    const QString source = dir.CreateFile(QStringLiteral("a.txt"), "new");
    const QString target = dir.CreateFile(QStringLiteral("to/a.txt"), "old");
    try {
        fileSystem.CopyFile(source, target, {});
        ADD_FAILURE() << "an existing file was replaced";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), ErrorNumber::FileAlreadyExists);
    }
    EXPECT_EQ(Contents(target), QByteArray("old"));
    // A copy that fails in the middle removes its temporary file.
    EXPECT_THROW(fileSystem.CopyFile(source, dir.Path(QStringLiteral("to/b.txt")), [] {
        throw Failure(ErrorNumber::DiskFull, QStringLiteral("full"));
    }), Failure);
    EXPECT_EQ(QDir(dir.Path(QStringLiteral("to"))).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.txt")});
    // A pipe as the source is refused at once; opening it to read would wait
    // for a writer.
    const QString pipe = dir.Path(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_THROW(fileSystem.CopyFile(pipe, dir.Path(QStringLiteral("to/pipe")), {}), Failure);
}

TEST(PosixFileChangesTest, TextFileReplacesTheOldOneOnlyWhenCommitted)
{
    TestDir dir;
    PosixFileSystem fileSystem;
    const QString path = dir.CreateFile(QStringLiteral("out.txt"), "old");
    {
        auto writer = fileSystem.CreateTextFile(path);
        writer->WriteLine(QStringLiteral("abandoned"));
    }
    EXPECT_EQ(Contents(path), QByteArray("old"));
    auto writer = fileSystem.CreateTextFile(path);
    writer->WriteLine(QStringLiteral("\u00e9"));
    writer->Commit();
    EXPECT_EQ(Contents(path), QByteArray("\xC3\xA9\r\n"));
}
}  // namespace
