#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every file the walk recorded and its chosen time (UTC seconds, kNoTime when
// unreadable), in walk order. Kept compact for a million files: a table of
// folders, then per file a folder index, its UTF-8 name and its time; the full
// path is put together only when asked for.
class FoundFileList {
public:
    void Clear();
    // The folder (without a trailing separator) of the files added next.
    void BeginFolder(const QString& folderPath);
    void Add(std::string_view utf8Name, qint64 time);
    // Gives back the room kept for growth once the list is complete.
    void ShrinkToFit();

    size_t Count() const { return m_times.size(); }
    QString Path(size_t index) const;
    qint64 Time(size_t index) const { return m_times[index]; }

private:
    std::vector<QString> m_folders;
    QString m_pendingFolder;
    bool m_folderPending = false;
    std::vector<uint32_t> m_folderOf;
    std::vector<uint64_t> m_nameEnd;
    std::string m_names;
    std::vector<qint64> m_times;
};
