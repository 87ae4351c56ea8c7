#include "app/core/Failure.h"
#include "app/core/FolderListing.h"
#include "app/core/FolderReading.h"
#include "app/platform/PosixFileSystem.h"
#include "tests/support/TestDir.h"
#include "tests/support/TestMount.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kDir = FolderAttribute::Directory;

class PosixFileSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.CreateFolder(QStringLiteral("top/sub"));
        dir.CreateFolder(QStringLiteral("top/.dotted"));
        dir.CreateFile(QStringLiteral("top/file.txt"));
        dir.CreateFile(QStringLiteral("top/.hidden file"));
        TestDir::SetTimes(dir.Path(QStringLiteral("top/file.txt")), kModified, kAccessed);
        ASSERT_EQ(symlink(QFile::encodeName(dir.Path(QStringLiteral("top/sub"))).constData(),
                          QFile::encodeName(dir.Path(QStringLiteral("top/link to sub"))).constData()), 0);
        ASSERT_EQ(symlink(QFile::encodeName(dir.Path(QStringLiteral("top/file.txt"))).constData(),
                          QFile::encodeName(dir.Path(QStringLiteral("top/link to file"))).constData()), 0);
        ASSERT_EQ(mkfifo(QFile::encodeName(dir.Path(QStringLiteral("top/pipe"))).constData(), 0600), 0);
        // Bytes that are not UTF-8, as a folder and as a file.
        const std::string top = QFile::encodeName(dir.Path(QStringLiteral("top"))).toStdString();
        ASSERT_EQ(mkdir((top + "/bad\xff" "folder").c_str(), 0700), 0);
        FILE* file = fopen((top + "/bad\xfe" "file").c_str(), "w");
        ASSERT_NE(file, nullptr);
        fclose(file);
    }

    QString Top(const QString& name = {}) const
    {
        return name.isEmpty() ? dir.Path(QStringLiteral("top")) : dir.Path(QStringLiteral("top/") + name);
    }

    static constexpr qint64 kModified = 1630411509;  // 2021-08-31 12:05:09 UTC
    static constexpr qint64 kAccessed = 1577880000;  // 2020-01-01 12:00:00 UTC
    TestDir dir;
    PosixFileSystem fileSystem;
};

TEST_F(PosixFileSystemTest, FolderAttributesFollowTheLinuxMapping)
{
    EXPECT_EQ(fileSystem.GetFolder(Top()).attributes, kDir);
    EXPECT_EQ(fileSystem.GetFolder(Top() + QStringLiteral("/")).attributes, kDir);
    EXPECT_EQ(fileSystem.GetFolder(Top(QStringLiteral(".dotted/"))).attributes, kDir | FolderAttribute::Hidden);
    EXPECT_EQ(fileSystem.GetFolder(Top(QStringLiteral("link to sub/"))).attributes,
              kDir | FolderAttribute::ReparsePoint);
    EXPECT_FALSE(fileSystem.GetFolder(Top()).isRoot);

    const FolderInfo root = fileSystem.GetFolder(QStringLiteral("/"));
    EXPECT_TRUE(root.isRoot);
    EXPECT_EQ(root.attributes, kDir);
    EXPECT_EQ(fileSystem.GetFolder(QStringLiteral("/proc/")).attributes,
              kDir | FolderAttribute::Hidden | FolderAttribute::System);

    try {
        fileSystem.GetFolder(Top(QStringLiteral("missing/")));
        FAIL() << "a missing folder was opened";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), ErrorNumber::PathNotFound);
    }
    EXPECT_THROW(fileSystem.GetFolder(Top(QStringLiteral("file.txt"))), Failure);
}

TEST_F(PosixFileSystemTest, SubFoldersAreRealFoldersOnly)
{
    std::map<QString, bool> names;
    for (const SubFolderName& name : fileSystem.SubFolders(Top()))
        names[name.decodes ? name.name : QStringLiteral("<undecodable>")] = name.decodes;
    EXPECT_EQ(names.size(), 3);
    EXPECT_TRUE(names.count(QStringLiteral("sub")));
    EXPECT_TRUE(names.count(QStringLiteral(".dotted")));
    EXPECT_TRUE(names.count(QStringLiteral("<undecodable>")));

    try {
        fileSystem.SubFolders(Top(QStringLiteral("missing")));
        FAIL() << "a missing folder was listed";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Number(), ErrorNumber::PathNotFound);
    }
}

TEST_F(PosixFileSystemTest, ListFilesGivesRegularFilesWithTheirTimes)
{
    std::map<std::string, FileTimes> files;
    fileSystem.ListFiles(Top(), [&](std::string_view name, const FileTimes& times) {
        files[std::string(name)] = times;
    });
    ASSERT_EQ(files.size(), 2);
    ASSERT_TRUE(files.count(".hidden file"));
    const FileTimes& times = files.at("file.txt");
    EXPECT_EQ(times.modified, kModified);
    EXPECT_EQ(times.accessed, kAccessed);
    EXPECT_NE(times.created, 0);  // a birth time, or none at all; never 1970

    const FileTimes single = fileSystem.GetFileTimes(Top(QStringLiteral("file.txt")));
    EXPECT_EQ(single.modified, kModified);
    EXPECT_EQ(single.accessed, kAccessed);
    const FileTimes missing = fileSystem.GetFileTimes(Top(QStringLiteral("missing")));
    EXPECT_EQ(missing.modified, kNoTime);
    EXPECT_EQ(missing.created, kNoTime);
    EXPECT_THROW(fileSystem.ListFiles(Top(QStringLiteral("missing")), [](std::string_view, const FileTimes&) {}),
                 Failure);
}

