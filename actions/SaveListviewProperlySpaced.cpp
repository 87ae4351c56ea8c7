#include "actions/SaveListviewProperlySpaced.h"

#include "actions/AlignedText.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/FileSystem.h"
#include "app/core/ProductTexts.h"
#include "app/core/RowList.h"
#include "app/core/RowSnapshot.h"

#include <memory>
#include <vector>

bool SaveListviewProperlySpaced(const RowList& list, const QString& path, FileSystem& fileSystem,
                                EventPump& pump, Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(LocationTag::kSaveListview));
    // The rows as they are now: a sort meanwhile leaves the file in this order.
    const RowSnapshot rows(list);
    std::vector<int> widths;
    DateTexts dates;
    // A close ends the save before the commit, so any old file stays as it was.
    if (!trap.Run(110, [&] { widths = ColumnWidths(rows, true, pump, dates); }) || pump.Closing())
        return false;

    std::unique_ptr<TextFileWriter> file;
    if (!trap.Run(136, [&] { file = fileSystem.CreateTextFile(path); }))
        return false;
    if (!trap.Run(150, [&] { file->WriteLine(HeaderLine(rows, widths)); }))
        return false;
    // Rows removed from the list meanwhile fail the step that reads the next
    // row, and the save ends without replacing the old file.
    const int rowCount = rows.Count();
    const int columnCount = static_cast<int>(widths.size());
    QString line;
    for (int r = 1; r <= rowCount; ++r) {
        if (!pump.Point())
            return false;
        line.resize(0);
        for (int c = 1; c <= columnCount; ++c) {
            if (!trap.Run(c == 1 ? 162 : 170, [&] { AppendCell(line, rows, r, c, dates, widths[c - 1]); }))
                return false;
        }
        if (!trap.Run(178, [&] { file->WriteLine(line); }))
            return false;
    }
    return !pump.Closing() && trap.Run(182, [&] { file->Commit(); });
}
