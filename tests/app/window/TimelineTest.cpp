#include "actions/timeline/TimelineBins.h"
#include "app/core/RowList.h"
#include "app/core/Timestamp.h"
#include "app/window/ResultListMenu.h"
#include "app/window/RowTableView.h"
#include "app/window/timeline/TimelineChart.h"
#include "app/window/timeline/TimelineWindow.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TimeZoneScope.h"

#include <QAccessible>
#include <QAction>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

namespace {
qint64 Day(int year, int month, int day)
{
    return DayNumber(QDate(year, month, day));
}

TEST(TimelineBins, TheFinestUnitThatKeepsTheSpanWithin120Bars)
{
    const struct {
        qint64 first, last;
        TimelineUnit unit;
        int yearsPerBar;
        qint64 firstStart;
        size_t bars;
    } cases[] = {
        {Day(2024, 3, 5), Day(2024, 3, 14), TimelineUnit::Day, 1, Day(2024, 3, 5), 10},
        {Day(2024, 3, 5), Day(2024, 7, 2), TimelineUnit::Day, 1, Day(2024, 3, 5), 120},
        {Day(2024, 3, 5), Day(2024, 9, 21), TimelineUnit::Week, 1, Day(2024, 3, 4), 29},  // Monday to Monday
        {Day(2020, 1, 15), Day(2024, 12, 31), TimelineUnit::Month, 1, Day(2020, 1, 1), 60},
        {Day(1970, 1, 1), Day(2024, 6, 1), TimelineUnit::Years, 1, Day(1970, 1, 1), 55},
        {Day(1970, 1, 1), Day(2300, 1, 1), TimelineUnit::Years, 5, Day(1970, 1, 1), 67},
    };
    for (const auto& c : cases) {
        const std::vector<qint64> days{c.last, kNoDay, c.first, c.first, kNoDay};
        const TimelineBins bins = BinDays(days, Qt::Monday);
        EXPECT_EQ(bins.unit, c.unit) << c.last;
        EXPECT_EQ(bins.yearsPerBar, c.yearsPerBar) << c.last;
        ASSERT_EQ(bins.starts.size(), c.bars + 1) << c.last;
        EXPECT_EQ(bins.starts.front(), c.firstStart);
        // The undated bar comes first, then the first and last dated bars.
        EXPECT_EQ(bins.counts.size(), c.bars + 1);
        EXPECT_EQ(bins.counts.front(), 2);
        EXPECT_EQ(bins.counts[1], 2);
        EXPECT_EQ(bins.counts.back(), 1);
        EXPECT_EQ(SlotAxisText(bins, 0, QLocale::c()), QStringLiteral("No date"));
    }
    const TimelineBins sundays = BinDays({Day(2024, 3, 5), Day(2024, 9, 21)}, Qt::Sunday);
    EXPECT_EQ(sundays.starts.front(), Day(2024, 3, 3));
    EXPECT_EQ(SlotAxisText(sundays, 1, QLocale(QLocale::English, QLocale::UnitedStates)), QStringLiteral("3/10/2024"));
    EXPECT_EQ(SlotPeriodText(sundays, 1, QLocale(QLocale::German)), QStringLiteral("10.03.2024 \u2013 16.03.2024"));
    EXPECT_EQ(SlotPeriodText(BinDays({Day(2020, 1, 15), Day(2024, 12, 31)}, 1), 2, QLocale(QLocale::German)),
              QStringLiteral("März 2020"));
}

TEST(TimelineBins, RowsCountOnTheirLocalDayWithTheOffsetOfTheirDate)
{
    for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "America/St_Johns", "Etc/GMT-2"}) {
        const TimeZoneScope scope(zone);
        TimelineDayReader reader;
        // Every quarter of an hour of 2024, over both changes of the offset.
        for (qint64 time = 1704067200; time < 1735689600; time += 900)
            ASSERT_EQ(reader.Day(time), LocalDayNumber(time)) << zone << " " << time;
    }
    EXPECT_EQ(TimelineDayReader().Day(kNoTime), kNoDay);
}

class TimelineTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        Rows().RemoveColumn(1);
        Rows().AddColumn(QStringLiteral("File(s) Found"));
        Rows().AddColumn(QStringLiteral("Date Modified"));
        form->show();
    }
    RowList& Rows() { return form->ResultRows(); }
    void Trigger(const QString& command) { MenuEntry(command)->trigger(); }
    TimelineChart& Chart() { return form->findChild<TimelineWindow*>()->Chart(); }
    void Click(int slot, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(&Chart(), Qt::LeftButton, modifiers, Chart().BarRect(slot).center().toPoint());
    }
    std::vector<int> Selected() { return form->findChild<ResultListMenu*>()->SelectedRows(); }
    // Rows on 5 March at noon and 6 March at noon (UTC), and one without a time.
    void AddRows(const std::vector<int>& days)
    {
        for (int day : days)
            Rows().Add(QStringLiteral("/data/%1").arg(Rows().Count()), day == 0 ? kNoTime : 1709640000 + 86400LL * (day - 5));
    }
};

