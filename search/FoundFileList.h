#pragma once

#include "app/core/LargeBlock.h"
#include "app/core/Utf8TextStore.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Every file the walk recorded and its chosen time (UTC seconds, kNoTime when
// unreadable), in walk order. Kept compact for a million files: a table of
// folders, then per file a small entry, the entries in fixed-size blocks and
// the UTF-8 names in a text store, the folders' bytes shared with the walk,
// none of which ever moves (no doubling, no copying as the list grows); the
// full path is put together only when asked for. Rows of a list can refer to
// the folders and names and share their storage.
class FoundFileList {
public:
    FoundFileList() = default;
    FoundFileList(FoundFileList&&) noexcept = default;
    FoundFileList& operator=(FoundFileList&&) noexcept = default;

    void Clear();
    // Keeps the storage alive as long as the list: folders may live in it.
    void KeepAlive(std::shared_ptr<const void> storage);
    // The folder (without a trailing separator) of the files added next. Its
    // bytes are not copied: they live as long as the program or in storage
    // kept alive.
    void BeginFolder(std::string_view utf8FolderPath);
    void Add(std::string_view utf8Name, qint64 time);

    size_t Count() const { return m_count; }
    QString Path(size_t index) const;
    // The file's folder number, the folder (without a trailing separator) and name, as UTF-8.
    uint32_t FolderIndex(size_t index) const { return At(index).folder; }
    std::string_view FolderUtf8(size_t index) const { return m_folders[At(index).folder]; }
    std::string_view NameUtf8(size_t index) const { return {At(index).name, At(index).nameLength}; }
    qint64 Time(size_t index) const { return At(index).time; }

    // Every folder by its number, and what keeps the folders' and names' bytes alive.
    const std::vector<std::string_view>& Folders() const { return m_folders; }
    std::shared_ptr<const void> Storage() const { return m_storage; }

private:
    struct Entry {
        qint64 time;
        const char* name;
        uint32_t folder;
        uint32_t nameLength;
    };
    // A block fills 2 MiB, a huge page where the system offers them.
    static constexpr size_t kEntriesPerBlock = (size_t(2) << 20) / sizeof(Entry);

    const Entry& At(size_t index) const { return m_entries[index / kEntriesPerBlock][index % kEntriesPerBlock]; }

    // The names, and what keeps the folders alive.
    struct TextStorage {
        Utf8TextStore names;
        std::vector<std::shared_ptr<const void>> folders;
    };

    std::shared_ptr<TextStorage> m_storage = std::make_shared<TextStorage>();
    std::vector<std::string_view> m_folders;
    std::string_view m_pendingFolder;
    bool m_folderPending = false;
    std::vector<LargeArray<Entry>> m_entries;
    size_t m_count = 0;
};
