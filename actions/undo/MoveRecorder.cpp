#include "actions/undo/MoveRecorder.h"

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
    {
        const std::lock_guard lock(g_mutex);
        g_current = m_previous;
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
