#pragma once

#include "app/FileSystem.h"
#include "app/Utf8TextStore.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

// An ordered list of rows shown by a list view: the folder list and the
// result list. A row has its text, an optional time whose text is its
// sub-item 1, and a check mark. Row and column indexes are 1-based; an index
// out of range throws Failure. Texts are kept as UTF-8 and turned into
// QStrings when asked for, so a million long paths stay small.
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
    // user's locale, any other column by the row's time (no time first).
    void Sort(int column, Qt::SortOrder order);
    // Lets views drag rows out as the files their texts name.
    void SetDragAsFiles(bool dragAsFiles) { m_dragAsFiles = dragAsFiles; }

    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString ColumnText(int column) const;
    int ColumnWidthTwips(int column) const;
    void AddColumn(const QString& caption);
    void SetColumnWidthTwips(int column, int twips);
    void RemoveColumn(int column);

    // How a row's time becomes its sub-item text; the local date and time by default.
    void SetTimeFormatter(TimeFormatter formatter);

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

    // A row as kept: 24 bytes and its UTF-8 text in m_texts.
    struct StoredRow {
        const char* bytes;
        qint64 time;
        uint32_t length;
        bool checked;
    };

    const StoredRow& At(int index) const;
    StoredRow& At(int index);
    const Column& ColumnAt(int column) const;
    static QString TextOf(const StoredRow& row) { return Utf8TextStore::Decode({row.bytes, row.length}); }
    std::vector<uint32_t> SortedOrder(int column, Qt::SortOrder order) const;
    void EmitCheckChanged(int firstRow, int lastRow);

    bool m_checkable;
    bool m_dragAsFiles = false;
    std::vector<StoredRow> m_rows;
    Utf8TextStore m_texts;
    std::vector<Column> m_columns;
    TimeFormatter m_formatTime;
};

// Rows made away from any list (on any thread), unchecked, to be put into
// one with a single insertion.
class RowList::Batch {
public:
    // Adds a row whose text is the UTF-8 parts joined.
    void Add(std::initializer_list<std::string_view> utf8TextParts, qint64 time)
    {
        const Utf8TextStore::Ref text = m_texts.AppendJoined(utf8TextParts);
        m_rows.push_back(StoredRow{text.bytes, time, text.length, false});
    }
    size_t Count() const { return m_rows.size(); }
    // Room for this many rows, so that adding them never moves those made.
    void Reserve(size_t rows) { m_rows.reserve(rows); }

private:
    friend class RowList;
    std::vector<StoredRow> m_rows;
    Utf8TextStore m_texts;
};
