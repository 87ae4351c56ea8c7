#include "app/RowList.h"

#include "app/Failure.h"
#include "app/ReturnFreedMemory.h"
#include "app/TextSortOrder.h"
#include "app/Timestamp.h"

#include <QCollator>
#include <QDir>
#include <QCollatorSortKey>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <numeric>

namespace {
Failure OutOfRange()
{
    return Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
}
}  // namespace

RowList::RowList(bool checkable, QObject* parent)
    : QAbstractTableModel(parent), m_checkable(checkable), m_formatTime(&TimestampText)
{
}

const RowList::StoredRow& RowList::At(int index) const
{
    if (index < 1 || index > Count())
        throw OutOfRange();
    return m_rows[static_cast<size_t>(index - 1)];
}

RowList::StoredRow& RowList::At(int index)
{
    return const_cast<StoredRow&>(std::as_const(*this).At(index));
}

const RowList::Column& RowList::ColumnAt(int column) const
{
    if (column < 1 || column > ColumnCount())
        throw OutOfRange();
    return m_columns[static_cast<size_t>(column - 1)];
}

QString RowList::Text(int index) const
{
    return TextOf(At(index));
}

QString RowList::SubItem(int index, int k) const
{
    const StoredRow& row = At(index);
    if (k == 1 && row.time != kNoTime)
        return m_formatTime(row.time);
    return {};
}

qint64 RowList::Time(int index) const
{
    return At(index).time;
}

bool RowList::Checked(int index) const
{
    return At(index).checked;
}

void RowList::SetChecked(int index, bool checked)
{
    At(index).checked = checked;
    EmitCheckChanged(index - 1, index - 1);
}

void RowList::SetCheckedRows(const std::vector<int>& indexes, bool checked)
{
    for (int index : indexes)
        At(index);
    if (indexes.empty())
        return;
    for (int index : indexes)
        m_rows[static_cast<size_t>(index - 1)].checked = checked;
    const auto [first, last] = std::minmax_element(indexes.begin(), indexes.end());
    EmitCheckChanged(*first - 1, *last - 1);
}

void RowList::SetAllChecked(bool checked)
{
    for (StoredRow& row : m_rows)
        row.checked = checked;
    if (!m_rows.empty())
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
    // Grows geometrically: an exact reserve per batch would copy every row again for each batch.
    for (const Row& row : rows) {
        const Utf8TextStore::Ref text = m_texts.Append(row.text);
        m_rows.push_back(StoredRow{text.bytes, row.time, text.length, row.checked});
    }
    rows.clear();
    endInsertRows();
}

void RowList::AddRows(Batch&& batch)
{
    if (batch.m_rows.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(batch.m_rows.size()) - 1);
    if (m_rows.empty())
        m_rows.swap(batch.m_rows);
    else
        m_rows.insert(m_rows.end(), batch.m_rows.begin(), batch.m_rows.end());
    m_texts.Adopt(std::move(batch.m_texts));
    batch.m_rows.clear();
    endInsertRows();
}

void RowList::Remove(int index)
{
    At(index);
    beginRemoveRows({}, index - 1, index - 1);
    m_rows.erase(m_rows.begin() + (index - 1));
    endRemoveRows();
}

void RowList::RemoveWhere(const std::function<bool(const Row&)>& predicate)
{
    // Every row is judged before any moves, so a predicate that throws
    // leaves the list as it was. The removed rows' texts stay in the store
    // until the list is cleared.
    std::vector<bool> removed(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        removed[i] = predicate(Row{TextOf(m_rows[i]), m_rows[i].time, m_rows[i].checked});
    size_t keptCount = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!removed[i])
            m_rows[keptCount++] = m_rows[i];
    }
    if (keptCount == m_rows.size())
        return;
    const auto kept = m_rows.begin() + static_cast<std::ptrdiff_t>(keptCount);
    // One layout change for any number of removed rows.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    m_rows.erase(kept, m_rows.end());
    for (const QModelIndex& index : before)
        changePersistentIndex(index, QModelIndex());
    emit layoutChanged();
}

void RowList::Clear()
{
    const bool hadRows = !m_rows.empty();
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_texts.Clear();
    endResetModel();
    // Handing memory back walks the whole heap: only worth it when rows went.
    if (hadRows)
        ReturnFreedMemory();
}

std::vector<uint32_t> RowList::SortedOrder(int column, Qt::SortOrder order) const
{
    const bool ascending = order == Qt::AscendingOrder;
    if (column == 1)
        return StableTextOrder(m_rows.size(), [this](size_t position) { return TextOf(m_rows[position]); },
                               ascending);
    // No time (the smallest value) comes first in ascending order.
    std::vector<uint32_t> positions(m_rows.size());
    std::iota(positions.begin(), positions.end(), 0u);
    std::stable_sort(positions.begin(), positions.end(), [&](uint32_t a, uint32_t b) {
        return ascending ? m_rows[a].time < m_rows[b].time : m_rows[b].time < m_rows[a].time;
    });
    return positions;
}

void RowList::Sort(int column, Qt::SortOrder order)
{
    ColumnAt(column);
    const std::vector<uint32_t> positions = SortedOrder(column, order);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<StoredRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        sorted.push_back(m_rows[positions[i]]);
        newRowOf[positions[i]] = static_cast<int>(i);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(createIndex(newRowOf[static_cast<size_t>(index.row())], index.column()));
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
    const StoredRow& row = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? TextOf(row) : SubItem(index.row() + 1, index.column());
    if (role == Qt::CheckStateRole && m_checkable && index.column() == 0)
        return row.checked ? Qt::Checked : Qt::Unchecked;
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
        urls.push_back(QUrl::fromLocalFile(QDir::fromNativeSeparators(TextOf(m_rows[static_cast<size_t>(row)]))));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions RowList::supportedDragActions() const
{
    return m_dragAsFiles ? Qt::CopyAction : Qt::IgnoreAction;
}
