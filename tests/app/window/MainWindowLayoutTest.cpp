#include "app/core/RowList.h"
#include "app/window/RowTableView.h"
#include "tests/support/FormFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <set>
#include <tuple>

namespace {
// One row of the window's layout: position and size in twips inside the
// container, the caption (a list's first column heading; none for a date
// picker) and the font size in points. Rows are in tab order.
struct Control {
    const char* name;
    const char* container;
    int left, top, width, height;
    const char* caption;
    double points;
};

constexpr Control kLayout[] = {
    {"ListView1", "Form1", 120, 120, 7800, 1695, "Folder(s)", 9},
    {"ListView2", "Form1", 8040, 630, 7800, 4350, "Results", 9},
    {"PushButton3", "Form1", 120, 1900, 3840, 405, "Add Folder to Search", 11.25},
    {"PushButton1", "Form1", 8040, 120, 7800, 405, "Start Searching", 11.25},
    {"PushButton2", "Form1", 8040, 5070, 3840, 405, "Save Results As Text File", 11.25},
    {"PushButton6", "Form1", 8040, 5580, 3840, 405, "Clear List", 11.25},
    {"Frame2", "Form1", 120, 2865, 7800, 735, "Find by which date?", 9},
    {"Option1", "Frame2", 240, 300, 1575, 255, "Date Modified", 9},
    {"Option2", "Frame2", 1920, 300, 1575, 255, "Date Created", 9},
    {"Option3", "Frame2", 3600, 300, 1695, 255, "Date Accessed", 9},
    {"Frame1", "Form1", 120, 3660, 7800, 2835, "Select Range", 9},
    {"Option4", "Frame1", 240, 1860, 1935, 255, "Between:", 9},
    {"Option5", "Frame1", 240, 1360, 1935, 255, "On this date:", 9},
    {"Option6", "Frame1", 240, 860, 1935, 255, "Before this date:", 9},
    {"Option7", "Frame1", 240, 360, 1935, 255, "After this date:", 9},
    {"DTPicker1", "Frame1", 2280, 300, 4335, 375, nullptr, 9},
    {"DTPicker2", "Frame1", 2280, 800, 4335, 375, nullptr, 9},
    {"DTPicker3", "Frame1", 2280, 1300, 4335, 375, nullptr, 9},
    {"DTPicker4", "Frame1", 2280, 1800, 3975, 375, nullptr, 9},
    {"DTPicker5", "Frame1", 2280, 2300, 4335, 375, nullptr, 9},
    {"Label1", "Frame1", 6360, 1860, 315, 255, "and", 9},
    {"PushButton4", "Form1", 12000, 5070, 3840, 405, "Copy Results To Clipboard", 11.25},
    {"PushButton5", "Form1", 8040, 6090, 7800, 405, "Send Checked To Recycle Bin", 11.25},
    {"PushButton7", "Form1", 120, 2410, 3840, 405, "Help", 11.25},
    {"PushButton11", "Form1", 12000, 5580, 3840, 405, "Move Checked To Another Folder", 11.25},
    {"PushButton8", "Form1", 4080, 2410, 3840, 405, "Load Sample/Example Folders", 11.25},
    {"PushButton9", "Form1", 4080, 1900, 3840, 405, "Clear List", 11.25},
};

bool IsTabStop(const Control& control)
{
    return !QByteArray(control.name).startsWith("Frame") && !QByteArray(control.name).startsWith("Label");
}

QString Caption(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* list = qobject_cast<QTableView*>(widget))
        return list->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString();
    return {};
}

class MainWindowLayoutTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        ASSERT_EQ(form->logicalDpiX(), 96) << "the pixel figures below hold at 96 dpi";
    }
    QWidget* Find(const char* name) { return form->findChild<QWidget*>(QLatin1String(name)); }
    QDateEdit* Picker(int number)
    {
        return form->findChild<QDateEdit*>(QStringLiteral("DTPicker%1").arg(number));
    }
};

TEST_F(MainWindowLayoutTest, TheWindowIsFixedAtItsClientSizeAndWhite)
{
    EXPECT_EQ(form->size(), QSize(1064, 441));
    EXPECT_EQ(form->minimumSize(), QSize(1064, 441));
    EXPECT_EQ(form->maximumSize(), QSize(1064, 441));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Orvanta Software"));
    EXPECT_FALSE(form->windowIcon().isNull());

    // What is painted, not only what the palette says: the window background,
    // and the inside of a frame, which shows the window through it (the
    // style may shade a frame's panel by a shade or two).
    const QImage picture = form->grab().toImage();
    EXPECT_EQ(picture.pixelColor(4, 4), QColor(Qt::white));
    const QPoint insideFrame = form->Frame1->mapTo(form.get(), QPoint(form->Twips(7300), form->Twips(1100)));
    EXPECT_GE(picture.pixelColor(insideFrame).lightness(), 248);
    for (QWidget* widget : {static_cast<QWidget*>(form->Frame2), static_cast<QWidget*>(form->Option3),
                            static_cast<QWidget*>(form->Label1)})
        EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::white));
}

