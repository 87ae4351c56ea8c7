#include "app/core/RowList.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <fcntl.h>
#include <unistd.h>

// Large trees and long sessions: every file found, and memory and open
// descriptors that stay flat over many searches in one process.
namespace {

// Creates `count` empty files named f0, f1, ... in a new folder.
void CreateFiles(const QString& folder, int count)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folderFd, 0);
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "f" + QByteArray::number(i);
        const int fd = ::openat(folderFd, name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    ::close(folderFd);
}

// Resident memory in bytes, from /proc/self/statm.
qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

int OpenDescriptors()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

class LargeTreeTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        form->DTPicker1->setDate(QDate(2000, 1, 1));  // "after" a past date: every file matches
    }
    void SearchFolder(const QString& folder)
    {
        form->FolderRows().Clear();
        form->FolderRows().Add(folder + QLatin1Char('/'));
        form->PushButton1->click();
        ASSERT_EQ(form->PushButton1->text(), QStringLiteral("Start Searching"));
    }

    TestDir dir;
};

TEST_F(LargeTreeTest, AHundredThousandFilesInOneFolderAreAllFound)
{
    const QString folder = dir.Path(QStringLiteral("flat"));
    CreateFiles(folder, 100'000);
    SearchFolder(folder);
    RowList& rows = form->ResultRows();
    ASSERT_EQ(rows.Count(), 100'000);
    QSet<QString> unique;
    for (int r = 1; r <= rows.Count(); ++r)
        unique.insert(rows.Text(r));
    EXPECT_EQ(unique.size(), 100'000);
    EXPECT_TRUE(unique.contains(folder + QStringLiteral("/f99999")));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(LargeTreeTest, FiftySearchesKeepMemoryAndDescriptorsFlat)
{
    const QString root = dir.Path(QStringLiteral("tree"));
    for (int folder = 0; folder < 100; ++folder)
        CreateFiles(root + QStringLiteral("/d%1/e%2").arg(folder % 10).arg(folder), 1000);

    qint64 residentAfterFirst = 0;
    int descriptorsAfterFirst = 0;
    for (int run = 1; run <= 50; ++run) {
        if (run % 3 == 0)
            form->PushButton6->click();  // Clear between some of the searches
        SearchFolder(root);
        ASSERT_EQ(form->ResultRows().Count(), 100'000) << "run " << run;
        if (run == 1) {
            residentAfterFirst = ResidentBytes();
            descriptorsAfterFirst = OpenDescriptors();
        }
    }
    const qint64 residentAfterLast = ResidentBytes();
    RecordProperty("resident_after_first_kb", static_cast<int>(residentAfterFirst / 1024));
    RecordProperty("resident_after_last_kb", static_cast<int>(residentAfterLast / 1024));
    // The walk starts as many readers as the calls' waiting asks for, and each
    // new thread may take an allocation arena of its own: room for those, not
    // a leak, on top of the tenth.
    constexpr qint64 kReaderArenas = 16 << 20;
    EXPECT_LE(residentAfterLast, residentAfterFirst * 11 / 10 + kReaderArenas)
        << "first " << residentAfterFirst / 1024 << " KB, last " << residentAfterLast / 1024 << " KB";
    EXPECT_LE(OpenDescriptors(), descriptorsAfterFirst);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
