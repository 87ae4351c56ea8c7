#include "app/core/RowList.h"

#include "app/core/Failure.h"
#include "app/core/Timestamp.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {
Failure OutOfRange()
{
    return Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
}
}  // namespace

RowList::RowList(bool checkable, EventPump& pump, QObject* parent)
    : QAbstractTableModel(parent), RowReading({}, &TimestampText), m_checkable(checkable), m_pump(pump)
{
}

const RowList::Column& RowList::ColumnAt(int column) const
{
    if (column < 1 || column > ColumnCount())
        throw OutOfRange();
    return m_columns[static_cast<size_t>(column - 1)];
}

void RowList::SetChecked(int index, bool checked)
{
    At(index);
    m_store.SetChecked(static_cast<size_t>(index - 1), checked);
    EmitCheckChanged(index - 1, index - 1);
}

void RowList::SetCheckedRows(const std::vector<int>& indexes, bool checked)
{
    for (int index : indexes)
        At(index);
    if (indexes.empty())
        return;
    for (int index : indexes)
        m_store.SetChecked(static_cast<size_t>(index - 1), checked);
    const auto [first, last] = std::minmax_element(indexes.begin(), indexes.end());
    EmitCheckChanged(*first - 1, *last - 1);
}

void RowList::SetAllChecked(bool checked)
{
    m_store.SetAllChecked(checked);
    if (Count() > 0)
        EmitCheckChanged(0, Count() - 1);
}

void RowList::EmitCheckChanged(int firstRow, int lastRow)
{
    emit dataChanged(createIndex(firstRow, 0), createIndex(lastRow, 0), {Qt::CheckStateRole});
}

void RowList::Add(const QString& text, qint64 time)
{
    std::vector<Row> rows;
    rows.push_back(Row{text, time, false});
    AddRows(std::move(rows));
}

void RowList::AddRows(std::vector<Row>&& rows)
{
    if (rows.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const Row& row : rows)
        m_store.Append(row.text, row.time, row.checked);
    rows.clear();
    endInsertRows();
}

void RowList::AddRows(Batch&& batch)
{
    if (batch.Count() == 0)
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(batch.Count()) - 1);
    m_store.Append(std::move(batch));
    endInsertRows();
}

void RowList::Remove(int index)
{
    At(index);
    beginRemoveRows({}, index - 1, index - 1);
    m_store.Erase(static_cast<size_t>(index - 1));
    endRemoveRows();
}

void RowList::RemoveWhere(const std::function<bool(const Row&)>& predicate)
{
    // Every row is judged before any moves, so a predicate that throws
    // leaves the list as it was.
    std::vector<bool> removed(m_store.Count());
    bool any = false;
    for (size_t i = 0; i < m_store.Count(); ++i) {
        const RowStore::Row& row = m_store[i];
        removed[i] = predicate(Row{m_store.TextOf(row), row.time, row.checked != 0});
        any = any || removed[i];
    }
    if (!any)
        return;
    // One layout change for any number of removed rows.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    m_store.RemoveFlagged(removed);
    for (const QModelIndex& index : before)
        changePersistentIndex(index, QModelIndex());
    emit layoutChanged();
}

void RowList::Clear()
{
    beginResetModel();
    m_store.Clear();
    endResetModel();
}

void RowList::Sort(int column, Qt::SortOrder order)
{
    ColumnAt(column);
    std::optional<RowStore::Order> sorted = m_store.Sorted(column == 1, order == Qt::AscendingOrder, m_pump);
    if (!sorted)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_store.Apply(*sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(createIndex(sorted->newRowOf[static_cast<size_t>(index.row())], index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QString RowList::ColumnText(int column) const
{
    return ColumnAt(column).caption;
}

int RowList::ColumnWidthTwips(int column) const
{
    return ColumnAt(column).widthTwips;
}

void RowList::AddColumn(const QString& caption)
{
    const int position = ColumnCount();
    beginInsertColumns({}, position, position);
    m_columns.push_back(Column{caption, 0});
    endInsertColumns();
}

void RowList::SetColumnWidthTwips(int column, int twips)
{
    ColumnAt(column);
    m_columns[static_cast<size_t>(column - 1)].widthTwips = twips;
    emit ColumnWidthChanged(column, twips);
}

void RowList::RemoveColumn(int column)
{
    ColumnAt(column);
    beginRemoveColumns({}, column - 1, column - 1);
    m_columns.erase(m_columns.begin() + (column - 1));
    endRemoveColumns();
}

void RowList::SetTimeFormatter(TimeFormatter formatter)
{
    beginResetModel();
    m_formatTime = std::move(formatter);
    endResetModel();
}

int RowList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int RowList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant RowList::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const RowStore::Row& row = m_store[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? m_store.TextOf(row) : SubItem(index.row() + 1, index.column());
    if (role == Qt::CheckStateRole && m_checkable && index.column() == 0)
        return row.checked != 0 ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool RowList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !m_checkable || index.column() != 0
        || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    SetChecked(index.row() + 1, value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags RowList::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (m_checkable && index.column() == 0)
        result |= Qt::ItemIsUserCheckable;
    if (m_dragAsFiles && index.isValid())
        result |= Qt::ItemIsDragEnabled;
    return result;
}

QVariant RowList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount())
        return m_columns[static_cast<size_t>(section)].caption;
    return {};
}

void RowList::sort(int column, Qt::SortOrder order)
{
    Sort(column + 1, order);
}

QStringList RowList::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* RowList::mimeData(const QModelIndexList& indexes) const
{
    // A selected row arrives once for each of its columns.
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(indexes.size()));
    for (const QModelIndex& index : indexes) {
        if (checkIndex(index, CheckIndexOption::IndexIsValid))
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<QUrl> urls;
    urls.reserve(static_cast<qsizetype>(rows.size()));
    for (int row : rows)
        urls.push_back(QUrl::fromLocalFile(QDir::fromNativeSeparators(m_store.TextOf(m_store[static_cast<size_t>(row)]))));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions RowList::supportedDragActions() const
{
    return m_dragAsFiles ? Qt::CopyAction : Qt::IgnoreAction;
}
