#include "app/platform/QtDialogs.h"
#include "folders/BrowseForFolder.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {
const QString kTitle = QStringLiteral("Please select folder:");

TEST(BrowseForFolder, ReturnsThePathWithoutTrailingSeparatorExceptTheRoot)
{
    const struct {
        const char* picked;
        const char* returned;
    } cases[] = {
        {"/home/ann/Photos", "/home/ann/Photos"},
        {"/home/ann/Photos/", "/home/ann/Photos"},
        {"/home/ann/Photos//", "/home/ann/Photos"},
        {"/home/ann/name ending in a blank ", "/home/ann/name ending in a blank "},
        {"/", "/"},
        {"//", "/"},
        {"", ""},  // cancelled
    };
    for (const auto& [picked, returned] : cases) {
        FakeDialogs dialogs;
        dialogs.folders.push_back(QString::fromUtf8(picked));
        EXPECT_EQ(BrowseForFolder(dialogs, nullptr, kTitle, QStringLiteral("/start")), QString::fromUtf8(returned))
            << picked;
    }
}

TEST(BrowseForFolder, OpensAtTheStartFolderUnderTheCallersTitle)
{
    FakeDialogs dialogs;
    EXPECT_EQ(BrowseForFolder(dialogs, nullptr, kTitle, QStringLiteral("/srv/last used")), QString());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, FakeDialogs::Kind::FolderPicker);
    EXPECT_EQ(dialogs.shown[0].title, kTitle);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("/srv/last used"));
}

// The real picker, answered as soon as it shows: `answer` inspects the open
// dialog and accepts or rejects it.
QString PickWithTheRealDialog(const QString& startFolder, const std::function<void(QFileDialog&)>& answer)
{
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no folder picker is open";
            return;
        }
        answered = true;
        answer(*dialog);
    });
    QtDialogs dialogs;
    const QString folder = BrowseForFolder(dialogs, nullptr, kTitle, startFolder);
    EXPECT_TRUE(answered);
    return folder;
}

TEST(BrowseForFolder, TheRealPickerOffersFoldersOnlyFromTheStartFolder)
{
    TestDir tree;
    const QString start = tree.CreateFolder(QStringLiteral("last used"));
    const QString chosen = tree.CreateFolder(QStringLiteral("last used/chosen"));

    const QString picked = PickWithTheRealDialog(start, [&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), kTitle);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
        EXPECT_EQ(dialog.directory().absolutePath(), start);
        dialog.setDirectory(chosen);
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(picked, chosen);

    EXPECT_EQ(PickWithTheRealDialog(start, [](QFileDialog& dialog) { dialog.reject(); }), QString());
    const QString root = PickWithTheRealDialog(start, [](QFileDialog& dialog) {
        dialog.setDirectory(QStringLiteral("/"));
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(root, QStringLiteral("/"));
}

TEST(BrowseForFolder, TheRealPickerIgnoresAStartFolderThatIsGone)
{
    TestDir tree;
    const QString gone = tree.Path(QStringLiteral("gone"));
    PickWithTheRealDialog(gone, [&](QFileDialog& dialog) {
        EXPECT_NE(dialog.directory().absolutePath(), gone);
        EXPECT_TRUE(dialog.directory().exists());
        dialog.reject();
    });
}
}  // namespace
