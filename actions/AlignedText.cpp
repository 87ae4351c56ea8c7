#include "actions/AlignedText.h"

#include "app/core/EventPump.h"
#include "app/core/Failure.h"
#include "app/core/RowSnapshot.h"
#include "app/core/Utf8TextStore.h"

#include <algorithm>

namespace {
bool IsControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

// Writes every control character from start on as "?".
void ReplaceControls(QString& text, qsizetype start)
{
    // Looks before writing, so a text without controls is never detached.
    const auto first = std::find_if(text.cbegin() + start, text.cend(), IsControl);
    for (qsizetype i = first - text.cbegin(); i < text.size(); ++i) {
        if (IsControl(text[i]))
            text[i] = QLatin1Char('?');
    }
}

// Pads what was appended from start on to width, then adds the TAB.
void PadCell(QString& line, qsizetype start, int width)
{
    const qsizetype length = line.size() - start;
    if (width > length)
        line.resize(line.size() + width - length, QLatin1Char(' '));
    line += QLatin1Char('\t');
}

}  // namespace

qsizetype DateTexts::Add(qint64 time, const std::function<QString(qint64)>& format)
{
    qsizetype length = 0;
    if (time != kNoTime) {
        const QString text = format(time);
        m_utf8 += text.toUtf8();
        length = text.size();
    }
    m_ends.push_back(m_utf8.size());
    return length;
}

void DateTexts::Append(QString& out, const RowSnapshot& rows, int row) const
{
    const size_t i = static_cast<size_t>(row) - 1;
    // A row the widths pass did not reach (it ended early) is formatted here.
    if (row < 1 || i >= m_ends.size()) {
        out += rows.SubItem(row, 1);
        return;
    }
    const qsizetype start = i == 0 ? 0 : m_ends[i - 1];
    AppendUtf8(out, std::string_view(m_utf8.constData() + start, static_cast<size_t>(m_ends[i] - start)));
}

void AppendCell(QString& line, const RowSnapshot& rows, int row, int column, const DateTexts& dates, int width)
{
    if (column == 1 && rows.ListLostRows())
        throw Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Rows were removed from the result list meanwhile"));
    const qsizetype start = line.size();
    if (column == 1)
        rows.AppendText(line, row);
    else if (column == 2)
        dates.Append(line, rows, row);
    else
        line += rows.SubItem(row, column - 1);
    ReplaceControls(line, start);
    PadCell(line, start, width);
}

std::vector<int> ColumnWidths(const RowSnapshot& rows, bool withCaptions, EventPump& pump, DateTexts& dates)
{
    const int columnCount = rows.ColumnCount();
    std::vector<int> widths(static_cast<size_t>(columnCount), 0);
    if (withCaptions) {
        for (int c = 1; c <= columnCount; ++c)
            widths[c - 1] = static_cast<int>(rows.ColumnText(c).size());
    }
    const int rowCount = rows.Count();
    const RowList::TimeFormatter& format = rows.Formatter();
    for (int r = 1; r <= rowCount; ++r) {
        if (!pump.Point())
            break;
        for (int c = 1; c <= columnCount; ++c) {
            const qsizetype length = c == 1 ? rows.TextLength(r)
                : c == 2                    ? dates.Add(rows.Time(r), format)
                                            : rows.SubItem(r, c - 1).size();
            widths[c - 1] = std::max(widths[c - 1], static_cast<int>(length));
        }
    }
    return widths;
}

QString HeaderLine(const RowSnapshot& rows, const std::vector<int>& widths)
{
    QString line;
    for (int c = 1; c <= static_cast<int>(widths.size()); ++c) {
        const qsizetype start = line.size();
        line += rows.ColumnText(c);
        ReplaceControls(line, start);
        PadCell(line, start, widths[c - 1]);
    }
    return line;
}

QString ClipboardText(const RowList& list, EventPump& pump)
{
    const RowSnapshot rows(list);
    DateTexts dates;
    const std::vector<int> widths = ColumnWidths(rows, false, pump, dates);
    const int rowCount = rows.Count();
    // Room for every line at its longest: the cells, the TABs and CR LF.
    qsizetype lineLength = static_cast<qsizetype>(widths.size()) + 2;
    for (const int width : widths)
        lineLength += width;
    QString text;
    text.reserve(lineLength * rowCount);
    for (int r = 1; r <= rowCount; ++r) {
        if (!pump.Point())
            break;
        const qsizetype start = text.size();
        for (int c = 1; c <= static_cast<int>(widths.size()); ++c)
            AppendCell(text, rows, r, c, dates, widths[c - 1]);
        // The last cell's TAB and the spaces before it go; never past this line's start.
        qsizetype end = text.size() - 1;
        while (end > start && text[end - 1] == QLatin1Char(' '))
            --end;
        text.resize(end);
        text += QLatin1String("\r\n");
    }
    return text;
}
