#include "tests/support/FaultyFileSystem.h"

#include "app/core/Failure.h"

namespace {

// A text file whose lines and commit pass through the plan.
class FaultyTextFileWriter : public TextFileWriter {
public:
    FaultyTextFileWriter(FaultyFileSystem& plan, std::unique_ptr<TextFileWriter> inner)
        : m_plan(plan), m_inner(std::move(inner))
    {
    }
    void WriteLine(const QString& text) override
    {
        m_plan.Call(FaultyFileSystem::Calls::Changing);
        m_inner->WriteLine(text);
    }
    void Commit() override
    {
        m_plan.Call(FaultyFileSystem::Calls::Changing);
        m_inner->Commit();
    }

private:
    FaultyFileSystem& m_plan;
    std::unique_ptr<TextFileWriter> m_inner;
};

}  // namespace

void FaultyFileSystem::FailAt(int first, int errorCode, Calls kind, bool persistent)
{
    m_first = first;
    m_errorCode = errorCode;
    m_counted = kind;
    m_persistent = persistent;
    m_calls = 0;
    m_failures = 0;
}

void FaultyFileSystem::Call(Calls kind)
{
    if (m_counted == Calls::Changing && kind != Calls::Changing)
        return;
    const int number = ++m_calls;
    const int first = m_first;
    if (first == 0 || number < first || (number > first && !m_persistent))
        return;
    ++m_failures;
    throw FailureFromErrno(m_errorCode);
}

FolderInfo FaultyFileSystem::GetFolder(const QString& path)
{
    Call(Calls::All);
    return m_inner.GetFolder(path);
}

std::vector<SubFolderName> FaultyFileSystem::SubFolders(const QString& path)
{
    Call(Calls::All);
    return m_inner.SubFolders(path);
}

void FaultyFileSystem::ListFiles(const QString& folderPath, const FileVisitor& visit)
{
    Call(Calls::All);
    m_inner.ListFiles(folderPath, visit);
}

void FaultyFileSystem::ListFolder(const QString& path, std::vector<SubFolderName>& subFolders,
                                  const FileVisitor& visit)
{
    Call(Calls::All);
    m_inner.ListFolder(path, subFolders, visit);
}

FileTimes FaultyFileSystem::GetFileTimes(const QString& path)
{
    Call(Calls::All);
    return m_inner.GetFileTimes(path);
}

qint64 FaultyFileSystem::FileSize(const QString& path)
{
    Call(Calls::All);
    return m_inner.FileSize(path);
}

QByteArray FaultyFileSystem::ReadFile(const QString& path)
{
    Call(Calls::All);
    return m_inner.ReadFile(path);
}

bool FaultyFileSystem::IsExistingFile(const QString& path)
{
    Call(Calls::All);
    return m_inner.IsExistingFile(path);
}

bool FaultyFileSystem::IsExistingFolder(const QString& path)
{
    Call(Calls::All);
    return m_inner.IsExistingFolder(path);
}

bool FaultyFileSystem::FileExistsByDate(const QString& path)
{
    Call(Calls::All);
    return m_inner.FileExistsByDate(path);
}

void FaultyFileSystem::CopyFile(const QString& source, const QString& target,
                                const std::function<void()>& betweenChunks)
{
    Call(Calls::Changing);
    m_inner.CopyFile(source, target, betweenChunks);
}

CopyDone FaultyFileSystem::CopyFileStamped(const QString& source, const QString& target,
                                           const std::function<void()>& betweenChunks,
                                           const std::function<void()>& beforeNaming)
{
    Call(Calls::Changing);
    return m_inner.CopyFileStamped(source, target, betweenChunks, beforeNaming);
}

std::unique_ptr<PreparedCopy> FaultyFileSystem::PrepareCopy(const QString& source, const QString& target,
                                                            const std::function<void()>& betweenChunks)
{
    Call(Calls::Changing);
    return m_inner.PrepareCopy(source, target, betweenChunks);
}

FileStamp FaultyFileSystem::StampOf(const QString& path)
{
    Call(Calls::All);
    return m_inner.StampOf(path);
}

FileStamp FaultyFileSystem::FolderStampOf(const QString& path)
{
    Call(Calls::All);
    return m_inner.FolderStampOf(path);
}

void FaultyFileSystem::DeleteFile(const QString& path)
{
    Call(Calls::Changing);
    m_inner.DeleteFile(path);
}

std::unique_ptr<TextFileWriter> FaultyFileSystem::CreateTextFile(const QString& path)
{
    Call(Calls::Changing);
    return std::make_unique<FaultyTextFileWriter>(*this, m_inner.CreateTextFile(path));
}

void FaultyFileSystem::MoveToTrash(const QString& path)
{
    Call(Calls::Changing);
    m_inner.MoveToTrash(path);
}

void FaultyFileSystem::RestoreFromTrash(const QString& originalPath, qint64 trashedFrom, qint64 trashedUntil)
{
    Call(Calls::Changing);
    m_inner.RestoreFromTrash(originalPath, trashedFrom, trashedUntil);
}
