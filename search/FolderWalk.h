#pragma once

#include "search/DateType.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <string_view>

class FileSystem;
class FoundFileList;
class WalkObserver;

// Progress of a walk, read by the window's thread while the walk runs.
struct WalkProgress {
    std::atomic<qint64> files{0};
    // Called with each folder (UTF-8) as its files are listed.
    std::function<void(std::string_view folder)> folderChanged;
};

// Expands each folder row (a path ending in the separator) into itself and
// all folders below it and records every file met, with the time that the
// date type names when the file is reached. Names beginning with "~" are not
// recorded. Ends early once the observer abandons the walk.
void WalkFolders(const QStringList& folderRows, FileSystem& fileSystem, const std::atomic<DateType>& dateType,
                 WalkObserver& observer, WalkProgress& progress, FoundFileList& found);
