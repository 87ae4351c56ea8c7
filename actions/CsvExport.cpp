#include "actions/CsvExport.h"

#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/Failure.h"
#include "app/core/FileSystem.h"
#include "app/core/LocalOffsets.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/RowSnapshot.h"

#include <QDate>

#include <cstdlib>
#include <memory>

namespace {
// Rows are handed to the file this many characters at a time.
constexpr qsizetype kChunkCharacters = 1 << 16;
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kJulianDayOf1970 = 2440588;

// Writes value as decimal digits, at least width of them, and a sign when
// negative; returns the end of what it wrote.
char* WriteNumber(char* out, long long value, int width)
{
    char digits[24];
    int count = 0;
    unsigned long long rest = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                        : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (count < width)
        digits[count++] = '0';
    if (value < 0)
        *out++ = '-';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

char* WriteTwoDigits(char* out, char separator, long value)
{
    *out++ = separator;
    return WriteNumber(out, value, 2);
}
}  // namespace

void AppendCsvField(QString& line, const QString& field)
{
    const bool quoted = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
        || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!quoted) {
        line += field;
        return;
    }
    line += QLatin1Char('"');
    for (QChar c : field) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

void AppendIsoLocalTime(QString& line, qint64 utcSeconds, LocalOffsets& offsets)
{
    const std::optional<long> offset = utcSeconds == kNoTime ? std::nullopt : offsets.At(utcSeconds);
    if (!offset)
        return;
    const qint64 local = utcSeconds + *offset;
    const qint64 day = local / kSecondsPerDay - (local % kSecondsPerDay < 0 ? 1 : 0);
    const long second = static_cast<long>(local - day * kSecondsPerDay);
    int year = 0;
    int month = 0;
    int dayOfMonth = 0;
    QDate::fromJulianDay(day + kJulianDayOf1970).getDate(&year, &month, &dayOfMonth);
    char text[64];
    char* out = text;
    // ISO 8601 counts the year before 1 as 0, Qt's calendar as -1; a year
    // beyond four digits takes the sign of the expanded form.
    const long long isoYear = year < 0 ? year + 1LL : year;
    if (isoYear > 9999)
        *out++ = '+';
    out = WriteNumber(out, isoYear, 4);
    out = WriteTwoDigits(out, '-', month);
    out = WriteTwoDigits(out, '-', dayOfMonth);
    out = WriteTwoDigits(out, 'T', second / 3600);
    out = WriteTwoDigits(out, ':', second / 60 % 60);
    out = WriteTwoDigits(out, ':', second % 60);
    const long offsetSeconds = std::labs(*offset);
    out = WriteTwoDigits(out, *offset < 0 ? '-' : '+', offsetSeconds / 3600);
    out = WriteTwoDigits(out, ':', offsetSeconds / 60 % 60);
    // Old local mean times were offsets to the second.
    if (offsetSeconds % 60 != 0)
        out = WriteTwoDigits(out, ':', offsetSeconds % 60);
    line += QLatin1String(text, out - text);
}

bool ExportListviewAsCsv(const RowList& list, const QString& path, FileSystem& fileSystem, EventPump& pump,
                         Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(LocationTag::kExportListview));
    const RowSnapshot rows(list);
    LocalOffsets offsets;
    std::unique_ptr<TextFileWriter> file;
    if (!trap.Run(100, [&] { file = fileSystem.CreateTextFile(path); }))
        return false;
    // Whole lines, each with its CR LF, are gathered into chunks; the writer
    // adds the last line end of a chunk.
    QString chunk = QStringLiteral("Path,");
    const auto writeChunk = [&] {
        chunk.chop(2);
        file->WriteLine(chunk);
        chunk.resize(0);
    };
    AppendCsvField(chunk, rows.ColumnCount() >= 2 ? rows.ColumnText(2) : QString());
    chunk += QLatin1String(",ISO 8601,Checked\r\n");
    const bool rowsWritten = trap.Run(102, [&] {
        const int rowCount = rows.Count();
        for (int r = 1; r <= rowCount; ++r) {
            if (!pump.Point())
                return;
            if (rows.ListLostRows())
                throw Failure(ErrorNumber::PathFileAccessError,
                              QStringLiteral("The result list changed during the export"));
            AppendCsvField(chunk, rows.Text(r));
            chunk += QLatin1Char(',');
            AppendCsvField(chunk, rows.SubItem(r, 1));
            chunk += QLatin1Char(',');
            AppendIsoLocalTime(chunk, rows.Time(r), offsets);
            chunk += rows.Checked(r) ? QLatin1String(",yes\r\n") : QLatin1String(",no\r\n");
            if (chunk.size() >= kChunkCharacters)
                writeChunk();
        }
        if (!chunk.isEmpty())
            writeChunk();
    });
    return rowsWritten && !pump.Closing() && trap.Run(104, [&] { file->Commit(); });
}
