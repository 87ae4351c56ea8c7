#include "app/FileSystem.h"

namespace {
// A copy made whole by CopyFileStamped when it is named: each durable on its own.
class CopyWhenNamed : public PreparedCopy {
public:
    CopyWhenNamed(FileSystem& fileSystem, const QString& source, const std::function<void()>& betweenChunks)
        : m_fileSystem(fileSystem), m_source(source), m_betweenChunks(betweenChunks)
    {
    }
    FileStamp Source() const override { return m_stamp; }
    void Sync() override {}
    CopyDone Name(const QString& target) override
    {
        const CopyDone done = m_fileSystem.CopyFileStamped(m_source, target, m_betweenChunks, {});
        m_stamp = done.source;
        return done;
    }
    void SyncName() override {}

private:
    FileSystem& m_fileSystem;
    QString m_source;
    std::function<void()> m_betweenChunks;
    FileStamp m_stamp;
};
}  // namespace

std::unique_ptr<PreparedCopy> FileSystem::PrepareCopy(const QString& source, const QString& target,
                                                      const std::function<void()>& betweenChunks)
{
    Q_UNUSED(target);
    return std::make_unique<CopyWhenNamed>(*this, source, betweenChunks);
}
