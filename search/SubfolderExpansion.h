#pragma once

#include "app/core/FileSystem.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

class FolderListing;
class WalkObserver;

// Takes the files of the folders of an expanded list while the expansion
// reads them, so that each folder is read once.
class FolderFileSink {
public:
    virtual ~FolderFileSink() = default;
    // The folders given from here on live as long as the storage, so they
    // can be kept by reference.
    virtual void FoldersLiveIn(std::shared_ptr<const void> storage) = 0;
    // A folder of the expanded list (UTF-8, ending in the separator) and the
    // files its reading found, in listing order.
    virtual void AddFolder(std::string_view folder, const FolderListing& listing) = 0;
    // A folder of the expanded list that the expansion did not read: its
    // files are to be listed on their own.
    virtual void ListSeparately(std::string_view folder) = 0;
};

// True when a folder name (its bytes) cannot be handled: it is not valid
// UTF-8, the file-name encoding, or holds a control character (codes below
// 32 and 127 to 159).
bool HasUnsafeCharacters(std::string_view name);

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
void GetSubDirectories2016(QStringList& folders, bool recursive, FileSystem& fileSystem, WalkObserver& observer);

// The same expansion of the folders, recursive, giving the sink the files of
// every folder that would end up in the list, in list order, while it runs.
// The list itself is not kept.
void ExpandIntoSink(const QStringList& folders, FileSystem& fileSystem, WalkObserver& observer, FolderFileSink& sink);
