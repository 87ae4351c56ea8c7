#pragma once

#include "app/core/FileSystem.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// The files the last trash command sent to the trash, and the seconds (since
// 1970, UTC) from its start to its end, which tell its files from others of
// the same path in the trash.
struct TrashRecord {
    QStringList paths;
    qint64 from = 0;
    qint64 until = 0;
    bool Empty() const { return paths.isEmpty(); }
};

// One file the last move took into its target folder: where it was, where it
// stands now, and its stamp there as the move left it (the modification time
// as the target's file system keeps it: FAT to 2 s), so a file that differs
// in size or modification time has changed since the move.
struct MovedFile {
    QString original;
    QString moved;
    FileStamp copied;
};

struct MoveRecord {
    std::vector<MovedFile> files;
    bool Empty() const { return files.empty(); }
};

// What the last trash and the last move did, kept in memory for the
// program's run only so that the user can take it back.
struct UndoRecords {
    TrashRecord lastTrash;
    MoveRecord lastMove;
};