TEST_F(PosixFileSystemTest, ExistenceTests)
{
    EXPECT_TRUE(fileSystem.IsExistingFile(Top(QStringLiteral("file.txt"))));
    EXPECT_TRUE(fileSystem.IsExistingFile(Top(QStringLiteral(".hidden file"))));
    EXPECT_FALSE(fileSystem.IsExistingFile(Top(QStringLiteral("sub"))));
    EXPECT_FALSE(fileSystem.IsExistingFile(Top(QStringLiteral("pipe"))));
    EXPECT_FALSE(fileSystem.IsExistingFile(Top(QStringLiteral("link to file"))));
    EXPECT_FALSE(fileSystem.IsExistingFile(Top(QStringLiteral("missing"))));

    EXPECT_TRUE(fileSystem.IsExistingFolder(Top(QStringLiteral("sub/"))));
    EXPECT_TRUE(fileSystem.IsExistingFolder(Top(QStringLiteral("link to sub"))));
    EXPECT_FALSE(fileSystem.IsExistingFolder(Top(QStringLiteral("file.txt"))));
    EXPECT_FALSE(fileSystem.IsExistingFolder(Top(QStringLiteral("missing"))));

    EXPECT_TRUE(fileSystem.FileExistsByDate(Top(QStringLiteral("file.txt"))));
    EXPECT_FALSE(fileSystem.FileExistsByDate(Top(QStringLiteral("missing"))));
    EXPECT_EQ(fileSystem.FileSize(Top(QStringLiteral("file.txt"))), 0);
}

TEST(PosixBirthTime, UnkeptBirthTimeIsUnreadable)
{
    // ext4 reports 0 for files made before it kept birth times; such a file has no creation time.
    PosixFileSystem fileSystem;
    const FileTimes times = fileSystem.GetFileTimes(QStringLiteral("/etc/passwd"));
    EXPECT_NE(times.created, 0);
    EXPECT_NE(times.modified, kNoTime);
}
TEST_F(PosixFileSystemTest, ListFolderReadsSubFoldersAndFilesOnce)
{
    // Looking at one folder and then reading another reads the other.
    fileSystem.GetFolder(Top(QStringLiteral("sub/")));
    std::vector<SubFolderName> subFolders;
    std::vector<std::string> files;
    fileSystem.ListFolder(Top() + QStringLiteral("/"), subFolders,
                          [&](std::string_view name, const FileTimes&) { files.emplace_back(name); });
    EXPECT_EQ(subFolders.size(), 3);
    EXPECT_EQ(files.size(), 2);

    fileSystem.GetFolder(Top(QStringLiteral("sub/")));
    fileSystem.ListFolder(Top(QStringLiteral("sub/")), subFolders, [&](std::string_view, const FileTimes&) {});
    EXPECT_TRUE(subFolders.empty());
}

// The walk's reading learns pseudo-file-system mount points from the mount
// table once, also below a start folder given through a link.
TEST_F(PosixFileSystemTest, WalkReadingTakesPseudoMountPointsFromTheMountTable)
{
    dir.CreateFolder(QStringLiteral("top/sub/kernel"));
    const TestMount proc = TestMount::Bind(QStringLiteral("/proc"), Top(QStringLiteral("sub/kernel")));
    if (!proc.Mounted())
        GTEST_SKIP() << "no bind mount here";
    const auto attributes = [&](const QString& start, const QString& folder) {
        FolderListing listing;
        fileSystem.StartFolderReading({start})->Read(folder.toStdString(), [](const FolderInfo&) { return false; },
                                                     false, listing);
        return listing.info->attributes;
    };
    const int pseudo = kDir | FolderAttribute::Hidden | FolderAttribute::System;
    EXPECT_EQ(attributes(Top() + QStringLiteral("/"), Top(QStringLiteral("sub/kernel/"))), pseudo);
    EXPECT_EQ(attributes(Top(QStringLiteral("link to sub/")), Top(QStringLiteral("link to sub/kernel/"))), pseudo);
    EXPECT_EQ(attributes(Top(QStringLiteral("link to sub/")), Top(QStringLiteral("link to sub/"))),
              kDir | FolderAttribute::ReparsePoint);
    EXPECT_EQ(attributes(Top() + QStringLiteral("/"), Top(QStringLiteral("sub/"))), kDir);

    // One reading gives sub-folders as bytes and files whose names are UTF-8.
    FolderListing listing;
    const std::unique_ptr<FolderReading> reading = fileSystem.StartFolderReading({Top()});
    reading->Read(Top().toStdString(), [](const FolderInfo&) { return true; }, true, listing);
    reading->ReadStatuses(listing, 0, listing.FileCount());
    reading->Finish(listing);
    std::map<std::string, qint64> files;
    for (size_t i = 0; i < listing.FileCount(); ++i)
        files[std::string(listing.FileName(i))] = listing.Times(i).modified;
    EXPECT_EQ(files, (std::map<std::string, qint64>{{"file.txt", kModified}, {".hidden file", files[".hidden file"]}}));
    std::set<std::string> subFolders;
    for (size_t i = 0; i < listing.SubFolderCount(); ++i)
        subFolders.emplace(listing.SubFolder(i));
    EXPECT_EQ(subFolders, (std::set<std::string>{"sub", ".dotted", "bad\xff" "folder"}));
}
}  // namespace
