#pragma once

#include "app/FileSystem.h"
#include "app/Utf8Bytes.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What one reading of a folder gave a walk: the folder's attributes, the
// names of its sub-folders and its regular files with their times, all names
// as bytes in one buffer. Filled on one thread, read on another once handed
// over; adding a file allocates nothing when room was reserved.
class FolderListing {
public:
    // Set once the folder could be opened.
    std::optional<FolderInfo> info;

    // Room for this many more entries and name bytes.
    void Reserve(size_t entries, size_t nameBytes)
    {
        Grow(m_files, m_files.size() + entries);
        Grow(m_names, m_names.size() + nameBytes);
    }
    // Any bytes: whether a name can be handled is the walk's rule.
    void AddSubFolder(std::string_view name)
    {
        m_subFolders.push_back({Offset(), static_cast<uint32_t>(name.size())});
        m_names.append(name);
    }
    // Records the file when its name is valid UTF-8; passes it over otherwise.
    void AddFile(std::string_view name, const FileTimes& times)
    {
        const uint32_t offset = Offset();
        if (AppendIfUtf8(m_names, name))
            m_files.push_back({times, {offset, static_cast<uint32_t>(name.size())}});
    }
    // Forgets the files, keeping the sub-folders.
    void ClearFiles() { m_files.clear(); }
    // Gives back the memory of everything but the attributes.
    void Release()
    {
        std::vector<File>().swap(m_files);
        std::vector<Name>().swap(m_subFolders);
        std::string().swap(m_names);
    }

    size_t SubFolderCount() const { return m_subFolders.size(); }
    std::string_view SubFolder(size_t index) const { return NameOf(m_subFolders[index]); }
    size_t FileCount() const { return m_files.size(); }
    std::string_view FileName(size_t index) const { return NameOf(m_files[index].name); }
    const FileTimes& Times(size_t index) const { return m_files[index].times; }

private:
    struct Name {
        uint32_t offset;
        uint32_t length;
    };
    struct File {
        FileTimes times;
        Name name;
    };

    // At least doubles, so a large folder read in many blocks is not copied over and over.
    template <class Container>
    static void Grow(Container& container, size_t size)
    {
        if (size > container.capacity())
            container.reserve(std::max(size, 2 * container.capacity()));
    }
    uint32_t Offset() const { return static_cast<uint32_t>(m_names.size()); }
    std::string_view NameOf(Name name) const { return std::string_view(m_names).substr(name.offset, name.length); }

    std::vector<File> m_files;
    std::vector<Name> m_subFolders;
    std::string m_names;
};
