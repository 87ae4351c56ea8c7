#include "search/SubfolderExpansion.h"

#include "tests/search/FakeFolderTree.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
constexpr int kDir = FolderAttribute::Directory;
constexpr int kHidden = FolderAttribute::Hidden;
constexpr int kSystem = FolderAttribute::System;
constexpr int kLink = FolderAttribute::ReparsePoint;

// The folders a walk is given the files of, in order.
class FolderRecorder : public FolderFileSink {
public:
    void FoldersLiveIn(std::shared_ptr<const void>) override {}
    void AddFolder(std::string_view folder, const FolderListing&) override { Record(folder); }
    void ListSeparately(std::string_view folder) override { Record(folder); }
    QStringList folders;

private:
    void Record(std::string_view folder) { folders << QString::fromUtf8(folder.data(), qsizetype(folder.size())); }
};

class SubfolderExpansionTest : public testing::Test {
protected:
    QStringList Expand(const QString& start, bool recursive = true)
    {
        QStringList folders{start};
        GetSubDirectories2016(folders, recursive, tree, observer);
        return folders;
    }
    QStringList WalkedFolders(const QString& start)
    {
        FolderRecorder walk;
        ExpandIntoSink(QStringList{start}, tree, observer, walk);
        return walk.folders;
    }

    // /d/Data/ with A (holding A1) and B (holding B1).
    void AddDataTree()
    {
        tree.Add(QStringLiteral("/d/Data/"));
        tree.Add(QStringLiteral("/d/Data/A/"));
        tree.Add(QStringLiteral("/d/Data/B/"));
        tree.Add(QStringLiteral("/d/Data/A/A1/"));
        tree.Add(QStringLiteral("/d/Data/B/B1/"));
    }

    FakeFolderTree tree;
    RecordingObserver observer;
};

TEST_F(SubfolderExpansionTest, ListsFoldersLevelByLevel)
{
    AddDataTree();
    tree.Add(QStringLiteral("/d/Data/A/A1/deep/"));
    EXPECT_EQ(Expand(QStringLiteral("/d/Data/")),
              QStringList({"/d/Data/", "/d/Data/A/", "/d/Data/B/", "/d/Data/A/A1/", "/d/Data/B/B1/",
                           "/d/Data/A/A1/deep/"}));
    EXPECT_EQ(Expand(QStringLiteral("/d/Data/"), false), QStringList({"/d/Data/", "/d/Data/A/", "/d/Data/B/"}));
    EXPECT_TRUE(observer.failures.empty());
}

TEST_F(SubfolderExpansionTest, LeavesOutProtectedSystemFoldersWithTheirSubtrees)
{
    tree.Add(QStringLiteral("/r/"));
    tree.Add(QStringLiteral("/r/proc/"), kDir | kHidden | kSystem);
    tree.Add(QStringLiteral("/r/proc/inside/"));
    tree.Add(QStringLiteral("/r/linked/"), kDir | kHidden | kSystem | kLink);
    tree.Add(QStringLiteral("/r/linked/inside/"));
    tree.Add(QStringLiteral("/r/.hidden/"), kDir | kHidden);
    tree.Add(QStringLiteral("/r/.hidden/inside/"));
    tree.Add(QStringLiteral("/r/odd/"), kDir | kHidden | kSystem | 32);  // a further bit: not the exact value
    const QStringList expanded({"/r/", "/r/.hidden/", "/r/odd/", "/r/.hidden/inside/"});
    EXPECT_EQ(Expand(QStringLiteral("/r/")), expanded);
    // A walk lists the files of the same folders, below the start too.
    EXPECT_EQ(WalkedFolders(QStringLiteral("/r/")), expanded);

    // A root is expanded whatever its attributes; a starting folder that fails
    // the test stays in the list but is not expanded.
    tree.folders[QStringLiteral("/r/")].attributes = kDir | kHidden | kSystem;
    tree.folders[QStringLiteral("/r/")].isRoot = true;
    EXPECT_EQ(Expand(QStringLiteral("/r/")).size(), 4);
    EXPECT_EQ(Expand(QStringLiteral("/r/proc/")), QStringList({"/r/proc/"}));
}

