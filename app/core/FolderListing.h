#pragma once

#include "app/core/FileSystem.h"
#include "app/core/Utf8Bytes.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// What one reading of a folder gave a walk: the folder's attributes, the
// names of its sub-folders and its regular files with their times, all names
// as bytes in one buffer. Filled on one thread, read on another once handed
// over; a listing that is cleared keeps its room for the next folder, so
// adding to it allocates only while it grows.
class FolderListing {
public:
    FolderListing() = default;
    FolderListing(FolderListing&& other) noexcept { *this = std::move(other); }
    FolderListing& operator=(FolderListing&& other) noexcept
    {
        info = other.info;
        m_files = std::move(other.m_files);
        m_subFolders = std::move(other.m_subFolders);
        m_names = std::move(other.m_names);
        m_nameSize = std::exchange(other.m_nameSize, 0);
        m_nameCapacity = std::exchange(other.m_nameCapacity, 0);
        m_pending = std::exchange(other.m_pending, false);
        openFolder = std::exchange(other.openFolder, -1);
        return *this;
    }

    // Set once the folder could be opened.
    std::optional<FolderInfo> info;
    // The folder as the reading keeps it open while statuses are pending; -1 when none.
    int openFolder = -1;

    // Any bytes: whether a name can be handled is the walk's rule.
    void AddSubFolder(std::string_view name)
    {
        RoomForName(name.size());
        std::memcpy(m_names.get() + m_nameSize, name.data(), name.size());
        m_subFolders.push_back({Offset(), static_cast<uint32_t>(name.size())});
        m_nameSize += name.size();
    }
    // Records the file when its name is valid UTF-8; passes it over otherwise.
    void AddFile(std::string_view name, const FileTimes& times)
    {
        RoomForName(name.size());
        if (!CopyIfUtf8(name, m_names.get() + m_nameSize))
            return;
        m_files.push_back({times, {Offset(), static_cast<uint32_t>(name.size())}, Status::Read});
        m_nameSize += name.size();
    }
    // A file (valid UTF-8, as AddFile) whose status is read later, by
    // SetTimes or DropFile, possibly on other threads, each file by one.
    void AddPendingFile(std::string_view name)
    {
        RoomForName(name.size());
        if (!CopyIfUtf8(name, m_names.get() + m_nameSize))
            return;
        m_files.push_back({{}, {Offset(), static_cast<uint32_t>(name.size())}, Status::Pending});
        m_nameSize += name.size();
        m_pending = true;
    }
    bool HasPendingFiles() const { return m_pending; }
    bool IsPending(size_t index) const { return m_files[index].status == Status::Pending; }
    void SetTimes(size_t index, const FileTimes& times)
    {
        m_files[index].times = times;
        m_files[index].status = Status::Read;
    }
    // The entry turned out to be no regular file, or has gone.
    void DropFile(size_t index) { m_files[index].status = Status::Dropped; }
    // Keeps the files whose status was read, in listing order.
    void SettleFiles()
    {
        if (!m_pending)
            return;
        std::erase_if(m_files, [](const File& file) { return file.status != Status::Read; });
        m_pending = false;
    }
    // Forgets the files, keeping the sub-folders.
    void ClearFiles()
    {
        m_files.clear();
        m_pending = false;
    }
    // Forgets everything, keeping the room.
    void Clear()
    {
        info.reset();
        m_files.clear();
        m_subFolders.clear();
        m_nameSize = 0;
        m_pending = false;
    }
    // Room held, in bytes.
    size_t Capacity() const
    {
        return m_files.capacity() * sizeof(File) + m_subFolders.capacity() * sizeof(Name) + m_nameCapacity;
    }

    size_t SubFolderCount() const { return m_subFolders.size(); }
    std::string_view SubFolder(size_t index) const { return NameOf(m_subFolders[index]); }
    size_t FileCount() const { return m_files.size(); }
    std::string_view FileName(size_t index) const { return NameOf(m_files[index].name); }
    const FileTimes& Times(size_t index) const { return m_files[index].times; }

private:
    void RoomForName(size_t bytes)
    {
        if (m_nameSize + bytes > m_nameCapacity)
            GrowNames(m_nameSize + bytes);
    }
    struct Name {
        uint32_t offset;
        uint32_t length;
    };
    enum class Status : uint8_t { Read, Pending, Dropped };
    struct File {
        FileTimes times;
        Name name;
        Status status;
    };

    // At least doubles, so a large folder read in many blocks is not copied over and over.
    void GrowNames(size_t size);
    uint32_t Offset() const { return static_cast<uint32_t>(m_nameSize); }
    std::string_view NameOf(Name name) const { return {m_names.get() + name.offset, name.length}; }

    std::vector<File> m_files;
    std::vector<Name> m_subFolders;
    std::unique_ptr<char[]> m_names;
    size_t m_nameSize = 0;
    size_t m_nameCapacity = 0;
    bool m_pending = false;
};
