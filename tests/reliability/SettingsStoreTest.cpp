#include "app/core/Settings.h"
#include "tests/reliability/FaultFixture.h"


// The two commands that use the settings store, over a store file holding
// garbage and over a store that cannot be written: they go on with their
// work, a failed read or write is told in the error box, and what they
// report as stored is what the next run reads.
namespace {
QString StoreFolder()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Halvecore");
}
QString StoreFile()
{
    return StoreFolder() + QStringLiteral("/Orvanta Software.conf");
}

class SettingsStoreTest : public FaultFixture {
protected:
    void SetUp() override
    {
        FaultFixture::SetUp();
        MakeTree(2);
    }
    void TearDown() override
    {
        RemoveStore();
        FaultFixture::TearDown();
    }
    static void RemoveStore()
    {
        QFile::remove(StoreFolder());
        QDir(StoreFolder()).removeRecursively();
    }

    static void WriteStore(const QByteArray& content)
    {
        QDir().mkpath(StoreFolder());
        QFile file(StoreFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // Moves the first file into the target, as the user would with the picker.
    void MoveFirstFile()
    {
        Rows().Clear();
        FillRows({files[0]});
        CheckRows({1});
        dialogs.shown.clear();
        dialogs.folders = {Target()};
        form->PushButton11_Click();
    }

    // Adds a folder through the picker; the folder list gains its row.
    void AddFolder()
    {
        const int rowsBefore = form->FolderRows().Count();
        dialogs.folders = {TreeRoot()};
        form->PushButton3_Click();
        EXPECT_EQ(form->FolderRows().Count(), rowsBefore + 1);
    }

    // Over a store that cannot be written: both commands read the default,
    // telling it where the store is there but unreadable; the move tells the
    // failed write and still moves.
    void ExpectMoveToldAndDone(bool unreadable)
    {
        dialogs.shown.clear();
        AddFolder();
        EXPECT_EQ(dialogs.Warnings().size(), unreadable ? 1 : 0);

        MoveFirstFile();
        EXPECT_EQ(PickerStart(), QString());
        const QStringList warnings = dialogs.Warnings();
        ASSERT_EQ(warnings.size(), unreadable ? 2 : 1);
        EXPECT_EQ(unreadable, warnings[0].contains(QStringLiteral("PushButton11_Click at line 106")));
        EXPECT_TRUE(warnings.back().contains(QStringLiteral("PushButton11_Click at line 334")));
        EXPECT_FALSE(QFile::exists(files[0]));
        EXPECT_EQ(ContentChecksums(SnapshotTree(Target())).size(), 1u);
        EXPECT_EQ(Rows().Count(), 0);
    }

    QString PickerStart() const
    {
        for (auto it = dialogs.shown.rbegin(); it != dialogs.shown.rend(); ++it) {
            if (it->kind == FakeDialogs::Kind::FolderPicker)
                return it->text;
        }
        return {};
    }
};

TEST_F(SettingsStoreTest, AGarbledStoreNeverStopsTheCommandsAndAWriteIsKeptOrTold)
{
    const QByteArray garbage[] = {
        QByteArray("\x00\xff\xfe[\x01\x02=\n\n==\r[[[", 16),
        "[Orvanta Software\nLastFolder=/unterminated\\",
        "[Orvanta%20Software]\nLastFolder=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5No such type)\n"
        "LastFolderDot=@ByteArray(\\xff\\xfe)\n",
        "[Orvanta%20Software]\nLastFolder=/one, /two, /three\nLastFolderDot=@Rect(1 2 3)\n",
        "[Orvanta%20Software]\nLastFolder=" + QByteArray(100000, 'x') + "\n",
    };
    for (const QByteArray& content : garbage) {
        SCOPED_TRACE(content.left(60).toStdString());
        WriteStore(content);
        AddFolder();
        MoveFirstFile();
        EXPECT_FALSE(QFile::exists(files[0])) << "the move stopped at the store";
        EXPECT_TRUE(QFile::exists(Target() + QStringLiteral("/same.txt")));
        const QStringList warnings = dialogs.Warnings();
        EXPECT_LE(warnings.size(), 2);
        for (const QString& warning : warnings) {
            EXPECT_TRUE(warning.contains(QStringLiteral("at line 106")) || warning.contains(QStringLiteral("at line 334")))
                << warning.toStdString();
        }
        // Stored, or told that it was not.
        if (!warnings.join(QString()).contains(QStringLiteral("at line 334"))) {
            EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), {}), Target());
            MoveFirstFile();
            EXPECT_EQ(PickerStart(), Target());
        }
        MakeTree(2);
    }
}

TEST_F(SettingsStoreTest, AnUnwritableStoreIsToldAndTheMoveGoesOn)
{
    // A regular file where the store's folder belongs, or a folder where its
    // file belongs: the store can never be written, not even by root.
    for (const bool folderIsFile : {true, false}) {
        SCOPED_TRACE(folderIsFile ? "store folder is a file" : "store file is a folder");
        RemoveStore();
        if (folderIsFile) {
            QDir().mkpath(QFileInfo(StoreFolder()).path());
            QFile blocker(StoreFolder());
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        } else {
            ASSERT_TRUE(QDir().mkpath(StoreFile()));
        }
        ExpectMoveToldAndDone(!folderIsFile);
        MakeTree(2);
    }
    // With the store writable again the next move remembers its folder.
    RemoveStore();
    MoveFirstFile();
    EXPECT_TRUE(dialogs.Warnings().isEmpty());
    MoveFirstFile();
    EXPECT_EQ(PickerStart(), Target());
}
}  // namespace
