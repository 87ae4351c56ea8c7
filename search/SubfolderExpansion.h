#pragma once

#include "app/FileSystem.h"

#include <QString>
#include <QStringList>

#include <string_view>

class WalkObserver;

// Takes the files of the folders of an expanded list while the expansion
// reads them, so that each folder is read once.
class FolderFileSink {
public:
    virtual ~FolderFileSink() = default;
    // The folder (ending in the separator) whose files are visited next.
    virtual void BeginFolder(const QString& folder) = 0;
    virtual void VisitFile(std::string_view utf8Name, const FileTimes& times) = 0;
    // A folder of the expanded list that the expansion did not read: its
    // files are to be listed on their own.
    virtual void ListSeparately(const QString& folder) = 0;
};

// True when a folder name cannot be handled: it does not decode in the
// file-name encoding, or holds a control character (codes below 32 and 127
// to 159).
bool HasUnsafeCharacters(const SubFolderName& name);

// A folder is expanded and added unless it is a protected system folder
// (exactly hidden + system + directory, with or without reparse point) that
// is not a root.
bool PassesFolderAcceptance(const FolderInfo& info);

// Appends to the list, each ending in the separator, every accepted
// sub-folder below its entries: all of depth 1 in the order found, then all
// of depth 2, and so on (only depth 1 when recursive is false). Symbolic
// links are never followed. An entry whose sub-folders cannot be listed
// because access is denied or the path has gone is taken out of the list
// (the first entry equal to it). Other failures are reported to the observer
// under the routine's location tag. Returns early, with a partial list, once
// the observer abandons the walk.
//
// With a sink (recursive only), the files of every folder that ends up in the
// list reach the sink in list order while the expansion runs.
void GetSubDirectories2016(QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer,
                           FolderFileSink* sink = nullptr);
