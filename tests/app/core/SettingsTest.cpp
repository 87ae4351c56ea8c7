#include "app/core/Failure.h"
#include "app/core/Settings.h"
#include "tests/support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace {
// The store's file, as another copy of the program sees it.
QString StorePath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Halvecore/Orvanta Software.conf");
}

QString ReadFromCopyOfStore(const QString& key)
{
    TestDir copyFolder;
    const QString copy = copyFolder.Path(QStringLiteral("copy.conf"));
    EXPECT_TRUE(QFile::copy(StorePath(), copy));
    return QSettings(copy, QSettings::IniFormat).value(QStringLiteral("Orvanta Software/") + key).toString();
}

// Points the per-user store at another folder for the life of the object.
class StoreFolder {
public:
    explicit StoreFolder(const QString& folder) { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder); }
    ~StoreFolder()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
};
}  // namespace

TEST(Settings, AValueWrittenIsOnDiskUnderTheApplicationAndSection)
{
    // Characters an INI file has to escape, and some that are not ASCII.
    const QString folder = QStringLiteral("/home/ann/Fotos, 2024; \"Sommer\" = Ä/#1 \\ end ");
    WriteSetting(QStringLiteral("LastFolder"), folder);
    EXPECT_EQ(ReadFromCopyOfStore(QStringLiteral("LastFolder")), folder);
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), QStringLiteral("default")), folder);

    WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/b"));
    EXPECT_EQ(ReadFromCopyOfStore(QStringLiteral("LastFolder")), QStringLiteral("/b"));
}

TEST(Settings, AnAbsentKeyReadsAsTheDefaultAndOtherKeysStayApart)
{
    EXPECT_EQ(ReadSetting(QStringLiteral("NeverWritten"), QString()), QString());
    EXPECT_EQ(ReadSetting(QStringLiteral("NeverWritten"), QStringLiteral("/start")), QStringLiteral("/start"));
    WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/moved/here"));
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolderDot"), QStringLiteral("none")), QStringLiteral("none"));
}

TEST(Settings, EachReadSeesWhatAnotherCopyOfTheProgramWroteLast)
{
    WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/mine"));
    {
        TestDir other;
        const QString otherStore = other.Path(QStringLiteral("other.conf"));
        QFile::copy(StorePath(), otherStore);
        QSettings otherCopy(otherStore, QSettings::IniFormat);
        otherCopy.setValue(QStringLiteral("Orvanta Software/LastFolder"), QStringLiteral("/written/by/the/other/copy"));
        otherCopy.sync();
        ASSERT_TRUE(QFile::remove(StorePath()));
        ASSERT_TRUE(QFile::copy(otherStore, StorePath()));
    }
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), QString()), QStringLiteral("/written/by/the/other/copy"));
}

TEST(Settings, AStoreThatCannotBeWrittenIsAFailure)
{
    // A folder below a regular file can never be created, not even by root.
    TestDir home;
    home.CreateFile(QStringLiteral("plain-file"), "x");
    {
        StoreFolder unwritable(home.Path(QStringLiteral("plain-file/config")));
        EXPECT_THROW(WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/lost")), Failure);
        EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), QStringLiteral("default")), QStringLiteral("default"));
    }
    // The test home's store works again afterwards.
    WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/kept"));
    EXPECT_EQ(ReadFromCopyOfStore(QStringLiteral("LastFolder")), QStringLiteral("/kept"));
}

TEST(Settings, AStoreThatIsThereButCannotBeReadIsAFailureUntilAWriteMendsIt)
{
    // A folder in the store file's place, then a file that is no settings file.
    QFile::remove(StorePath());
    ASSERT_TRUE(QDir().mkpath(StorePath()));
    EXPECT_THROW(ReadSetting(QStringLiteral("LastFolder"), {}), Failure);
    QFile damaged(StorePath());
    ASSERT_TRUE(QDir().rmdir(StorePath()) && damaged.open(QIODevice::WriteOnly) && damaged.write("[[[\n") == 4);
    damaged.close();
    EXPECT_THROW(ReadSetting(QStringLiteral("LastFolder"), {}), Failure);
    WriteSetting(QStringLiteral("LastFolder"), QStringLiteral("/mended"));
    EXPECT_EQ(ReadSetting(QStringLiteral("LastFolder"), {}), QStringLiteral("/mended"));
}
