#pragma once

#include "actions/undo/UndoRecords.h"

#include <QString>

// Collects the files one move command moves, for Undo Last Move. While it
// lives, each file the move has moved is noted with it; when it goes, what it
// collected, if anything, becomes the record of the last move. A move
// started inside a running one hands what it collected to that one instead,
// so the record covers both.
class MoveRecorder {
public:
    explicit MoveRecorder(MoveRecord& lastMove);
    ~MoveRecorder();
    MoveRecorder(const MoveRecorder&) = delete;
    MoveRecorder& operator=(const MoveRecorder&) = delete;

    // Notes that the file at original now stands at moved, with the stamp
    // it has there. Safe to call from any thread; nothing happens when no move
    // command runs.
    static void Note(const QString& original, const QString& moved, const FileStamp& copied);

private:
    MoveRecord& m_lastMove;
    MoveRecord m_collected;
    MoveRecorder* m_previous;
};
