#pragma once

#include "app/core/LargeBlock.h"
#include "app/core/Utf8TextStore.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

class EventPump;

// The rows of a list as kept, compactly, with their threaded sort. A row's
// text is kept as UTF-8 in two parts, its folder (shared by the rows of that
// folder) and the rest, and put together when asked for, so a million long
// paths stay small. Indexes are 0-based and not checked.
class RowStore {
public:
    // A row as kept, 24 bytes: its text is folder + separator + name, or the
    // name alone without a folder. The bytes live in the store's texts or in
    // storage the store shares.
    struct Row {
        const char* name;
        qint64 time;
        uint32_t nameLength;
        uint32_t folder : 31;
        uint32_t checked : 1;
    };
    using Rows = std::vector<Row, LargeBlockAllocator<Row>>;
    class Batch;
    // A new order of the rows: the rows in that order, and each old row's new place.
    struct Order {
        Rows sorted;
        std::vector<int> newRowOf;
    };

    RowStore();

    size_t Count() const { return m_rows.size(); }
    const Row& operator[](size_t index) const { return m_rows[index]; }
    QString TextOf(const Row& row) const;
    void AppendTextOf(QString& out, const Row& row) const;
    // The text's length in UTF-16 units.
    qsizetype TextLength(const Row& row) const;

    void SetChecked(size_t index, bool checked);
    void SetAllChecked(bool checked);

    // Stores the text split at its last separator, its folder shared with the rows added before.
    void Append(const QString& text, qint64 time, bool checked);
    // Takes the batch's rows, and shares its storage.
    void Append(Batch&& batch);
    void Erase(size_t index);
    // Keeps the rows not flagged, in their order.
    void RemoveFlagged(const std::vector<bool>& flagged);
    // Drops every row and the texts they kept.
    void Clear();
    // How often rows have left the store, and how often it was emptied of rows.
    uint64_t Removals() const { return m_removals; }
    uint64_t Clears() const { return m_clears; }

    // The rows as they are now, to read while this store changes: the rows
    // are copied (24 bytes each), their texts shared.
    RowStore Snapshot() const;

    // Orders the rows, stably: by their text in the user's locale, or by
    // their time (no time first). A long list is copied a part at a time and
    // ordered on a worker, pump's events processed meanwhile; nothing when
    // rows were added, removed or reordered meanwhile (the change wins).
    std::optional<Order> Sorted(bool byText, bool ascending, EventPump& pump) const;
    // Puts the rows in the order made by Sorted, keeping check marks set meanwhile.
    void Apply(Order& order);

private:
    struct SortJob;
    static void RunSortJob(SortJob& job);

    Rows m_rows;
    // UTF-8 folders without their trailing separator.
    std::vector<std::string_view> m_folders;
    // Texts added one by one; shared, so a sort on a worker can read on while the list is cleared.
    std::shared_ptr<Utf8TextStore> m_texts;
    std::vector<std::shared_ptr<const void>> m_shared;
    // The folders of the texts added one by one, by their text.
    std::unordered_map<std::string_view, uint32_t> m_folderNumbers;
    // Counts changes to which rows there are and their order, and to check marks.
    uint64_t m_version = 0;
    uint64_t m_checkChanges = 0;
    uint64_t m_removals = 0;
    uint64_t m_clears = 0;
};

// Rows made away from any list (on any thread), unchecked, to be put into
// one with a single insertion. Their texts are not copied: they refer to
// UTF-8 folders and names in storage that the batch, then the list, shares.
class RowStore::Batch {
public:
    // folders: UTF-8, without their trailing separator; storage keeps them and the names alive.
    Batch(std::vector<std::string_view> folders, std::shared_ptr<const void> storage)
        : m_folders(std::move(folders)), m_storage(std::move(storage))
    {
    }
    // Adds the row folder + separator + name.
    void Add(uint32_t folder, std::string_view utf8Name, qint64 time)
    {
        m_rows.push_back(Row{utf8Name.data(), time, static_cast<uint32_t>(utf8Name.size()), folder, 0});
    }
    size_t Count() const { return m_rows.size(); }
    void Reserve(size_t rows) { m_rows.reserve(rows); }

private:
    friend class RowStore;
    Rows m_rows;
    std::vector<std::string_view> m_folders;
    std::shared_ptr<const void> m_storage;
};
