#pragma once

#include <QStringList>
#include <QtGlobal>

// The files the last trash command sent to the trash, and the seconds (since
// 1970, UTC) from its start to its end, which tell its files from others of
// the same path in the trash.
struct TrashRecord {
    QStringList paths;
    qint64 from = 0;
    qint64 until = 0;
};

// What the last trash did, kept in memory for the program's run only so that
// the user can take it back.
struct UndoRecords {
    TrashRecord lastTrash;
};
