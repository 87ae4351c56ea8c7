#include "app/core/Failure.h"
#include "app/core/RowList.h"
#include "tests/support/TestEventPump.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace {
TestEventPump pump;

std::unique_ptr<RowList> MakeList(const std::vector<std::pair<QString, qint64>>& rows)
{
    auto list = std::make_unique<RowList>(true, pump);
    list->AddColumn(QStringLiteral("File(s) Found"));
    list->AddColumn(QStringLiteral("Date Modified"));
    std::vector<RowList::Row> batch;
    for (const auto& [text, time] : rows)
        batch.push_back({text, time, false});
    list->AddRows(std::move(batch));
    return list;
}

QStringList Texts(const RowList& list)
{
    QStringList texts;
    for (int i = 1; i <= list.Count(); ++i)
        texts << list.Text(i);
    return texts;
}
}  // namespace

TEST(RowListTest, KeepsTextsTimesAndMarksThroughBatchesRemovalAndClear)
{
    RowList list(true, pump);
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.AddColumn(QStringLiteral("File(s) Found"));
    list.AddColumn(QStringLiteral("Date Modified"));
    // Texts beyond ASCII, an empty one and one longer than a storage block survive the round trip.
    const QString longText(600'000, QChar(0x00e9));
    const QStringList texts = {QStringLiteral("/tmp/ä ö/日本語.txt"), QString(), QStringLiteral("/tmp/😀"), longText,
                               QStringLiteral("C:\\x\\y")};
    std::vector<RowList::Row> batch;
    for (const QString& text : texts)
        batch.push_back({text, 1000, false});
    list.AddRows(std::move(batch));
    list.Add(QStringLiteral("/last"), kNoTime);
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(Texts(list).mid(0, 5), texts);
    EXPECT_EQ(list.Text(6), QStringLiteral("/last"));
    EXPECT_EQ(list.Time(6), kNoTime);
    EXPECT_EQ(list.SubItem(6, 1), QString());
    EXPECT_EQ(list.data(list.index(0, 0), Qt::DisplayRole).toString(), texts[0]);

    list.SetChecked(2, true);
    list.SetCheckedRows({5, 3}, true);
    EXPECT_TRUE(list.Checked(2) && list.Checked(3) && list.Checked(5));
    EXPECT_FALSE(list.Checked(1) || list.Checked(4) || list.Checked(6));

    list.RemoveWhere([](const RowList::Row& row) { return row.checked; });
    EXPECT_EQ(Texts(list), (QStringList{texts[0], texts[3], QStringLiteral("/last")}));
    list.Remove(2);
    EXPECT_EQ(Texts(list), (QStringList{texts[0], QStringLiteral("/last")}));

    list.SetAllChecked(true);
    EXPECT_TRUE(list.Checked(1) && list.Checked(2));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Add(QStringLiteral("/again"));
    EXPECT_EQ(Texts(list), QStringList{QStringLiteral("/again")});
}

TEST(RowListTest, IndexesOutOfRangeThrow)
{
    const auto owned = MakeList({{QStringLiteral("/a"), 1}});
    RowList& list = *owned;
    EXPECT_THROW(list.Text(0), Failure);
    EXPECT_THROW(list.Text(2), Failure);
    EXPECT_THROW(list.Time(2), Failure);
    EXPECT_THROW(list.SetChecked(0, true), Failure);
    EXPECT_THROW(list.SetCheckedRows({1, 2}, true), Failure);
    EXPECT_FALSE(list.Checked(1));  // nothing changed by the failed call
    EXPECT_THROW(list.Remove(2), Failure);
    EXPECT_THROW(list.Sort(3, Qt::AscendingOrder), Failure);
    EXPECT_THROW(list.ColumnText(0), Failure);
    EXPECT_FALSE(list.data(list.index(5, 0), Qt::DisplayRole).isValid());
}

TEST(RowListTest, SortsByDateValueWithEmptyDatesFirstAndKeepsEqualRowsInOrder)
{
    // The texts of these times would sort differently from their values.
    const auto owned = MakeList({{QStringLiteral("a"), 2'000'000'000},
                             {QStringLiteral("b"), kNoTime},
                             {QStringLiteral("c"), 5},
                             {QStringLiteral("d"), 2'000'000'000},
                             {QStringLiteral("e"), kNoTime},
                             {QStringLiteral("f"), 300'000'000}});
    RowList& list = *owned;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.SetChecked(3, true);
    list.Sort(2, Qt::AscendingOrder);
    EXPECT_EQ(Texts(list), (QStringList{"b", "e", "c", "f", "a", "d"}));
    list.Sort(2, Qt::DescendingOrder);
    EXPECT_EQ(Texts(list), (QStringList{"a", "d", "f", "c", "b", "e"}));
    // The check mark moved with its row.
    EXPECT_TRUE(list.Checked(4));
    EXPECT_EQ(list.Time(4), 5);
}

TEST(RowListTest, SortsByTextInLocaleOrderStably)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto owned = MakeList({{QStringLiteral("/b/file10"), 1},
                             {QStringLiteral("/B/file2"), 2},
                             {QStringLiteral("/a/x"), 3},
                             {QStringLiteral("/b/file2"), 4},
                             {QStringLiteral("/a/x"), 5}});
    RowList& list = *owned;
    list.Sort(1, Qt::AscendingOrder);
    const QStringList ascending = Texts(list);
    EXPECT_EQ(ascending.mid(0, 2), (QStringList{"/a/x", "/a/x"}));
    EXPECT_EQ(list.Time(1), 3);  // equal texts keep their order
    EXPECT_EQ(list.Time(2), 5);
    // Numbers within names compare by value.
    EXPECT_LT(ascending.indexOf("/b/file2"), ascending.indexOf("/b/file10"));
    list.Sort(1, Qt::DescendingOrder);
    EXPECT_EQ(list.Text(1), QStringLiteral("/b/file10"));
    EXPECT_EQ(list.Time(4), 3);
    EXPECT_EQ(list.Time(5), 5);
    QLocale::setDefault(previous);
}

TEST(RowListTest, SortingKeepsSelectedCellsOnTheirRows)
{
    const auto owned = MakeList({{QStringLiteral("c"), 1}, {QStringLiteral("a"), 2}, {QStringLiteral("b"), 3}});
    RowList& list = *owned;
    const QPersistentModelIndex held(list.index(0, 1));
    list.Sort(1, Qt::AscendingOrder);
    EXPECT_EQ(held.row(), 2);
    EXPECT_EQ(held.column(), 1);
}

TEST(RowListTest, DragsRowsAsFileUrlsOnlyWhenAsked)
{
    const auto owned = MakeList({{QStringLiteral("/tmp/a b.txt"), 1}, {QStringLiteral("/tmp/c"), 2}});
    RowList& list = *owned;
    EXPECT_FALSE(list.flags(list.index(0, 0)) & Qt::ItemIsDragEnabled);
    list.SetDragAsFiles(true);
    EXPECT_TRUE(list.flags(list.index(0, 0)) & Qt::ItemIsDragEnabled);
    // Both cells of row 2 and one of row 1, in selection order.
    std::unique_ptr<QMimeData> data(list.mimeData({list.index(1, 0), list.index(0, 1), list.index(1, 1)}));
    ASSERT_TRUE(data->hasUrls());
    EXPECT_EQ(data->urls(), (QList<QUrl>{QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c")}));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("text/uri-list")));
}

// Rows of a batch refer to folders and names in storage the list then shares:
// they outlive their maker's hold on it, mix with rows added as texts, and
// sort with them by their whole texts.
TEST(RowListTest, BatchRowsReferToSharedFoldersAndNames)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto storage = std::make_shared<std::string>("/d/\xc3\xa4" "b10b2zeta\xf0\x9f\x98\x80");
    const std::string_view bytes(*storage);
    RowList list(true, pump);
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    list.AddColumn(QStringLiteral("File(s) Found"));
    list.Add(QStringLiteral("/d/\u00e4/b"), 1);
    RowList::Batch batch({bytes.substr(0, 5), std::string_view()}, storage);
    batch.Add(0, bytes.substr(5, 3), 2);   // b10
    batch.Add(1, bytes.substr(10, 4), 3);  // zeta, in the root
    batch.Add(0, bytes.substr(8, 2), 4);   // b2
    batch.Add(0, bytes.substr(14, 4), kNoTime);
    list.AddRows(std::move(batch));
    storage.reset();
    list.Add(QStringLiteral("/d/\u00e4/b3/c"), 5);
    ASSERT_EQ(list.Count(), 6);
    const QStringList texts = {"/d/\u00e4/b", "/d/\u00e4/b10", "/zeta", "/d/\u00e4/b2", u"/d/\u00e4/\U0001F600"_qs,
                               "/d/\u00e4/b3/c"};
    EXPECT_EQ(Texts(list), texts);
    for (int i = 1; i <= list.Count(); ++i)
        EXPECT_EQ(list.TextLength(i), texts[i - 1].size()) << i;

    list.Sort(1, Qt::AscendingOrder);
    // A symbol collates before letters.
    EXPECT_EQ(Texts(list), (QStringList{u"/d/\u00e4/\U0001F600"_qs, "/d/\u00e4/b", "/d/\u00e4/b2", "/d/\u00e4/b3/c",
                                        "/d/\u00e4/b10", "/zeta"}));
    EXPECT_EQ(list.Time(3), 4);
    QLocale::setDefault(previous);
}

// A long list sorts on a worker while events are processed through the list's
// pump; a check mark set meanwhile is kept, a clearing of the list meanwhile
// wins over the sort.
TEST(RowListTest, ALongSortGivesWayToAChangeMadeWhileItRuns)
{
    std::vector<RowList::Row> rows;
    for (int i = 0; i < 60'000; ++i)
        rows.push_back({QStringLiteral("/f%1/n%2").arg(i % 97).arg((i * 7919) % 60'000), i, false});
    const auto owned = MakeList({});
    RowList& list = *owned;
    list.AddRows(std::move(rows));
    // A check mark set meanwhile moves with its row.
    pump.points = 0;
    pump.hook = [&list](int point) {
        if (point == 1)
            list.SetChecked(1, true);
    };
    list.Sort(2, Qt::DescendingOrder);
    EXPECT_GE(pump.points, 1);
    EXPECT_EQ(list.Time(1), 59'999);
    EXPECT_TRUE(list.Checked(60'000));
    EXPECT_EQ(list.Time(60'000), 0);
    pump.points = 0;
    pump.hook = [&list](int point) {
        if (point == 1)
            list.Clear();
    };
    list.Sort(1, Qt::AscendingOrder);
    pump.hook = nullptr;
    EXPECT_EQ(list.Count(), 0);
}
