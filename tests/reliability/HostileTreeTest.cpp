#include "app/core/MousePointer.h"
#include "tests/reliability/FaultFixture.h"
#include "tests/search/HookedFileSystem.h"

#include <QPushButton>

#include <atomic>
#include <climits>
#include <cstring>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// Real trees with names and file kinds that break careless code: the search
// ends, lists what could be read and nothing else, and the commands that
// follow handle the same names without losing a file.
namespace {

// Creates a file with a raw byte name inside an open folder.
void CreateAt(int folderFd, const QByteArray& name, const QByteArray& data = "x")
{
    const int fd = ::openat(folderFd, name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << name.constData();
    ASSERT_EQ(::write(fd, data.constData(), data.size()), data.size());
    ::close(fd);
}

// Opens a folder, creating it first, inside another open folder.
int EnterFolder(int folderFd, const QByteArray& name)
{
    ::mkdirat(folderFd, name.constData(), 0755);
    return ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Removes everything inside an open folder by relative calls, which reach
// folders deeper than any path can name.
void EmptyFolder(int folderFd)
{
    DIR* folder = ::fdopendir(::dup(folderFd));
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR) {
            const int inner = ::openat(folderFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            EmptyFolder(inner);
            ::close(inner);
            ::unlinkat(folderFd, entry->d_name, AT_REMOVEDIR);
        } else {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

class HostileTreeTest : public FaultFixture {
protected:
    void SetUp() override
    {
        MakeForm(&hooked);
        form->DTPicker1->setDate(QDate(2000, 1, 1));
        runDir = std::make_unique<TestDir>();
        runDir->CreateFolder(QStringLiteral("tree"));
        runDir->CreateFolder(QStringLiteral("target"));
        treeFd = ::open(QFile::encodeName(TreeRoot()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(treeFd, 0);
    }
    void TearDown() override
    {
        FaultFixture::TearDown();  // the window first: it waits for a walk still using `hooked`
        EmptyFolder(treeFd);
        ::close(treeFd);
    }

    QString InTree(const QString& relative) const { return TreeRoot() + QLatin1Char('/') + relative; }

    // Every search must end with the button back and the pointer restored.
    void SearchAndExpectEnded()
    {
        SearchTree();
        EXPECT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    }

    HookedFileSystem hooked;
    int treeFd = -1;
};

TEST_F(HostileTreeTest, OddNamesAreFoundSavedAndMovedIntact)
{
    const QList<QByteArray> names = {
        "line\nbreak.txt", "tab\tand\x01" "control.txt", "  leading and trailing  ", "\xc3\xa9t\xc3\xa9.txt",
        QByteArray(255, 'n'), QByteArray("\xc3\xa9").repeated(127) + "z",  // 255 bytes, ASCII and UTF-8
    };
    for (const QByteArray& name : names)
        CreateAt(treeFd, name);
    CreateAt(treeFd, "~lock.txt");    // names beginning with "~" are never listed
    CreateAt(treeFd, "bad\xff\xfename");  // does not decode: cannot be named again
    const int badFolder = EnterFolder(treeFd, "folder\xff");
    CreateAt(badFolder, "inside.txt");
    ::close(badFolder);

    SearchAndExpectEnded();
    std::set<QString> expected;
    for (const QByteArray& name : names)
        expected.insert(InTree(QFile::decodeName(name)));
    EXPECT_EQ(ResultSet(), expected);

    // The saved list keeps one line per row: control characters never break it.
    const QString listPath = runDir->Path(QStringLiteral("list.txt"));
    dialogs.saveNames = {listPath};
    form->PushButton2_Click();
    const QList<QByteArray> lines = Contents(listPath).split('\n');
    EXPECT_EQ(lines.size(), static_cast<int>(names.size()) + 2);  // heading, rows, final empty piece

    const std::multiset<QByteArray> before = ContentChecksums(SnapshotTree(runDir->Path()));
    Rows().SetAllChecked(true);
    dialogs.folders = {Target()};
    form->PushButton11_Click();
    EXPECT_EQ(Rows().Count(), 0);
    EXPECT_EQ(ContentChecksums(SnapshotTree(runDir->Path())), before);
    for (const QByteArray& name : names)
        EXPECT_TRUE(QFile::exists(Target() + QLatin1Char('/') + QFile::decodeName(name))) << name.constData();
    EXPECT_EQ(Leftovers(), QStringList());
}

TEST_F(HostileTreeTest, DeepTreesEndWithEverythingThatCanBeNamed)
{
    CreateAt(treeFd, "top.txt");
    // 2,000 levels of one-letter folders: the path still fits PATH_MAX.
    int fd = ::dup(treeFd);
    for (int level = 0; level < 2000; ++level) {
        const int next = EnterFolder(fd, "d");
        ::close(fd);
        ASSERT_GE(next, 0) << level;
        fd = next;
    }
    CreateAt(fd, "bottom.txt");
    ::close(fd);
    // A second branch deeper than PATH_MAX: built with relative calls, since
    // no path names its lower folders.
    const QByteArray longName(200, 'L');
    fd = ::dup(treeFd);
    for (int level = 0; level * (longName.size() + 1) < 2 * PATH_MAX; ++level) {
        CreateAt(fd, "level" + QByteArray::number(level) + ".txt");
        const int next = EnterFolder(fd, longName);
        ::close(fd);
        ASSERT_GE(next, 0) << level;
        fd = next;
    }
    ::close(fd);

    SearchAndExpectEnded();
    const std::set<QString> found = ResultSet();
    EXPECT_TRUE(found.count(InTree(QStringLiteral("top.txt"))));
    QString bottom = TreeRoot();
    for (int level = 0; level < 2000; ++level)
        bottom += QStringLiteral("/d");
    EXPECT_TRUE(found.count(bottom + QStringLiteral("/bottom.txt")));
    for (const QString& path : found)
        EXPECT_LT(QFile::encodeName(path).size(), PATH_MAX) << "listed a path no call can open";
    EXPECT_GE(found.size(), 2u + 4u);  // the upper levels of the long branch too
}

TEST_F(HostileTreeTest, SpecialFilesAndLinkLoopsAreNeverOpenedNorFollowed)
{
    CreateAt(treeFd, "plain.txt");
    ASSERT_EQ(::mkfifoat(treeFd, "pipe", 0600), 0);
    ::mknodat(treeFd, "null-device", S_IFCHR | 0600, makedev(1, 3));  // where the system allows it
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(InTree(QStringLiteral("socket")));
    ASSERT_LT(socketPath.size(), static_cast<int>(sizeof(address.sun_path)));
    std::memcpy(address.sun_path, socketPath.constData(), socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    const int loop = EnterFolder(treeFd, "loop");
    ASSERT_EQ(::symlinkat("..", loop, "up"), 0);
    ASSERT_EQ(::symlinkat("up", loop, "again"), 0);
    ::close(loop);
    ASSERT_EQ(::symlinkat("plain.txt", treeFd, "link-to-file"), 0);

    SearchAndExpectEnded();
    EXPECT_EQ(ResultSet(), std::set<QString>{InTree(QStringLiteral("plain.txt"))});

    // The found file replaced by a pipe before the move: the move must not
    // wait on it, and must not lose it either.
    ASSERT_EQ(::unlinkat(treeFd, "plain.txt", 0), 0);
    ASSERT_EQ(::mkfifoat(treeFd, "plain.txt", 0600), 0);
    Rows().SetAllChecked(true);
    dialogs.folders = {Target()};
    form->PushButton11_Click();
    EXPECT_TRUE(QDir(Target()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
    struct stat status {};
    ASSERT_EQ(::fstatat(treeFd, "plain.txt", &status, AT_SYMLINK_NOFOLLOW), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    ::close(sock);
}

TEST_F(HostileTreeTest, FilesCreatedAndDeletedDuringTheWalkLeaveTheRestFound)
{
    std::set<QString> steady;
    for (int folder = 0; folder < 20; ++folder) {
        for (int file = 0; file < 20; ++file)
            steady.insert(runDir->CreateFile(QStringLiteral("tree/f%1/steady%2.txt").arg(folder).arg(file)));
    }
    // A second thread churns files and whole folders until the walk ends.
    std::atomic<bool> walking{true};
    std::thread churn([&] {
        for (int round = 0; walking; ++round) {
            const int folder = round % 20;
            const QByteArray base = QFile::encodeName(InTree(QStringLiteral("f%1").arg(folder)));
            const QByteArray file = base + "/churn" + QByteArray::number(round % 7);
            const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
            ::unlink((base + "/churn" + QByteArray::number((round + 3) % 7)).constData());
            const QByteArray gone = QFile::encodeName(InTree(QStringLiteral("gone%1").arg(round % 5)));
            ::mkdir(gone.constData(), 0755);
            ::close(::open((gone + "/a").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
            ::unlink((gone + "/a").constData());
            ::rmdir(gone.constData());
        }
    });
    // Slow the walk a little so the churn meets it in every folder.
    hooked.beforeListFiles = [](const QString&) { std::this_thread::sleep_for(std::chrono::microseconds(300)); };
    SearchAndExpectEnded();
    walking = false;
    churn.join();

    const std::set<QString> found = ResultSet();
    EXPECT_TRUE(std::includes(found.begin(), found.end(), steady.begin(), steady.end()));
    for (const QString& path : found)
        EXPECT_TRUE(steady.count(path) || path.contains(QStringLiteral("churn")) || path.contains(QStringLiteral("gone")))
            << path.toStdString();
    // The program stays usable: a quiet search finds exactly what is there.
    hooked.beforeListFiles = nullptr;
    SearchAndExpectEnded();
    std::set<QString> now;
    for (const auto& [relative, checksum] : SnapshotTree(TreeRoot()))
        now.insert(InTree(QFile::decodeName(relative)));
    EXPECT_EQ(ResultSet(), now);
}

TEST_F(HostileTreeTest, AFolderRemovedJustBeforeItsListingIsPassedOver)
{
    runDir->CreateFile(QStringLiteral("tree/keep/a.txt"));
    runDir->CreateFile(QStringLiteral("tree/doomed/inner/b.txt"));
    runDir->CreateFile(QStringLiteral("tree/doomed/c.txt"));
    const QString doomed = InTree(QStringLiteral("doomed"));
    hooked.beforeListFiles = [&](const QString& folder) {
        if (folder == doomed)
            QDir(doomed).removeRecursively();
    };
    SearchAndExpectEnded();
    EXPECT_EQ(ResultSet(), std::set<QString>{InTree(QStringLiteral("keep/a.txt"))});
}

}  // namespace
