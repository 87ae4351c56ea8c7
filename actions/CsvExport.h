#pragma once

#include <QString>
#include <QtGlobal>

class Dialogs;
class EventPump;
class FileSystem;
class LocalOffsets;
class CommandWindow;
struct Seams;
class QWidget;
class RowList;

// The result list as a table for a spreadsheet: RFC 4180 CSV in UTF-8 with
// CR LF line ends, a header "Path,<date caption>,ISO 8601,Checked" and per
// row its path, its date text as shown, the same time in ISO 8601 local time
// with its offset, and "yes" or "no".

// Appends the field, quoted (quotes doubled) when it holds a comma, a quote
// or a line break.
void AppendCsvField(QString& line, const QString& field);

// Appends the local time with the offset in force at that date, as
// 2024-03-05T14:05:09+01:00; nothing for a time that cannot be read.
void AppendIsoLocalTime(QString& line, qint64 utcSeconds, LocalOffsets& offsets);

// Writes every row, in the order the list had when the export began, to
// path; the file appears only when it is complete. A failure, a close or rows
// removed from the list meanwhile end the export with no file written (a
// failure is reported once). Returns true when written.
bool ExportListviewAsCsv(const RowList& rows, const QString& path, FileSystem& fileSystem, EventPump& pump,
                         Dialogs& dialogs, QWidget* owner);

// The "Export as CSV..." command: asks for a file name, exports the result
// list and says "Done.".
void ExportResultsAsCsv(RowList& results, Seams& seams, CommandWindow& window);
