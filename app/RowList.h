#pragma once

#include "app/FileSystem.h"
#include "app/LargeBlock.h"
#include "app/TextSortOrder.h"
#include "app/Utf8TextStore.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

// An ordered list of rows shown by a list view: the folder list and the
// result list. A row has its text, an optional time whose text is its
// sub-item 1, and a check mark. Row and column indexes are 1-based; an index
// out of range throws Failure. A text is kept as UTF-8 in two parts, its
// folder (shared by the rows of that folder) and the rest, and put together
// when asked for, so a million long paths stay small.
class RowList : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Row {
        QString text;
        qint64 time = kNoTime;
        bool checked = false;
    };
    using TimeFormatter = std::function<QString(qint64 time)>;
    class Batch;

    explicit RowList(bool checkable, QObject* parent = nullptr);

    int Count() const { return static_cast<int>(m_rows.size()); }
    QString Text(int index) const;
    // The text's length in UTF-16 units, and the text appended to out, without a copy of their own.
    qsizetype TextLength(int index) const;
    void AppendText(QString& out, int index) const;
    // The text of column k + 1; only sub-item 1 (the time's text) is ever set.
    QString SubItem(int index, int k) const;
    qint64 Time(int index) const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    // Sets the check marks of the given rows (any order) with one change notice.
    void SetCheckedRows(const std::vector<int>& indexes, bool checked);
    void SetAllChecked(bool checked);

    void Add(const QString& text, qint64 time = kNoTime);
    // Appends many rows with one insertion.
    void AddRows(std::vector<Row>&& rows);
    // Appends rows built beforehand with one insertion; costs no more than
    // copying their positions, however long their texts.
    void AddRows(Batch&& batch);
    void Remove(int index);
    // Removes every row the predicate holds for, in one pass.
    void RemoveWhere(const std::function<bool(const Row&)>& predicate);
    void Clear();
    // Reorders the rows themselves, stably: column 1 by its text in the
    // user's locale, any other column by the row's time (no time first). A
    // long list is ordered on worker threads while the window's events are
    // processed; a change made to the rows meanwhile wins over the sort.
    void Sort(int column, Qt::SortOrder order);
    // Lets views drag rows out as the files their texts name.
    void SetDragAsFiles(bool dragAsFiles) { m_dragAsFiles = dragAsFiles; }

    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString ColumnText(int column) const;
    int ColumnWidthTwips(int column) const;
    void AddColumn(const QString& caption);
    void SetColumnWidthTwips(int column, int twips);
    void RemoveColumn(int column);

    // How a row's time becomes its sub-item text; the local date and time by
    // default. It may be called from several threads at once.
    void SetTimeFormatter(TimeFormatter formatter);
    TimeFormatter Formatter() const { return m_formatTime; }

    // Qt model interface.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

signals:
    // A column's width in twips was set; views convert it to pixels.
    void ColumnWidthChanged(int column, int twips);

private:
    struct Column {
        QString caption;
        int widthTwips = 0;
    };

    // A row as kept, 24 bytes: its text is folder + separator + name, or the
    // name alone without a folder. The bytes live in m_texts or in storage
    // that m_shared keeps.
    struct StoredRow {
        const char* name;
        qint64 time;
        uint32_t nameLength;
        uint32_t folder : 31;
        uint32_t checked : 1;
    };
    using StoredRows = std::vector<StoredRow, LargeBlockAllocator<StoredRow>>;

    const StoredRow& At(int index) const;
    StoredRow& At(int index);
    const Column& ColumnAt(int column) const;
    QString TextOf(const StoredRow& row) const;
    void AppendTextOf(QString& out, const StoredRow& row) const;
    // Stores the text split at its last separator, its folder shared with the rows added before.
    StoredRow Store(const QString& text, qint64 time, bool checked);
    struct SortJob;
    static void RunSortJob(SortJob& job);
    void EmitCheckChanged(int firstRow, int lastRow);

    bool m_checkable;
    bool m_dragAsFiles = false;
    StoredRows m_rows;
    // UTF-8 folders without their trailing separator.
    std::vector<std::string_view> m_folders;
    // Texts added one by one; shared, so a sort on a worker can read on while the list is cleared.
    std::shared_ptr<Utf8TextStore> m_texts;
    std::vector<std::shared_ptr<const void>> m_shared;
    // The folders of the texts added one by one, by their text.
    std::unordered_map<std::string_view, uint32_t> m_folderNumbers;
    // Counts changes to which rows there are and their order.
    uint64_t m_version = 0;
    uint64_t m_checkChanges = 0;
    std::vector<Column> m_columns;
    TimeFormatter m_formatTime;
};

// Rows made away from any list (on any thread), unchecked, to be put into
// one with a single insertion. Their texts are not copied: they refer to
// UTF-8 folders and names in storage that the batch, then the list, shares.
class RowList::Batch {
public:
    // folders: UTF-8, without their trailing separator; storage keeps them and the names alive.
    Batch(std::vector<std::string_view> folders, std::shared_ptr<const void> storage)
        : m_folders(std::move(folders)), m_storage(std::move(storage))
    {
    }
    // Adds the row folder + separator + name.
    void Add(uint32_t folder, std::string_view utf8Name, qint64 time)
    {
        m_rows.push_back(StoredRow{utf8Name.data(), time, static_cast<uint32_t>(utf8Name.size()), folder, 0});
    }
    size_t Count() const { return m_rows.size(); }
    void Reserve(size_t rows) { m_rows.reserve(rows); }

private:
    friend class RowList;
    StoredRows m_rows;
    std::vector<std::string_view> m_folders;
    std::shared_ptr<const void> m_storage;
};
