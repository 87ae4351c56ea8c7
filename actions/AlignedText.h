#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class EventPump;
class RowList;

// A list read as a table of texts for the save and the clipboard: column 1 is
// a row's text, column c its sub-item c - 1. Lengths count UTF-16 code units.

// The date texts (column 2) read by the widths pass, each with its row's
// time, so the writing pass formats no date a second time. A row whose time
// has changed meanwhile is read from the list again.
class DateTexts {
public:
    void Reserve(int rowCount);
    void Add(qint64 time, const QString& text);
    QString Text(const RowList& rows, int row) const;

private:
    std::vector<qint64> m_times;
    std::vector<size_t> m_ends;
    QByteArray m_utf8;
};

// A cell's text with every control character (a line break in a file name)
// written as "?", so that one row stays one line.
QString CellText(const RowList& rows, int row, int column, const DateTexts& dates);

// The widest cell of each column, indexed from 0; the captions count when
// withCaptions is set. Keeps the date texts in dates. Lets the window breathe
// once per row; a closing window ends the pass (the caller checks).
std::vector<int> ColumnWidths(const RowList& rows, bool withCaptions, EventPump& pump, DateTexts& dates);

// Appends the cell, the spaces that pad it to width, and a TAB.
void AppendPaddedCell(QString& line, const QString& cell, int width);

// The header line of the saved file: every caption as a padded cell.
QString HeaderLine(const RowList& rows, const std::vector<int>& widths);
// Appends one row as padded cells, each followed by its TAB.
void AppendRowLine(QString& line, const RowList& rows, int row, const std::vector<int>& widths,
                   const DateTexts& dates);

// The clipboard text: no header, widths from the rows alone, each line
// without its last TAB and trailing spaces, CR LF after every line. Cut
// short when the window is closing.
QString ClipboardText(const RowList& rows, EventPump& pump);
