#pragma once

#include <QStringList>

#include <vector>

// Row numbers (1-based, rising, each once) of the folder rows that lie inside
// a row listed below them: row i is flagged when its text begins with the
// text of some row j > i (case-sensitive). Rows above i are never looked at,
// so of two equal rows only the first is flagged.
std::vector<int> NestedFolderRows(const QStringList& rows);
