#include "search/WalkJob.h"

#include "app/core/ReturnFreedMemory.h"

#include <QCoreApplication>
#include <QEventLoop>

WalkJob::WalkJob(FileSystem& fileSystem, QStringList folderRows, DateType type)
    : dateType(type), m_fileSystem(fileSystem), m_folderRows(std::move(folderRows))
{
    progress.folderChanged = [this](std::string_view folder) {
        const std::lock_guard lock(m_mutex);
        m_currentFolder.assign(folder);
    };
}

void WalkJob::Execute()
{
    WalkFolders(m_folderRows, m_fileSystem, dateType, *this, progress, m_found);
    m_finished.store(true);
    WakeWindow();
    // The walk's folder records were freed on other threads than the readers
    // that made them: what their allocators keep is given back while the
    // window lists the results, not before.
    ReturnFreedMemory();
}

QString WalkJob::CurrentFolder() const
{
    const std::lock_guard lock(m_mutex);
    return QString::fromStdString(m_currentFolder);
}

void WalkJob::ReportFailure(const char* locationTag, int step, const QString& description)
{
    std::unique_lock lock(m_mutex);
    if (Abandoned())
        return;
    m_pending = PendingFailure{locationTag, step, description};
    lock.unlock();
    WakeWindow();
    lock.lock();
    m_failureShown.wait(lock, [this] { return !m_pending || Abandoned(); });
}

void WalkJob::Abandon()
{
    {
        const std::lock_guard lock(m_mutex);
        m_abandoned.store(true);
        if (m_loop)
            m_loop->quit();
    }
    m_failureShown.notify_all();
}

void WalkJob::WakeWindow()
{
    // Runs on the window's thread; the loop pointer is only set while Wait runs.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [job = weak_from_this()] {
            if (const std::shared_ptr<WalkJob> self = job.lock()) {
                const std::lock_guard lock(self->m_mutex);
                if (self->m_loop)
                    self->m_loop->quit();
            }
        },
        Qt::QueuedConnection);
}

bool WalkJob::Wait(const std::function<void(const PendingFailure&)>& showFailure)
{
    QEventLoop loop;
    for (;;) {
        std::optional<PendingFailure> pending;
        {
            const std::lock_guard lock(m_mutex);
            if (Abandoned() || m_finished.load())
                break;
            pending = m_pending;
            m_loop = pending ? nullptr : &loop;
        }
        if (pending) {
            showFailure(*pending);
            {
                const std::lock_guard lock(m_mutex);
                m_pending.reset();
            }
            m_failureShown.notify_all();
            continue;
        }
        loop.exec();
    }
    const std::lock_guard lock(m_mutex);
    m_loop = nullptr;
    return !Abandoned() && m_finished.load();
}
