#include "search/NestedFolderRows.h"

std::vector<int> NestedFolderRows(const QStringList& rows)
{
    // A prefix test, not a search anywhere inside: "/data/" is no parent of "/home/me/data/".
    std::vector<int> nested;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (qsizetype j = i + 1; j < rows.size(); ++j) {
            if (rows[i].startsWith(rows[j])) {
                nested.push_back(static_cast<int>(i + 1));
                break;
            }
        }
    }
    return nested;
}
