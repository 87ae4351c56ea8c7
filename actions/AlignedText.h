#pragma once

#include <QString>

#include <vector>

class EventPump;
class RowList;

// A list read as a table of texts for the save and the clipboard: column 1 is
// a row's text, column c its sub-item c - 1. Lengths count UTF-16 code units.

// A cell's text with every control character (a line break in a file name)
// written as "?", so that one row stays one line.
QString CellText(const RowList& rows, int row, int column);

// The widest cell of each column, indexed from 0; the captions count when
// withCaptions is set. Lets the window breathe once per row.
std::vector<int> ColumnWidths(const RowList& rows, bool withCaptions, EventPump& pump);

// Appends the cell, the spaces that pad it to width, and a TAB.
void AppendPaddedCell(QString& line, const QString& cell, int width);

// The header line of the saved file: every caption as a padded cell.
QString HeaderLine(const RowList& rows, const std::vector<int>& widths);
// Appends one row as padded cells, each followed by its TAB.
void AppendRowLine(QString& line, const RowList& rows, int row, const std::vector<int>& widths);

// The clipboard text: no header, widths from the rows alone, each line
// without its last TAB and trailing spaces, CR LF after every line.
QString ClipboardText(const RowList& rows, EventPump& pump);
