#pragma once

#include "search/DateType.h"
#include "search/FolderWalk.h"
#include "search/FoundFileList.h"
#include "search/WalkObserver.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class FileSystem;
class QEventLoop;

// One walk on the worker thread and its hand-over to the window's thread.
// The window's thread waits in a local event loop (Wait); the worker wakes it
// when it ends and when a failure is to be shown, and waits for the box to be
// dismissed. Abandoning the job ends the wait at once; whatever the worker
// still produces is dropped. Made with std::make_shared.
class WalkJob : public WalkObserver, public std::enable_shared_from_this<WalkJob> {
public:
    WalkJob(FileSystem& fileSystem, QStringList folderRows, DateType dateType);

    // The date type of the files reached from now on.
    std::atomic<DateType> dateType;
    WalkProgress progress;

    // The worker's part: walks the folders, then marks the job finished.
    void Execute();

    struct PendingFailure {
        const char* locationTag;
        int step;
        QString description;
    };
    // The window's part: processes events until the job has finished or was
    // abandoned, handing each failure to show. True when it finished.
    bool Wait(const std::function<void(const PendingFailure&)>& showFailure);
    void Abandon();
    bool Finished() const { return m_finished.load(); }

    // The recorded files; read only after Wait returned true.
    FoundFileList& Found() { return m_found; }
    QString CurrentFolder() const;

    bool Abandoned() const override { return m_abandoned.load(std::memory_order_relaxed); }
    void ReportFailure(const char* locationTag, int step, const QString& description) override;

private:
    void WakeWindow();

    FileSystem& m_fileSystem;
    const QStringList m_folderRows;
    FoundFileList m_found;
    std::atomic<bool> m_abandoned{false};
    std::atomic<bool> m_finished{false};

    mutable std::mutex m_mutex;
    std::condition_variable m_failureShown;
    std::optional<PendingFailure> m_pending;
    std::string m_currentFolder;
    QEventLoop* m_loop = nullptr;
};
