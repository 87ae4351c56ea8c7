#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class EventPump;
class RowList;
class RowSnapshot;

// A list read as a table of texts for the save and the clipboard: column 1 is
// a row's text, column c its sub-item c - 1. Lengths count UTF-16 code units.
// Both read the rows as they were when the command began, so every row is
// written once, in that order, whatever the user sorts meanwhile.

// The date texts (column 2) of the rows read by the widths pass, kept as
// UTF-8 so that the writing pass formats no date a second time.
class DateTexts {
public:
    // Adds the text of the next row's time; returns its length.
    qsizetype Add(qint64 time, const std::function<QString(qint64)>& format);
    void Append(QString& out, const RowSnapshot& rows, int row) const;

private:
    std::vector<qsizetype> m_ends;
    QByteArray m_utf8;
};

// Appends a cell's text with every control character (a line break in a file
// name) written as "?", so that one row stays one line, then the spaces that
// pad it to width, then a TAB. Throws Failure for a row's first cell once the
// list has lost rows since the snapshot: what would be written is no longer
// the list.
void AppendCell(QString& line, const RowSnapshot& rows, int row, int column, const DateTexts& dates, int width);

// The widest cell of each column, indexed from 0; the captions count when
// withCaptions is set. Keeps the date texts in dates. Lets the window
// breathe once per row; a closing window ends the pass (the caller checks).
std::vector<int> ColumnWidths(const RowSnapshot& rows, bool withCaptions, EventPump& pump, DateTexts& dates);

// The header line of the saved file: every caption as a padded cell.
QString HeaderLine(const RowSnapshot& rows, const std::vector<int>& widths);

// The clipboard text of the rows as they are when it is called: no header,
// widths from the rows alone, each line without its last TAB and trailing
// spaces, CR LF after every line, built in one buffer. Cut short when the
// window is closing.
QString ClipboardText(const RowList& rows, EventPump& pump);
