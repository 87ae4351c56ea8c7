#include "actions/SaveListviewProperlySpaced.h"

#include "actions/AlignedText.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/FileSystem.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"

#include <memory>
#include <vector>

bool SaveListviewProperlySpaced(const RowList& rows, const QString& path, FileSystem& fileSystem,
                                EventPump& pump, Dialogs& dialogs, QWidget* owner)
{
    ErrorTrap trap(dialogs, owner, QLatin1String(LocationTag::kSaveListview));
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
    // The row count is read once; a row removed meanwhile ends the save
    // without replacing the old file.
    const bool rowsWritten = trap.Run(178, [&] {
        const int rowCount = rows.Count();
        QString line;
        for (int r = 1; r <= rowCount; ++r) {
            if (!pump.Point())
                return;
            line.resize(0);
            AppendRowLine(line, rows, r, widths, dates);
            file->WriteLine(line);
        }
    });
    return rowsWritten && !pump.Closing() && trap.Run(182, [&] { file->Commit(); });
}