TEST_F(TimelineTest, OneWindowOwnedByTheMainWindowThatFollowsTheList)
{
    const TimeZoneScope zone("UTC");
    AddRows({5, 6, 5, 6, 5, 0});
    Trigger(QStringLiteral("Show Timeline..."));
    Trigger(QStringLiteral("Show Timeline..."));
    const QList<TimelineWindow*> windows = form->findChildren<TimelineWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible() && windows[0]->isWindow() && !windows[0]->isModal());
    EXPECT_EQ(Chart().Bins().counts, (std::vector<int>{1, 3, 2}));

    // Each change of the rows is drawn at the next turn of the event loop.
    Rows().Sort(1, Qt::DescendingOrder);
    Rows().RemoveWhere([](const RowList::Row& row) { return row.text == QStringLiteral("/data/1"); });
    QCoreApplication::processEvents();
    EXPECT_EQ(Chart().Bins().counts, (std::vector<int>{1, 3, 1}));
    Rows().Clear();
    QCoreApplication::processEvents();
    EXPECT_EQ(Chart().Bins().SlotCount(), 0);
    AddRows({5});
    AddRows({7});
    QCoreApplication::processEvents();
    EXPECT_EQ(Chart().Bins().counts, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(Chart().Bins().unit, TimelineUnit::Day);
}

TEST_F(TimelineTest, ABarTellsItsPeriodAndCountAndAClickSelectsItsRows)
{
    const TimeZoneScope zone("UTC");
    AddRows(std::vector<int>(150, 5));
    AddRows({6, 5, 6, 0});
    Trigger(QStringLiteral("Show Timeline..."));
    QHelpEvent hover(QEvent::ToolTip, Chart().BarRect(2).center().toPoint(), Chart().mapToGlobal(QPoint(0, 0)));
    QCoreApplication::sendEvent(&Chart(), &hover);
    EXPECT_EQ(QToolTip::text(), QLocale().toString(QDate(2024, 3, 6), QLocale::LongFormat) + QStringLiteral(": 2 files"));

    Click(2);
    EXPECT_EQ(Selected(), (std::vector<int>{151, 153}));
    const QRect first = form->ListView2->visualRect(Rows().index(150, 0));
    EXPECT_TRUE(form->ListView2->viewport()->rect().contains(first.center()));
    Trigger(QStringLiteral("Check Selected"));
    EXPECT_TRUE(Rows().Checked(151) && Rows().Checked(153) && !Rows().Checked(152));

    Click(0, Qt::ShiftModifier);  // from the last picked bar to the undated one
    EXPECT_EQ(Selected().size(), 154u);
    Click(0);
    EXPECT_EQ(Selected(), std::vector<int>{154});

    // The labels at both ends show whole, moved in from under their bars.
    AddRows({95});
    QCoreApplication::processEvents();
    for (const int slot : {0, 1, Chart().Bins().SlotCount() - 1})
        EXPECT_TRUE(QRectF(Chart().rect()).contains(Chart().AxisLabelRect(slot))) << slot;
}

TEST_F(TimelineTest, KeysAndAScreenReaderReachEveryBar)
{
    const TimeZoneScope zone("UTC");
    AddRows({5, 7, 5, 0, 6});
    Trigger(QStringLiteral("Show Timeline..."));
    ASSERT_TRUE(QTest::qWaitForWindowActive(form->findChild<TimelineWindow*>()));
    QAccessibleInterface* chart = QAccessible::queryAccessibleInterface(&Chart());
    EXPECT_EQ(chart->text(QAccessible::Name), QStringLiteral("Timeline"));
    ASSERT_EQ(chart->childCount(), 4);  // no date, 5, 6 and 7 March
    EXPECT_EQ(chart->child(2)->text(QAccessible::Name), Chart().ToolTipText(2));
    const auto focused = [&] { return chart->focusChild() ? chart->indexOfChild(chart->focusChild()) : -1; };
    EXPECT_EQ(focused(), 0);

    const auto keys = [&](std::initializer_list<Qt::Key> list, Qt::KeyboardModifiers last = {}) {
        for (auto it = list.begin(); it != list.end(); ++it)
            QTest::keyClick(&Chart(), *it, it + 1 == list.end() ? last : Qt::NoModifier);
    };
    keys({Qt::Key_End, Qt::Key_Left});
    EXPECT_EQ(focused(), 2);
    keys({Qt::Key_Return});
    EXPECT_EQ(Selected(), std::vector<int>{5});
    EXPECT_TRUE(chart->child(2)->state().selected);
    keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Space}, Qt::ShiftModifier);  // Right stops at the last bar
    EXPECT_EQ(Selected(), (std::vector<int>{2, 5}));
    keys({Qt::Key_Home, Qt::Key_Space});
    EXPECT_EQ(Selected(), std::vector<int>{4});
    Click(1);  // a click moves the keyboard to its bar
    keys({Qt::Key_Right, Qt::Key_Return}, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 3, 5}));
}
}  // namespace
