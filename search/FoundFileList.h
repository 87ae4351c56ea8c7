#pragma once

#include <QString>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Every file the walk recorded and its chosen time (UTC seconds, kNoTime when
// unreadable), in walk order. Kept compact for a million files: a table of
// folders, then per file a small entry and its UTF-8 name, all in fixed-size
// blocks that never move (no doubling, no copying as the list grows); the
// full path is put together only when asked for.
class FoundFileList {
public:
    FoundFileList() = default;
    FoundFileList(FoundFileList&&) noexcept = default;
    FoundFileList& operator=(FoundFileList&&) noexcept = default;

    void Clear();
    // The folder (without a trailing separator) of the files added next.
    void BeginFolder(std::string_view utf8FolderPath);
    void Add(std::string_view utf8Name, qint64 time);

    size_t Count() const { return m_count; }
    QString Path(size_t index) const;
    // The file's folder (without a trailing separator) and name, as UTF-8.
    std::string_view FolderUtf8(size_t index) const { return m_folders[At(index).folder]; }
    std::string_view NameUtf8(size_t index) const
    {
        const Entry& entry = At(index);
        return {m_names[entry.nameBlock].get() + entry.nameOffset, entry.nameLength};
    }
    qint64 Time(size_t index) const { return At(index).time; }

private:
    struct Entry {
        qint64 time;
        uint32_t folder;
        uint32_t nameBlock;
        uint32_t nameOffset;
        uint32_t nameLength;
    };
    static constexpr size_t kEntriesPerBlock = 1 << 16;
    static constexpr size_t kNameBlockBytes = 1 << 20;

    const Entry& At(size_t index) const { return m_entries[index / kEntriesPerBlock][index % kEntriesPerBlock]; }

    std::vector<std::string> m_folders;
    std::string m_pendingFolder;
    bool m_folderPending = false;
    std::vector<std::unique_ptr<Entry[]>> m_entries;
    std::vector<std::unique_ptr<char[]>> m_names;
    size_t m_nameUsed = kNameBlockBytes;
    size_t m_count = 0;
    // The folder whose text Path decoded last.
    mutable QString m_decodedFolder;
    mutable uint32_t m_decodedFolderIndex = UINT32_MAX;
};
