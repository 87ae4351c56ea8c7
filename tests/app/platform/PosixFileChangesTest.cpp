#include "app/core/Failure.h"
#include "app/platform/PosixFileCopy.h"
#include "app/platform/PosixFileSystem.h"
#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

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

TEST(PosixFileChangesTest, CopyKeepsHolesAttributesAndOwnerWhateverMeansItFallsBackTo)
{
    TestDir dir;
    // 16 MiB with two small data runs, one at the end.
    const QString source = dir.CreateFile(QStringLiteral("sparse.bin"));
    const QByteArray path = QFile::encodeName(source);
    {
        const int fd = ::open(path.constData(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 1 << 20), 4);
        ASSERT_EQ(::pwrite(fd, "tail", 4, (16 << 20) - 4), 4);
        ::close(fd);
    }
    ASSERT_EQ(::chown(path.constData(), 1000, 1000), 0);
    const char* attribute = nullptr;
    for (const char* name : {"user.orvanta", "trusted.orvanta"}) {
        if (!attribute && ::setxattr(path.constData(), name, "kept", 4, 0) == 0)
            attribute = name;
    }
    struct stat original {};
    ASSERT_EQ(::stat(path.constData(), &original), 0);
    dir.CreateFolder(QStringLiteral("to"));
    // Every means, then none: read and write, a temporary name, a reserved name.
    for (const CopyMeans& means : {CopyMeans{}, CopyMeans{false, false, false, false, false}}) {
        const QString target = dir.Path(means.unnamedFile ? QStringLiteral("to/all.bin") : QStringLiteral("to/none.bin"));
        SCOPED_TRACE(target.toStdString());
        CopyRegularFile(source, target, {}, {}, means);
        EXPECT_EQ(Contents(target), Contents(source));
        struct stat copied {};
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &copied), 0);
        EXPECT_LE(copied.st_blocks, original.st_blocks + 16) << "holes were filled";
        EXPECT_EQ(copied.st_uid, 1000u);
        EXPECT_EQ(copied.st_gid, 1000u);
        char value[8] = {};
        if (attribute) {
            EXPECT_EQ(::getxattr(QFile::encodeName(target).constData(), attribute, value, sizeof value), 4);
            EXPECT_EQ(QByteArray(value, 4), QByteArray("kept"));
        }
        // A name taken meanwhile is never replaced, and nothing is left behind.
        EXPECT_THROW(CopyRegularFile(source, target, {}, {}, means), Failure);
    }
    EXPECT_EQ(QDir(dir.Path(QStringLiteral("to"))).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("all.bin"), QStringLiteral("none.bin")}));
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
