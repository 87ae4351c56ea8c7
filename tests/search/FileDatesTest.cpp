#include "app/core/FileSystem.h"
#include "app/core/Timestamp.h"
#include "search/DateMatching.h"
#include "tests/support/TimeZoneScope.h"

#include <QDateTime>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {
qint64 Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch();
}

// Texts in a day-first locale with a 24-hour clock.
class FileDatesTest : public testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(FileDatesTest, TextIsShortDateAndTimeToTheSecond)
{
    const TimeZoneScope zone("Etc/GMT-2");  // UTC+2, no daylight saving
    EXPECT_EQ(TimestampText(Utc(2021, 8, 31, 12, 5, 9)), QStringLiteral("31/08/2021 14:05:09"));
    EXPECT_EQ(TimestampText(Utc(2021, 8, 30, 22, 0, 0)), QStringLiteral("31/08/2021"));
    EXPECT_EQ(TimestampText(kNoTime), QString());
    // The year before 1 (year 0 to the system) keeps its date.
    const qint64 beforeYear1 = QDateTime(QDate(1, 1, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch() - 3 * 3600;
    EXPECT_EQ(TimestampText(beforeYear1),
              QLocale().toString(QDate(-1, 12, 31), QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" 23:00:00"));
    EXPECT_EQ(LocalDayNumber(beforeYear1), DayNumber(QDate(-1, 12, 31)));
    EXPECT_EQ(LocalDayNumber(Utc(2021, 8, 31, 12, 5, 9)), DayNumber(QDate(2021, 8, 31)));
    EXPECT_EQ(LocalDayNumber(kNoTime), 0);
    EXPECT_EQ(DayNumber(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(DayNumber(QDate(1601, 1, 1)), -109205);
}

TEST_F(FileDatesTest, TheYearKeepsItsCenturyInTheLocalesOrder)
{
    const TimeZoneScope zone("UTC");
    const std::pair<const char*, const char*> cases[] = {
        {"en_US", "3/5/%1 2:05:09 PM"}, {"de_DE", "05.03.%1 14:05:09"}, {"ja_JP", "%1/03/05 14時05分09秒"},
        {"es_ES", "5/3/%1 14:05:09"}, {"be_BY", "5.03.%1 14:05:09"}, {"zh_TW", "%1/3/5 下午2:05:09"}};
    for (const auto& [locale, text] : cases) {
        QLocale::setDefault(QLocale(QLatin1String(locale)));
        for (int year : {2024, 1924})
            EXPECT_EQ(TimestampText(Utc(year, 3, 5, 14, 5, 9)), QString::fromUtf8(text).arg(year)) << locale;
    }
}

// No brackets, pattern letter or trailing comma left of a zone or day-period field.
TEST_F(FileDatesTest, EveryInstalledLocaleShowsItsDateAndTimeWithoutFieldLeftovers)
{
    const TimeZoneScope zone("UTC");
    QProcess listing;
    listing.start(QStringLiteral("locale"), {QStringLiteral("-a")});
    ASSERT_TRUE(listing.waitForFinished());
    const QStringList names = QString::fromLocal8Bit(listing.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(names.size(), 300) << "expects all of Debian's locales (locales-all)";
    static const QRegularExpression leftover(QStringLiteral("[][(){}]|[A-Za-z][0-9]|[0-9][A-Za-z]|[,;]\\s*$"));
    static const QRegularExpression time(QStringLiteral("(^|[^0-9])(14|0?2)[^0-9]+27[^0-9]+39([^0-9]|$)"));
    for (const QString& name : names) {
        QLocale::setDefault(QLocale(name));
        QString text = TimestampText(Utc(2024, 3, 5, 14, 27, 39));
        for (int digit = 0; digit <= 9; ++digit)
            text.replace(QLocale().toString(digit), QString::number(digit));
        EXPECT_TRUE(!text.contains(leftover) && text.contains(QLatin1String("2024")) && text.contains(time))
            << name.toStdString() << ": " << text.toStdString();
    }
}

TEST_F(FileDatesTest, EachFileUsesTheOffsetInForceAtItsOwnDate)
{
    const TimeZoneScope zone("Europe/Berlin");
    // 00:30 summer time (UTC+2) on 16 July, and 00:30 winter time (UTC+1) on 16 January.
    const qint64 summer = Utc(2021, 7, 15, 22, 30);
    const qint64 winter = Utc(2021, 1, 15, 23, 30);
    EXPECT_EQ(TimestampText(summer), QStringLiteral("16/07/2021 00:30:00"));
    EXPECT_EQ(TimestampText(winter), QStringLiteral("16/01/2021 00:30:00"));
    EXPECT_EQ(LocalDayNumber(summer), DayNumber(QDate(2021, 7, 16)));
    EXPECT_EQ(LocalDayNumber(winter), DayNumber(QDate(2021, 1, 16)));
    // Summer midnight shows the date alone.
    EXPECT_EQ(TimestampText(Utc(2021, 7, 15, 22, 0)), QStringLiteral("16/07/2021"));
    // The same summer file is on 16 July for "on", and after 15 July.
    EXPECT_EQ(DayOffsetSign(summer, DayNumber(QDate(2021, 7, 16))), 0);
    EXPECT_EQ(DayOffsetSign(summer, DayNumber(QDate(2021, 7, 15))), 1);
}

TEST_F(FileDatesTest, TextsAreExactAroundOffsetChangesAndZoneChanges)
{
    const TimeZoneScope zone("Europe/Berlin");
    // Later on the same day first, so the day is known before its change.
    EXPECT_EQ(TimestampText(Utc(2021, 3, 28, 12, 0)), QStringLiteral("28/03/2021 14:00:00"));
    EXPECT_EQ(TimestampText(Utc(2021, 3, 28, 0, 59, 59)), QStringLiteral("28/03/2021 01:59:59"));
    EXPECT_EQ(TimestampText(Utc(2021, 3, 28, 1, 0)), QStringLiteral("28/03/2021 03:00:00"));
    EXPECT_EQ(TimestampText(Utc(2021, 10, 31, 0, 59, 59)), QStringLiteral("31/10/2021 02:59:59"));
    EXPECT_EQ(TimestampText(Utc(2021, 10, 31, 1, 0)), QStringLiteral("31/10/2021 02:00:00"));
    {
        // A zone that counts leap seconds; the leap second reads as the second before it.
        const TimeZoneScope leapSeconds("right/UTC");
        EXPECT_EQ(TimestampText(Utc(2021, 3, 28, 12, 0)), QStringLiteral("28/03/2021 11:59:33"));
        EXPECT_EQ(TimestampText(1625097600), QStringLiteral("30/06/2021 23:59:33"));
        EXPECT_EQ(TimestampText(1483228826), QStringLiteral("31/12/2016 23:59:59"));
        EXPECT_EQ(TimestampText(1483228827), QStringLiteral("01/01/2017"));
    }
    EXPECT_EQ(TimestampText(Utc(2021, 3, 28, 12, 0)), QStringLiteral("28/03/2021 14:00:00"));
}

TEST_F(FileDatesTest, DayOffsetsAtTheDayBoundaries)
{
    const TimeZoneScope zone("Etc/GMT-2");
    const qint64 march5 = DayNumber(QDate(2024, 3, 5));
    // Local 23:59:59 and 00:00:00 around the picker's day (UTC+2).
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 5, 21, 59, 59), march5), 0);
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 5, 22, 0, 1), march5), 1);
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 4, 21, 59, 59), march5 - 1), 0);
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 4, 21, 59, 59), march5), -1);
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 4, 22, 0, 0), march5), 0);
    // 23:30 UTC on 5 March is 6 March here.
    EXPECT_EQ(DayOffsetSign(Utc(2024, 3, 5, 23, 30), DayNumber(QDate(2024, 3, 6))), 0);
    // Far from the picker's day, in both directions.
    EXPECT_EQ(DayOffsetSign(Utc(1990, 1, 1, 0, 0), march5), -1);
    EXPECT_EQ(DayOffsetSign(Utc(2030, 1, 1, 0, 0), march5), 1);
    EXPECT_EQ(DayOffsetSign(Utc(1950, 1, 1, 0, 0), march5), -1);
    // An unreadable time counts as 30 December 1899.
    EXPECT_EQ(DayOffsetSign(kNoTime, march5), -1);
    EXPECT_EQ(DayOffsetSign(kNoTime, 0), 0);
    EXPECT_EQ(DayOffsetSign(kNoTime, -5), 1);
    // So does a time too far out to have a local date, whose text is empty.
    const qint64 farOut = qint64(1) << 62;
    EXPECT_EQ(TimestampText(farOut), QString());
    EXPECT_EQ(DayOffsetSign(farOut, march5), -1);
    EXPECT_EQ(DayOffsetSign(-farOut, -5), 1);
}

TEST(RangeModes, EachModeAtItsBoundaries)
{
    EXPECT_FALSE(MatchesRange(RangeMode::After, 0, 0));
    EXPECT_TRUE(MatchesRange(RangeMode::After, 1, 0));
    EXPECT_TRUE(MatchesRange(RangeMode::Before, -1, 0));
    EXPECT_FALSE(MatchesRange(RangeMode::Before, 0, 0));
    EXPECT_TRUE(MatchesRange(RangeMode::On, 0, 0));
    EXPECT_FALSE(MatchesRange(RangeMode::On, 1, 0));
    EXPECT_FALSE(MatchesRange(RangeMode::On, -1, 0));
    EXPECT_TRUE(MatchesRange(RangeMode::Between, 0, 0));
    EXPECT_TRUE(MatchesRange(RangeMode::Between, 1, -1));
    EXPECT_FALSE(MatchesRange(RangeMode::Between, -1, -1));
    EXPECT_FALSE(MatchesRange(RangeMode::Between, 1, 1));
}
}  // namespace
