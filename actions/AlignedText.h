#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class EventPump;
class RowList;

// A list read as a table of texts for the save and the clipboard: column 1 is
// a row's text, column c its sub-item c - 1. Lengths count UTF-16 code units.

// The date texts (column 2) of the rows read by the widths pass, each with
// its row's time, kept side by side as UTF-8 so that the writing pass
// formats no date a second time. A row whose time has changed meanwhile is
// read from the list again.
class DateTexts {
public:
    // Adds the text of the next row's time; returns its length.
    qsizetype Add(qint64 time, const std::function<QString(qint64)>& format);
    void Append(QString& out, const RowList& rows, int row) const;

private:
    bool Known(const RowList& rows, int row) const;

    std::vector<qint64> m_times;
    std::vector<qsizetype> m_ends;
    QByteArray m_utf8;
};

// Appends a cell's text with every control character (a line break in a file
// name) written as "?", so that one row stays one line, then the spaces that
// pad it to width (none when it has grown wider since), then a TAB.
void AppendCell(QString& line, const RowList& rows, int row, int column, const DateTexts& dates, int width);

// The widest cell of each column, indexed from 0; the captions count when
// withCaptions is set. Keeps the date texts in dates. Lets the window
// breathe once per row; a closing window ends the pass (the caller checks).
std::vector<int> ColumnWidths(const RowList& rows, bool withCaptions, EventPump& pump, DateTexts& dates);

// The header line of the saved file: every caption as a padded cell.
QString HeaderLine(const RowList& rows, const std::vector<int>& widths);

// The clipboard text: no header, widths from the rows alone, each line
// without its last TAB and trailing spaces, CR LF after every line, built in
// one buffer. Cut short when the window is closing.
QString ClipboardText(const RowList& rows, EventPump& pump);
