#include "app/core/ApplicationTitle.h"
#include "app/core/Failure.h"
#include "app/core/MousePointer.h"
#include "app/core/RowList.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString kFormLoadTag = QStringLiteral("in Brellin2021/08/31.Form1.Form_Load ");

class StartUpTest : public FormFixture {
protected:
    // Loads the window with the given draw of the web-site visit.
    void Load(double draw, Shell& withShell)
    {
        form = std::make_unique<Form1>(Seams{posixFileSystem, dialogs, withShell, pump}, programFolder.Path());
        form->SetRandomSource([draw] { return draw; });
        form->Form_Load();
    }
    void LoadFromProgramFolder(FileSystem* fileSystem = nullptr) { MakeForm(fileSystem, programFolder.Path()); }

    // The step numbers of the error boxes shown, each checked for the start-up tag.
    std::vector<int> FailedSteps() const
    {
        static const QRegularExpression line(QStringLiteral("\r\n(.*)at line (\\d+)\r\r"));
        std::vector<int> steps;
        for (const QString& text : dialogs.Warnings()) {
            const QRegularExpressionMatch match = line.match(text);
            EXPECT_TRUE(match.hasMatch()) << text.toStdString();
            EXPECT_EQ(match.captured(1), kFormLoadTag);
            steps.push_back(match.captured(2).toInt());
        }
        return steps;
    }
    // The last steps of start-up ran: the list columns and today's dates are there.
    void ExpectLoadedToTheEnd()
    {
        EXPECT_EQ(form->FolderRows().ColumnText(1), QStringLiteral("Folder(s)"));
        EXPECT_EQ(form->ResultRows().ColumnText(1), QStringLiteral("Results"));
        EXPECT_EQ(form->DTPicker5->date(), QDate::currentDate());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Orvanta Software"));
    }
    std::vector<QWidget*> SkinnedKinds() const
    {
        return {form.get(), form->Frame1, form->Frame2, form->Option2, form->Option6, form->Label1};
    }

    TestDir programFolder;
};

TEST_F(StartUpTest, HelpShowsTheContactAddressUnderTheApplicationTitle)
{
    MakeForm();
    form->PushButton7->click();
    // Return and Enter press a focused button, as Space does.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(form->PushButton7, key);
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[0].kind, FakeDialogs::Kind::Message);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Orvanta"));
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("Questions? Please contact Team Halvecore at https://www.orvanta.example/contact/"));
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Orvanta"));
    EXPECT_TRUE(shell.openedUrls.empty());
}

TEST_F(StartUpTest, OnlyTheDrawOfSevenOpensTheWebSite)
{
    // n = whole part of r * 100, plus 1: n is 7 for r in [0.06, 0.07).
    const std::pair<double, bool> draws[] = {{0.0, false},  {0.0599999, false}, {0.06, true},
                                             {0.0699999, true}, {0.07, false},   {0.9999999, false}};
    for (const auto& [draw, opens] : draws) {
        FakeShell drawShell;
        Load(draw, drawShell);
        if (opens) {
            ASSERT_EQ(drawShell.openedUrls.size(), 1u) << draw;
            EXPECT_EQ(drawShell.openedUrls[0], QUrl(QStringLiteral("https://www.orvanta.example/")));
        } else {
            EXPECT_TRUE(drawShell.openedUrls.empty()) << draw;
        }
        ExpectLoadedToTheEnd();
        form.reset();
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(StartUpTest, ABrowserThatCannotStartIsReportedAtStep110AndTheWindowStillLoads)
{
    FakeShell browserless;
    browserless.refusal = QStringLiteral("No browser");
    Load(0.065, browserless);
    EXPECT_EQ(FailedSteps(), std::vector<int>{110});
    EXPECT_TRUE(dialogs.Warnings()[0].startsWith(QStringLiteral("No browser\r\n")));
    ExpectLoadedToTheEnd();
}

TEST_F(StartUpTest, EveryFailingStepIsReportedInOrderAndStartUpGoesOn)
{
    // Every file-system call fails: the skin test (step 100), the cursor test
    // (106), which counts as held, so loading the absent cursor fails too (108).
    FaultyFileSystem failing(posixFileSystem);
    failing.FailAt(1, EACCES, FaultyFileSystem::Calls::All, true);
    LoadFromProgramFolder(&failing);
    EXPECT_EQ(FailedSteps(), (std::vector<int>{100, 106, 108}));
    ExpectLoadedToTheEnd();
}

TEST_F(StartUpTest, TheSkinFileRestylesTheWindowAlsoThroughSymbolicLinks)
{
    // The folder "x" is a link, and so is the skin file in it.
    const QByteArray skin = "QPushButton { color: rgb(1, 2, 3); }\n";
    QFile::link(programFolder.CreateFile(QStringLiteral("skins/blue.qss"), skin), programFolder.Path(QStringLiteral("skins/o.cjs")));
    QFile::link(programFolder.Path(QStringLiteral("skins")), programFolder.Path(QStringLiteral("x")));
    LoadFromProgramFolder();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(form->styleSheet(), QString::fromUtf8(skin));

    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    ASSERT_NE(buttonFace, QColor(Qt::white));
    for (QWidget* widget : SkinnedKinds())
        EXPECT_EQ(widget->palette().color(QPalette::Window), buttonFace) << widget->objectName().toStdString();
    EXPECT_EQ(form->grab().toImage().pixelColor(4, 4), buttonFace);
    // The theme's button face goes with the theme's text, not the white window's.
    EXPECT_EQ(form->Frame1->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));

    form->PushButton4->ensurePolished();
    EXPECT_EQ(form->PushButton4->palette().color(QPalette::ButtonText), QColor(1, 2, 3));
}

TEST_F(StartUpTest, WithoutTheSkinFileAtExactlyItsPathTheLookStaysStandard)
{
    // A folder named like the skin, and the skin file outside its folder "x".
    programFolder.CreateFolder(QStringLiteral("x/o.cjs"));
    programFolder.CreateFile(QStringLiteral("o.cjs"), "QWidget { background: red; }");
    LoadFromProgramFolder();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(form->styleSheet().isEmpty());
    for (QWidget* widget : SkinnedKinds())
        EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::white)) << widget->objectName().toStdString();
}

TEST_F(StartUpTest, ACursorFileThatIsNoPictureIsReportedAtStep108AndTheArrowStays)
{
    programFolder.CreateFile(QStringLiteral("HAND-M.CUR"), "this is not a picture");
    LoadFromProgramFolder();
    EXPECT_EQ(FailedSteps(), std::vector<int>{108});
    ExpectLoadedToTheEnd();

    form->SetMousePointer(MousePointer::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(StartUpTest, APipeUnderTheCursorNameIsReportedInsteadOfWaitedOn)
{
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo(QFile::encodeName(programFolder.Path(QStringLiteral("HAND-M.CUR"))).constData(), 0600), 0);
    LoadFromProgramFolder();
    EXPECT_EQ(FailedSteps(), std::vector<int>{108});
    ExpectLoadedToTheEnd();
}
}  // namespace
