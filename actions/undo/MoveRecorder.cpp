#include "actions/undo/MoveRecorder.h"

#include <iterator>
#include <mutex>
#include <utility>

namespace {
std::mutex g_mutex;
MoveRecorder* g_current = nullptr;
}  // namespace

MoveRecorder::MoveRecorder(MoveRecord& lastMove) : m_lastMove(lastMove)
{
    const std::lock_guard lock(g_mutex);
    m_previous = std::exchange(g_current, this);
}

MoveRecorder::~MoveRecorder()
{
    const std::lock_guard lock(g_mutex);
    g_current = m_previous;
    // A move started inside a running one hands its files to that one, so the
    // record of the last move covers the files of both.
    if (m_previous != nullptr) {
        std::vector<MovedFile>& files = m_previous->m_collected.files;
        files.insert(files.end(), std::make_move_iterator(m_collected.files.begin()),
                     std::make_move_iterator(m_collected.files.end()));
        return;
    }
    // A move that moved nothing leaves the record of the last one that did.
    if (!m_collected.Empty())
        m_lastMove = std::move(m_collected);
}

void MoveRecorder::Note(const QString& original, const QString& moved, const FileStamp& copied)
{
    const std::lock_guard lock(g_mutex);
    if (g_current == nullptr)
        return;
    g_current->m_collected.files.push_back({original, moved, copied});
}
