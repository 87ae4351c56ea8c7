#include "tests/search/commands/SearchFixture.h"
#include "tests/support/TimeZoneScope.h"

#include <QProcess>
#include <QRandomGenerator>

namespace {
// The search's rows against GNU find's on a generated tree, in a zone with
// daylight saving, on days next to its changes.
class FindComparisonTest : public SearchFixture {
protected:
    void BuildTree()
    {
        QRandomGenerator random(20240305);
        const QStringList folders = {QStringLiteral("a"), QStringLiteral("a/b c"), QStringLiteral("a/b c/d\u00e9"),
                                     QStringLiteral(".dot"), QStringLiteral("e/f/g/h")};
        const qint64 spring = Utc(2021, 3, 28, 0, 0), autumn = Utc(2021, 10, 31, 0, 0);
        for (int i = 0; i < 400; ++i) {
            const qint64 centre = i % 2 ? spring : autumn;
            // Odd seconds: no file lies exactly on a midnight, where find's
            // strict "newer than" and whole days part ways.
            const qint64 time = (centre + random.bounded(-4 * 86400, 4 * 86400)) | 1;
            const QString prefix = i % 7 == 0 ? QStringLiteral("~") : QString();
            File(folders[i % folders.size()] + QStringLiteral("/") + prefix + QStringLiteral("file %1.txt").arg(i), time);
        }
    }

    std::set<QString> Find(const QStringList& predicate)
    {
        QProcess find;
        find.start(QStringLiteral("find"), QStringList{dir.Path(), QStringLiteral("-type"), QStringLiteral("f")} + predicate);
        EXPECT_TRUE(find.waitForFinished(30000));
        std::set<QString> paths;
        for (const QString& line : QString::fromUtf8(find.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (!line.section(QLatin1Char('/'), -1).startsWith(QLatin1Char('~')))
                paths.insert(line);
        }
        return paths;
    }

    static QString Day(const QDate& date) { return date.toString(Qt::ISODate); }
};

TEST_F(FindComparisonTest, RowsEqualFindsForEachMode)
{
    const TimeZoneScope zone("Europe/Berlin");
    BuildTree();
    AddFolderRow(dir.Path() + QLatin1Char('/'));
    const QString newer = QStringLiteral("-newermt"), notOp = QStringLiteral("!");

    for (const QDate& day : {QDate(2021, 3, 28), QDate(2021, 3, 29), QDate(2021, 10, 31)}) {
        const QString on = Day(day), next = Day(day.addDays(1));
        form->Option6->click();
        form->DTPicker2->setDate(day);
        Search();
        const std::set<QString> before = ResultPaths();
        EXPECT_EQ(before, Find({notOp, newer, on})) << "before " << on.toStdString();

        form->Option5->click();
        form->DTPicker3->setDate(day);
        Search();
        EXPECT_EQ(ResultPaths(), Find({newer, on, notOp, newer, next})) << "on " << on.toStdString();

        form->Option7->click();
        form->DTPicker1->setDate(day);
        Search();
        EXPECT_EQ(ResultPaths(), Find({newer, next})) << "after " << on.toStdString();
        EXPECT_FALSE(before.empty());
    }

    form->Option4->click();
    form->DTPicker4->setDate(QDate(2021, 3, 27));
    form->DTPicker5->setDate(QDate(2021, 3, 29));
    Search();
    EXPECT_EQ(ResultPaths(), Find({newer, QStringLiteral("2021-03-27"), notOp, newer, QStringLiteral("2021-03-30")}));
}
}  // namespace