TEST_F(SubfolderExpansionTest, SkipsNamesThatCannotBeHandled)
{
    tree.Add(QStringLiteral("/t/"));
    tree.Add(QStringLiteral("/t/what?/"));
    tree.Add(QStringLiteral("/t/tab\there/"));
    tree.Add(QStringLiteral("/t/c1\u0085/"));
    tree.Add(QStringLiteral("/t/caf\u00e9/"));
    tree.folders[QStringLiteral("/t/")].subFolders.push_back({QStringLiteral("bad\u00ff"), false});
    EXPECT_EQ(Expand(QStringLiteral("/t/")), QStringList({"/t/", "/t/what?/", "/t/caf\u00e9/"}));

    EXPECT_TRUE(HasUnsafeCharacters("a\x7f"));
    EXPECT_TRUE(HasUnsafeCharacters("a\u009f"));
    EXPECT_TRUE(HasUnsafeCharacters("caf\xe9"));
    EXPECT_FALSE(HasUnsafeCharacters("a\u00a0"));
    EXPECT_FALSE(HasUnsafeCharacters(""));
}

// A denied (70) or vanished (76) folder leaves the list at whatever level it
// stands, silently; its subtree is not searched.
class ExpansionFailureTest : public SubfolderExpansionTest, public testing::WithParamInterface<int> {};

TEST_P(ExpansionFailureTest, TakesTheFailingFolderOutAtEachLevel)
{
    AddDataTree();
    tree.folders[QStringLiteral("/d/Data/A/")].listingError = GetParam();
    EXPECT_EQ(Expand(QStringLiteral("/d/Data/")), QStringList({"/d/Data/", "/d/Data/B/", "/d/Data/B/B1/"}));

    tree.folders[QStringLiteral("/d/Data/A/")].listingError = 0;
    tree.folders[QStringLiteral("/d/Data/B/B1/")].listingError = GetParam();
    EXPECT_EQ(Expand(QStringLiteral("/d/Data/")), QStringList({"/d/Data/", "/d/Data/A/", "/d/Data/B/", "/d/Data/A/A1/"}));

    tree.folders[QStringLiteral("/d/Data/")].listingError = GetParam();
    EXPECT_TRUE(Expand(QStringLiteral("/d/Data/")).isEmpty());
    EXPECT_TRUE(observer.failures.empty());
}

INSTANTIATE_TEST_SUITE_P(DeniedAndVanished, ExpansionFailureTest,
                         testing::Values(ErrorNumber::PermissionDenied, ErrorNumber::PathNotFound));

TEST_F(SubfolderExpansionTest, OtherListingFailuresKeepTheFolderUnexpanded)
{
    AddDataTree();
    tree.folders[QStringLiteral("/d/Data/A/")].listingError = ErrorNumber::DeviceIoError;
    EXPECT_EQ(Expand(QStringLiteral("/d/Data/")),
              QStringList({"/d/Data/", "/d/Data/A/", "/d/Data/B/", "/d/Data/B/B1/"}));
    EXPECT_TRUE(observer.failures.empty());
}

TEST_F(SubfolderExpansionTest, OnlyTheFirstEqualEntryIsTakenOut)
{
    AddDataTree();
    tree.folders[QStringLiteral("/d/Data/B/")].listingError = ErrorNumber::PermissionDenied;
    QStringList folders{QStringLiteral("/d/Data/B/"), QStringLiteral("/d/Data/A/"), QStringLiteral("/d/Data/B/")};
    GetSubDirectories2016(folders, false, tree, observer);
    // Each of the two equal entries fails and takes out one of them.
    EXPECT_EQ(folders, QStringList({"/d/Data/A/", "/d/Data/A/A1/"}));
}

TEST_F(SubfolderExpansionTest, MissingStartAndLongPathsStayWithoutExpansion)
{
    EXPECT_EQ(Expand(QStringLiteral("/gone/")), QStringList({"/gone/"}));

    const QString longPath = QStringLiteral("/") + QString(PATH_MAX, QLatin1Char('x')) + QStringLiteral("/");
    tree.Add(longPath);
    tree.Add(longPath + QStringLiteral("sub/"));
    EXPECT_EQ(Expand(longPath), QStringList({longPath}));
}

TEST_F(SubfolderExpansionTest, StopsWhenTheWalkIsAbandoned)
{
    AddDataTree();
    observer.abandoned = true;
    QStringList folders{QStringLiteral("/d/Data/")};
    GetSubDirectories2016(folders, true, tree, observer);
    EXPECT_EQ(folders, QStringList({"/d/Data/"}));
}
}  // namespace
