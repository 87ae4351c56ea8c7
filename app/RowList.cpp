#include "app/RowList.h"

#include "app/Failure.h"
#include "app/Timestamp.h"

#include <algorithm>

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

const RowList::Row& RowList::At(int index) const
{
    if (index < 1 || index > Count())
        throw OutOfRange();
    return m_rows[static_cast<size_t>(index - 1)];
}

RowList::Row& RowList::At(int index)
{
    return const_cast<Row&>(std::as_const(*this).At(index));
}

const RowList::Column& RowList::ColumnAt(int column) const
{
    if (column < 1 || column > ColumnCount())
        throw OutOfRange();
    return m_columns[static_cast<size_t>(column - 1)];
}

QString RowList::Text(int index) const
{
    return At(index).text;
}

QString RowList::SubItem(int index, int k) const
{
    const Row& row = At(index);
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
    const QModelIndex cell = createIndex(index - 1, 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
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
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
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
    const auto kept = std::stable_partition(m_rows.begin(), m_rows.end(),
                                            [&](const Row& row) { return !predicate(row); });
    if (kept == m_rows.end())
        return;
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
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
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
    const Row& row = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? row.text : SubItem(index.row() + 1, index.column());
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
    return result;
}

QVariant RowList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount())
        return m_columns[static_cast<size_t>(section)].caption;
    return {};
}
