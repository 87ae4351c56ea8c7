#include "actions/AlignedText.h"

#include "app/EventPump.h"
#include "app/RowList.h"

#include <algorithm>

namespace {
bool IsControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

QString WithoutControls(QString text)
{
    // Looks before writing, so a text without controls is never copied.
    const auto first = std::find_if(text.cbegin(), text.cend(), IsControl);
    for (qsizetype i = first - text.cbegin(); i < text.size(); ++i) {
        if (IsControl(text[i]))
            text[i] = QLatin1Char('?');
    }
    return text;
}

QString Caption(const RowList& rows, int column)
{
    return WithoutControls(rows.ColumnText(column));
}
}  // namespace

void DateTexts::Reserve(int rowCount)
{
    m_times.reserve(static_cast<size_t>(rowCount));
    m_ends.reserve(static_cast<size_t>(rowCount));
}

void DateTexts::Add(qint64 time, const QString& text)
{
    m_times.push_back(time);
    m_utf8 += text.toUtf8();
    m_ends.push_back(static_cast<size_t>(m_utf8.size()));
}

QString DateTexts::Text(const RowList& rows, int row) const
{
    const size_t i = static_cast<size_t>(row) - 1;
    if (row < 1 || i >= m_times.size() || rows.Time(row) != m_times[i])
        return rows.SubItem(row, 1);
    const size_t start = i == 0 ? 0 : m_ends[i - 1];
    return QString::fromUtf8(m_utf8.constData() + start, static_cast<qsizetype>(m_ends[i] - start));
}

QString CellText(const RowList& rows, int row, int column, const DateTexts& dates)
{
    if (column == 1)
        return WithoutControls(rows.Text(row));
    return WithoutControls(column == 2 ? dates.Text(rows, row) : rows.SubItem(row, column - 1));
}

std::vector<int> ColumnWidths(const RowList& rows, bool withCaptions, EventPump& pump, DateTexts& dates)
{
    const int columnCount = rows.ColumnCount();
    const int rowCount = rows.Count();
    std::vector<int> widths(static_cast<size_t>(columnCount), 0);
    if (withCaptions) {
        for (int c = 1; c <= columnCount; ++c)
            widths[c - 1] = static_cast<int>(rows.ColumnText(c).size());
    }
    if (columnCount >= 2)
        dates.Reserve(rowCount);
    for (int r = 1; r <= rowCount; ++r) {
        if (!pump.Point())
            break;
        for (int c = 1; c <= columnCount; ++c) {
            qsizetype length = 0;
            if (c == 1) {
                length = rows.Text(r).size();
            } else if (c == 2) {
                const QString date = rows.SubItem(r, 1);
                dates.Add(rows.Time(r), date);
                length = date.size();
            } else {
                length = rows.SubItem(r, c - 1).size();
            }
            widths[c - 1] = std::max(widths[c - 1], static_cast<int>(length));
        }
    }
    return widths;
}

void AppendPaddedCell(QString& line, const QString& cell, int width)
{
    line += cell;
    // A text grown longer since the widths were taken gets no spaces.
    if (width > cell.size())
        line.resize(line.size() + width - cell.size(), QLatin1Char(' '));
    line += QLatin1Char('\t');
}

QString HeaderLine(const RowList& rows, const std::vector<int>& widths)
{
    QString line;
    for (int c = 1; c <= static_cast<int>(widths.size()); ++c)
        AppendPaddedCell(line, Caption(rows, c), widths[c - 1]);
    return line;
}

void AppendRowLine(QString& line, const RowList& rows, int row, const std::vector<int>& widths,
                   const DateTexts& dates)
{
    for (int c = 1; c <= static_cast<int>(widths.size()); ++c)
        AppendPaddedCell(line, CellText(rows, row, c, dates), widths[c - 1]);
}

QString ClipboardText(const RowList& rows, EventPump& pump)
{
    DateTexts dates;
    const std::vector<int> widths = ColumnWidths(rows, false, pump, dates);
    const int rowCount = rows.Count();
    QString text;
    for (int r = 1; r <= rowCount; ++r) {
        if (!pump.Point())
            break;
        const qsizetype start = text.size();
        AppendRowLine(text, rows, r, widths, dates);
        // The last cell's TAB and the spaces before it go; never past this line's start.
        qsizetype end = text.size() - 1;
        while (end > start && text[end - 1] == QLatin1Char(' '))
            --end;
        text.resize(end);
        text += QLatin1String("\r\n");
    }
    return text;
}
