#pragma once

#include "app/core/FolderReading.h"

#include <QStringList>

#include <string>
#include <unordered_set>

// Reads folders for a walk with one open and one getdents64 pass each, and
// one statx per file relative to the open folder, the files' statuses left
// for ReadStatuses so that a large folder's can be spread over threads. The mount table is read
// once, when the reading starts, for the pseudo-file-system test and the
// start folders' file systems.
class PosixFolderReading : public FolderReading {
public:
    explicit PosixFolderReading(const QStringList& startFolders);
    void Read(std::string_view utf8Path, Lists lists, bool withFiles, FolderListing& listing) override;
    void ReadStatuses(FolderListing& listing, size_t first, size_t last) override;
    void Finish(FolderListing& listing) override;
    bool CallsAreRoundTrips() const override { return m_roundTrips; }

private:
    // The mount points of pseudo file systems at or below the start folders,
    // spelt as the walk reaches them (through the start folders' own links).
    std::unordered_set<std::string> m_pseudoMountPoints;
    bool m_roundTrips = false;
};