// The offscreen screen is 800 x 600, narrower than the window's design.
TEST_F(MainWindowLayoutTest, OnANarrowerScreenTheWindowFitsAndEveryControlCanBeReached)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_LT(form->screen()->availableGeometry().width(), 1064);
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
    auto* bar = form->findChild<QScrollBar*>();
    ASSERT_TRUE(bar && bar->isVisible() && bar->orientation() == Qt::Horizontal);
    const auto shown = [&](QWidget* widget) {
        return QRect(0, 0, form->width(), bar->y()).contains(QRect(widget->mapTo(form.get(), QPoint()), widget->size()));
    };
    // The scroll bar reaches both ends; at the start the controls are at their design places.
    ASSERT_FALSE(shown(form->PushButton4));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - bar->height() - 4, bar->height() / 2));
    EXPECT_TRUE(shown(form->PushButton4) && shown(form->PushButton11));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->height() + 4, bar->height() / 2));
    EXPECT_EQ(form->ListView1->pos(), QPoint(form->Twips(120), form->Twips(120)));

    // The keyboard brings every control it visits into view.
    form->ListView1->setFocus();
    for (int visit = 0; visit < 24; ++visit) {
        QWidget* focused = QApplication::focusWidget();
        EXPECT_TRUE(shown(focused)) << focused->objectName().toStdString();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

TEST_F(MainWindowLayoutTest, CaptionsOnTheWhiteWindowStayDarkUnderADarkTheme)
{
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    QApplication::setPalette(dark);
    MakeForm();
    const QImage headings = form->ListView2->horizontalHeader()->grab().toImage();
    QApplication::setPalette(light);
    // The blank heading area right of the last column is as dark as the headings.
    EXPECT_LT(headings.pixelColor(headings.width() - 4, headings.height() / 2).lightness(), 60);
    // On white, a lightness below 60 gives a contrast above 7 to 1.
    for (QWidget* widget : std::initializer_list<QWidget*>{form->Frame1, form->Frame2, form->Option4, form->Label1})
        EXPECT_LT(widget->palette().color(QPalette::WindowText).lightness(), 60) << widget->objectName().toStdString();
}

TEST_F(MainWindowLayoutTest, EveryControlHasItsPlaceCaptionAndFont)
{
    // Rounded, not truncated: 1900 twips are 126.67 pixels.
    EXPECT_EQ(form->PushButton3->y(), 127);

    for (const Control& control : kLayout) {
        SCOPED_TRACE(control.name);
        QWidget* widget = Find(control.name);
        ASSERT_NE(widget, nullptr);
        ASSERT_NE(widget->parentWidget(), nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QLatin1String(control.container));
        EXPECT_EQ(widget->geometry(), QRect(form->Twips(control.left), form->Twips(control.top),
                                            form->Twips(control.width), form->Twips(control.height)));
        EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()));
        if (control.caption) {
            EXPECT_EQ(Caption(widget), QString::fromUtf8(control.caption));
        }
        EXPECT_EQ(widget->font().family(), QStringLiteral("Arial"));
        EXPECT_TRUE(widget->font().bold());
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), control.points);
        EXPECT_TRUE(widget->isVisibleTo(form.get()));
    }
}

