#pragma once

#include "app/core/FileSystem.h"
#include "app/core/FolderListing.h"

#include <string_view>

// The reading of folders for one walk, on several threads at once. What a
// walk needs to know once (which folders are mount points of pseudo file
// systems) is learnt when the reading starts.
class FolderReading {
public:
    // Whether a folder of these attributes is listed.
    using Lists = bool (*)(const FolderInfo& info);

    virtual ~FolderReading() = default;
    // Opens the folder at the UTF-8 path (ending in the separator or not) and
    // sets listing.info as FileSystem::GetFolder tells it; when lists(info)
    // holds, reads its sub-folders (never links) and, withFiles, its regular
    // files with their times, in the file system's order. Throws as GetFolder
    // and ListFolder do; a failed listing records no files. A reading that
    // can ask the files' statuses apart may leave them pending
    // (FolderListing::HasPendingFiles), for ReadStatuses and Finish.
    virtual void Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing) = 0;
    // Reads the statuses of the pending files among files [first, last) of
    // a listing Read left pending. Calls for distinct ranges of one listing
    // may run at once on several threads.
    virtual void ReadStatuses(FolderListing& listing, size_t first, size_t last)
    {
        (void)listing;
        (void)first;
        (void)last;
    }
    // Once every range was read (or left unread on a stop): keeps the files
    // that turned out regular and lets go of the folder.
    virtual void Finish(FolderListing& listing) { listing.SettleFiles(); }
    // Whether a start folder lies on a network share or a file system run
    // by a program, where every call is a round trip and many calls in
    // flight pay from the start.
    virtual bool CallsAreRoundTrips() const { return false; }
};

// Reads through a file system's GetFolder and ListFolder (or SubFolders).
class FolderReadingBySteps : public FolderReading {
public:
    explicit FolderReadingBySteps(FileSystem& fileSystem) : m_fileSystem(fileSystem) {}
    void Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing) override;

private:
    FileSystem& m_fileSystem;
};
