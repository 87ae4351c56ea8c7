#include "actions/CsvExport.h"

#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Failure.h"
#include "app/FileSystem.h"
#include "app/RowList.h"

#include <QObject>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {
constexpr char kLocationTag[] = "in Brellin2021/08/31.Main.ExportListviewAsCsv ";
// Rows are handed to the file this many characters at a time.
constexpr qsizetype kChunkCharacters = 1 << 16;

// Appends value as decimal digits, at least width of them.
void AppendNumber(QString& text, long long value, int width)
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
        text += QLatin1Char('-');
    while (count > 0)
        text += QLatin1Char(digits[--count]);
}

void AppendTwoDigits(QString& text, QChar separator, long value)
{
    text += separator;
    AppendNumber(text, value, 2);
}

// Notices any change of the list's rows (not of their check marks).
class RowChangeWatch {
public:
    explicit RowChangeWatch(const RowList& rows)
    {
        const auto changed = [this] { m_changed = true; };
        QObject::connect(&rows, &QAbstractItemModel::rowsInserted, &m_scope, changed);
        QObject::connect(&rows, &QAbstractItemModel::rowsRemoved, &m_scope, changed);
        QObject::connect(&rows, &QAbstractItemModel::modelReset, &m_scope, changed);
        QObject::connect(&rows, &QAbstractItemModel::layoutChanged, &m_scope, changed);
    }
    bool Changed() const { return m_changed; }

private:
    QObject m_scope;
    bool m_changed = false;
};
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

QString IsoLocalTime(qint64 utcSeconds)
{
    if (utcSeconds == kNoTime)
        return {};
    const time_t value = static_cast<time_t>(utcSeconds);
    struct tm local {};
    if (localtime_r(&value, &local) == nullptr)
        return {};
    QString text;
    text.reserve(32);
    const long long year = local.tm_year + 1900LL;
    // A year beyond four digits takes the sign of ISO 8601's expanded form.
    if (year > 9999)
        text += QLatin1Char('+');
    AppendNumber(text, year, 4);
    AppendTwoDigits(text, QLatin1Char('-'), local.tm_mon + 1);
    AppendTwoDigits(text, QLatin1Char('-'), local.tm_mday);
    AppendTwoDigits(text, QLatin1Char('T'), local.tm_hour);
    AppendTwoDigits(text, QLatin1Char(':'), local.tm_min);
    // A leap second shows as :59, as the date text does.
    AppendTwoDigits(text, QLatin1Char(':'), std::min(local.tm_sec, 59));
    const long offset = std::labs(local.tm_gmtoff);
    AppendTwoDigits(text, local.tm_gmtoff < 0 ? QLatin1Char('-') : QLatin1Char('+'), offset / 3600);
    AppendTwoDigits(text, QLatin1Char(':'), offset / 60 % 60);
    // Old local mean times were offsets to the second.
    if (offset % 60 != 0)
        AppendTwoDigits(text, QLatin1Char(':'), offset % 60);
    return text;
}

bool ExportListviewAsCsv(const RowList& rows, const QString& path, FileSystem& fileSystem, EventPump& pump,
                         Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(kLocationTag));
    const RowChangeWatch watch(rows);
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
            if (watch.Changed())
                throw Failure(ErrorNumber::PathFileAccessError,
                              QStringLiteral("The result list changed during the export"));
            AppendCsvField(chunk, rows.Text(r));
            chunk += QLatin1Char(',');
            AppendCsvField(chunk, rows.SubItem(r, 1));
            chunk += QLatin1Char(',');
            chunk += IsoLocalTime(rows.Time(r));
            chunk += rows.Checked(r) ? QLatin1String(",yes\r\n") : QLatin1String(",no\r\n");
            if (chunk.size() >= kChunkCharacters)
                writeChunk();
        }
        if (!chunk.isEmpty())
            writeChunk();
    });
    return rowsWritten && !pump.Closing() && trap.Run(104, [&] { file->Commit(); });
}
