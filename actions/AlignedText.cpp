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

QString CellText(const RowList& rows, int row, int column)
{
    return WithoutControls(column == 1 ? rows.Text(row) : rows.SubItem(row, column - 1));
}

std::vector<int> ColumnWidths(const RowList& rows, bool withCaptions, EventPump& pump)
{
    const int columnCount = rows.ColumnCount();
    const int rowCount = rows.Count();
    std::vector<int> widths(static_cast<size_t>(columnCount), 0);
    if (withCaptions) {
        for (int c = 1; c <= columnCount; ++c)
            widths[c - 1] = static_cast<int>(rows.ColumnText(c).size());
    }
    for (int r = 1; r <= rowCount; ++r) {
        pump.Point();
        for (int c = 1; c <= columnCount; ++c) {
            const qsizetype length = c == 1 ? rows.Text(r).size() : rows.SubItem(r, c - 1).size();
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

void AppendRowLine(QString& line, const RowList& rows, int row, const std::vector<int>& widths)
{
    for (int c = 1; c <= static_cast<int>(widths.size()); ++c)
        AppendPaddedCell(line, CellText(rows, row, c), widths[c - 1]);
}

QString ClipboardText(const RowList& rows, EventPump& pump)
{
    const std::vector<int> widths = ColumnWidths(rows, false, pump);
    const int rowCount = rows.Count();
    QString text;
    for (int r = 1; r <= rowCount; ++r) {
        pump.Point();
        const qsizetype start = text.size();
        AppendRowLine(text, rows, r, widths);
        // The last cell's TAB and the spaces before it go; never past this line's start.
        qsizetype end = text.size() - 1;
        while (end > start && text[end - 1] == QLatin1Char(' '))
            --end;
        text.resize(end);
        text += QLatin1String("\r\n");
    }
    return text;
}
