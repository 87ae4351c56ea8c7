#pragma once

#include "app/core/FileSystem.h"
#include "app/core/RowReading.h"
#include "app/core/RowStore.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

class EventPump;

// An ordered list of rows shown by a list view: the folder list and the
// result list. A row has its text, an optional time whose text is its
// sub-item 1, and a check mark. Row and column indexes are 1-based; an index
// out of range throws Failure. The rows are kept in a RowStore.
class RowList : public QAbstractTableModel, public RowReading {
    Q_OBJECT

public:
    struct Row {
        QString text;
        qint64 time = kNoTime;
        bool checked = false;
    };
    using Batch = RowStore::Batch;

    // pump lets the window's events through while a long list sorts.
    RowList(bool checkable, EventPump& pump, QObject* parent = nullptr);

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
    friend class RowSnapshot;

    struct Column {
        QString caption;
        int widthTwips = 0;
    };

    const Column& ColumnAt(int column) const;
    void EmitCheckChanged(int firstRow, int lastRow);

    bool m_checkable;
    bool m_dragAsFiles = false;
    EventPump& m_pump;
    std::vector<Column> m_columns;
};