TEST_F(MainWindowLayoutTest, FocusVisitsTheControlsInTheirTabOrderSkippingFramesAndLabel)
{
    QStringList expected;
    for (const Control& control : kLayout) {
        const bool tabStop = Find(control.name)->focusPolicy() & Qt::TabFocus;
        EXPECT_EQ(tabStop, IsTabStop(control)) << control.name;
        if (IsTabStop(control))
            expected << QLatin1String(control.name);
    }

    QStringList visited;
    for (QWidget* widget = form->ListView1; visited.size() < expected.size();) {
        if (expected.contains(widget->objectName()) && !visited.contains(widget->objectName()))
            visited << widget->objectName();
        widget = widget->nextInFocusChain();
        if (widget == form->ListView1)
            break;
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(MainWindowLayoutTest, StartsWithEmptyListsTodayInThePickersAndTheDesignSelection)
{
    for (RowList* rows : {&form->FolderRows(), &form->ResultRows()}) {
        EXPECT_EQ(rows->Count(), 0);
        EXPECT_EQ(rows->ColumnCount(), 1);
    }
    for (RowTableView* list : {form->ListView1, form->ListView2}) {
        EXPECT_EQ(list->horizontalHeader()->sectionSize(0), form->Twips(7000));
        EXPECT_FALSE(list->horizontalHeader()->sectionsMovable());  // the save and the copy keep the model's order
        EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);  // the file name at the path's end shows
        EXPECT_EQ(list->toolTip(), QStringLiteral("Double-click item to remove it. Move | line to right and "
                                                  "out of window to reveal full names."));
    }

    for (int number = 1; number <= 5; ++number) {
        EXPECT_EQ(Picker(number)->date(), QDate::currentDate()) << number;
        EXPECT_TRUE(Picker(number)->isEnabled()) << number;
    }

    const std::vector<QRadioButton*> options = {form->Option1, form->Option2, form->Option3, form->Option4,
                                                form->Option5, form->Option6, form->Option7};
    std::vector<bool> selected;
    for (QRadioButton* option : options)
        selected.push_back(option->isChecked());
    EXPECT_EQ(selected, (std::vector<bool>{true, false, false, false, false, false, true}));

    // The two frames are separate groups: choosing a date type keeps the range.
    form->Option2->click();
    EXPECT_FALSE(form->Option1->isChecked());
    EXPECT_TRUE(form->Option7->isChecked());
}
TEST_F(MainWindowLayoutTest, AScreenReaderTellsEveryControlApart)
{
    const auto text = [](QObject* object, QAccessible::Text kind) {
        return QAccessible::queryAccessibleInterface(object)->text(kind);
    };
    std::set<std::pair<QString, QString>> told;
    for (const Control& control : kLayout) {
        QWidget* widget = Find(control.name);
        if (control.caption && !qobject_cast<QTableView*>(widget)) {
            EXPECT_EQ(text(widget, QAccessible::Name), QString::fromUtf8(control.caption));
        }
        if (IsTabStop(control)) {
            EXPECT_TRUE(told.emplace(text(widget, QAccessible::Name), text(widget, QAccessible::Description)).second)
                << control.name;
        }
    }
    EXPECT_EQ(text(form->DTPicker4, QAccessible::Name), QStringLiteral("Between, first date"));
    EXPECT_EQ(text(form->ListView2, QAccessible::Name), QStringLiteral("Result list"));

    // Turning a range option on through its action applies its picker rule.
    QAccessible::queryAccessibleInterface(form->Option4)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(form->Option4->isChecked());
    EXPECT_FALSE(form->DTPicker1->isEnabled());
    EXPECT_TRUE(form->DTPicker5->isEnabled());
}

TEST_F(MainWindowLayoutTest, PickersShowAndTakeFourDigitYearsInTheUsersLocale)
{
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "3/5/2024"}, {"de_DE", "05.03.2024"}, {"ja_JP", "2024/03/05"}};
    for (const auto& [locale, text] : cases) {
        QLocale::setDefault(QLocale(QLatin1String(locale)));
        MakeForm();
        form->DTPicker3->setDate(QDate(2024, 3, 5));
        EXPECT_EQ(form->DTPicker3->text(), QLatin1String(text)) << locale;
        form->DTPicker3->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(form->DTPicker3, QStringLiteral("1999"));
        EXPECT_EQ(form->DTPicker3->date(), QDate(1999, 3, 5)) << locale;
        // Two digits are the nearest year of 1930-2029, on whichever key leaves the year.
        for (const auto& [typed, key, year] : {std::tuple{"24", Qt::Key_Tab, 2024}, {"30", Qt::Key_Return, 1930}}) {
            form->DTPicker3->setFocus();
            form->DTPicker3->setSelectedSection(QDateTimeEdit::YearSection);
            QTest::keyClicks(form->DTPicker3, QLatin1String(typed));
            QTest::keyClick(form->DTPicker3, key);
            EXPECT_EQ(form->DTPicker3->date(), QDate(year, 3, 5)) << locale << " " << typed;
        }
        EXPECT_EQ(form->DTPicker3->text(), QString::fromLatin1(text).replace(QLatin1String("2024"), QLatin1String("1930")));
    }
    QLocale::setDefault(QLocale::system());
}
}  // namespace
