#include "actions/CsvExport.h"
#include "app/core/MousePointer.h"
#include "app/core/Timestamp.h"
#include "tests/actions/commands/ActionsFixture.h"
#include "tests/support/TimeZoneScope.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {
// Every record of a CSV file as Python's csv module reads it.
QList<QStringList> ReadWithPython(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, strict=True))))\n"),
                  path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        ADD_FAILURE() << python.readAllStandardError().toStdString();
        return {};
    }
    QList<QStringList> records;
    for (const QJsonValue& record : QJsonDocument::fromJson(python.readAllStandardOutput()).array())
        records << record.toVariant().toStringList();
    return records;
}

class CsvExportTest : public ActionsFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        FillRows({});
    }
    void Export() { MenuEntry(QStringLiteral("Export as CSV..."))->trigger(); }
};

TEST_F(CsvExportTest, EveryRowReadsBackFieldForFieldInListOrder)
{
    const TimeZoneScope zone("America/St_Johns");  // west of Greenwich, in half hours
    // The date text as shown, whatever it holds, a comma included.
    Rows().SetTimeFormatter([](qint64 time) { return TimestampText(time) + QStringLiteral(", local"); });
    const QStringList paths{QStringLiteral("/data/plain.txt"), QStringLiteral("/data/a, b.txt"),
                            QStringLiteral("/data/say \"hi\".txt"), QStringLiteral("/data/two\nlines\r.txt"),
                            QStringLiteral("/data/Grüße ☃.txt"), QStringLiteral("/data/no time")};
    // Year 0 is the year before 1 in ISO 8601, when the zone kept local mean time.
    const std::vector<qint64> times{1709643909, 1720000000, -62135596800 - 86400 * 366 + 43200, -1, 253402387200, kNoTime};
    const QStringList iso{QStringLiteral("2024-03-05T09:35:09-03:30"), QStringLiteral("2024-07-03T07:16:40-02:30"),
                          QStringLiteral("0000-01-01T08:29:08-03:30:52"), QStringLiteral("1969-12-31T20:29:59-03:30"),
                          QStringLiteral("+10000-01-01T20:30:00-03:30"), QString()};
    for (int i = 0; i < paths.size(); ++i)
        Rows().Add(paths[i], times[static_cast<size_t>(i)]);
    CheckRows({2, 5});
    const QString path = dir.Path(QStringLiteral("results.csv"));
    dialogs.saveNames.push_back(path);

    Export();
    EXPECT_EQ(dialogs.lastSaveFilters, QStringList{QStringLiteral("CSV Files (*.csv)")});
    EXPECT_EQ(dialogs.lastDefaultSuffix, QStringLiteral("csv"));
    EXPECT_TRUE(dialogs.Texts(FakeDialogs::Kind::Question).isEmpty());  // the dialog asks about overwriting
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);

    const QByteArray bytes = Contents(path);
    EXPECT_EQ(bytes.count("\r\n"), 7);  // one per line, none added inside the quoted line break
    const QList<QStringList> records = ReadWithPython(path);
    ASSERT_EQ(records.size(), paths.size() + 1);
    EXPECT_EQ(records[0], (QStringList{"Path", "Date Modified", "ISO 8601", "Checked"}));
    for (int r = 1; r <= Rows().Count(); ++r) {
        EXPECT_EQ(records[r], (QStringList{paths[r - 1], Rows().SubItem(r, 1), iso[r - 1],
                                           Rows().Checked(r) ? QStringLiteral("yes") : QStringLiteral("no")}))
            << r;
    }
}

TEST_F(CsvExportTest, ASortDuringTheExportWritesTheRowsInTheOrderTheyHadWhenItBegan)
{
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        paths << QStringLiteral("/data/%1").arg(i);
        Rows().Add(paths.back(), 1709643909 - i);
    }
    const int start = pump.points;
    pump.hook = [&](int point) {
        if (point == start + 3)
            Rows().Sort(2, Qt::AscendingOrder);
    };
    const QString path = dir.Path(QStringLiteral("sorted.csv"));
    dialogs.saveNames.push_back(path);
    Export();
    EXPECT_EQ(Rows().Text(1), paths[4]);
    EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral("Done.")});
    QStringList written;
    for (const QString& line : QString::fromUtf8(Contents(path)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        written << line.section(QLatin1Char(','), 0, 0);
    EXPECT_EQ(written, QStringList{QStringLiteral("Path")} + paths);
}

TEST_F(CsvExportTest, AFailureOrAChangedListLeavesNoFileAndTheOldOneAsItWas)
{
    for (int i = 0; i < 5; ++i)
        Rows().Add(QStringLiteral("/data/%1").arg(i), 1709643909);
    dialogs.saveNames.push_back(dir.Path(QStringLiteral("missing/out.csv")));
    Export();
    ASSERT_EQ(dialogs.Warnings().size(), 1);
    EXPECT_TRUE(dialogs.Warnings()[0].contains(QStringLiteral("at line 100")));

    // A Clear clicked while the rows are written.
    const QString old = dir.CreateFile(QStringLiteral("old.csv"), "old");
    dialogs.saveNames.push_back(old);
    pump.hook = [&](int point) {
        if (point == 3)
            Rows().Clear();
    };
    Export();
    ASSERT_EQ(dialogs.Warnings().size(), 2);
    EXPECT_TRUE(dialogs.Warnings()[1].contains(QStringLiteral("The result list changed during the export")));
    EXPECT_EQ(Contents(old), QByteArray("old"));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(form->MousePointer(), MousePointer::Default);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("old.csv")});
}

}  // namespace
