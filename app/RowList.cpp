#include "app/RowList.h"

#include "app/BackgroundFileWork.h"
#include "app/EventPump.h"
#include "app/Failure.h"
#include "app/ReturnFreedMemory.h"
#include "app/TextSortOrder.h"
#include "app/Timestamp.h"
#include "folders/PathSeparator.h"

#include <QCoreApplication>
#include <QDir>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <numeric>

namespace {
// Below this many rows a sort takes too little time to leave the window's thread.
constexpr size_t kSortOnWorkerFrom = 50'000;
constexpr size_t kRowsCopiedAtOnce = 1 << 16;

Failure OutOfRange()
{
    return Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
}

// Processes the window's events while a sort runs on a worker.
class WindowEvents : public EventPump {
protected:
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

}  // namespace

RowList::RowList(bool checkable, QObject* parent)
    : QAbstractTableModel(parent),
      m_checkable(checkable),
      m_texts(std::make_shared<Utf8TextStore>()),
      m_formatTime(&TimestampText)
{
}

QString RowList::TextOf(const StoredRow& row) const
{
    QString text;
    // At most one UTF-16 unit per byte: one allocation.
    text.reserve(static_cast<qsizetype>((row.folder == kNoFolder ? 0 : m_folders[row.folder].size() + 1) + row.nameLength));
    AppendTextOf(text, row);
    return text;
}

void RowList::AppendTextOf(QString& out, const StoredRow& row) const
{
    if (row.folder != kNoFolder) {
        AppendUtf8(out, m_folders[row.folder]);
        out += kPathSeparator;
    }
    AppendUtf8(out, {row.name, row.nameLength});
}

RowList::StoredRow RowList::Store(const QString& text, qint64 time, bool checked)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string_view bytes(utf8.constData(), static_cast<size_t>(utf8.size()));
    const size_t split = bytes.rfind(kPathSeparator.toLatin1());
    uint32_t folder = kNoFolder;
    std::string_view name = bytes;
    if (split != std::string_view::npos) {
        const std::string_view folderText = bytes.substr(0, split);
        name = bytes.substr(split + 1);
        const auto known = m_folderNumbers.find(folderText);
        if (known != m_folderNumbers.end()) {
            folder = known->second;
        } else {
            folder = static_cast<uint32_t>(m_folders.size());
            m_folders.push_back(m_texts->Append(folderText));
            m_folderNumbers.emplace(m_folders.back(), folder);
        }
    }
    const std::string_view stored = m_texts->Append(name);
    return StoredRow{stored.data(), time, static_cast<uint32_t>(stored.size()), folder, checked ? 1u : 0u};
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

qsizetype RowList::TextLength(int index) const
{
    const StoredRow& row = At(index);
    const qsizetype name = Utf16Length({row.name, row.nameLength});
    return row.folder == kNoFolder ? name : Utf16Length(m_folders[row.folder]) + 1 + name;
}

void RowList::AppendText(QString& out, int index) const
{
    AppendTextOf(out, At(index));
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
    return At(index).checked != 0;
}

void RowList::SetChecked(int index, bool checked)
{
    At(index).checked = checked ? 1u : 0u;
    EmitCheckChanged(index - 1, index - 1);
}

void RowList::SetCheckedRows(const std::vector<int>& indexes, bool checked)
{
    for (int index : indexes)
        At(index);
    if (indexes.empty())
        return;
    for (int index : indexes)
        m_rows[static_cast<size_t>(index - 1)].checked = checked ? 1u : 0u;
    const auto [first, last] = std::minmax_element(indexes.begin(), indexes.end());
    EmitCheckChanged(*first - 1, *last - 1);
}

void RowList::SetAllChecked(bool checked)
{
    for (StoredRow& row : m_rows)
        row.checked = checked ? 1u : 0u;
    if (!m_rows.empty())
        EmitCheckChanged(0, Count() - 1);
}

void RowList::EmitCheckChanged(int firstRow, int lastRow)
{
    ++m_checkChanges;
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
    ++m_version;
    // Grows geometrically: an exact reserve per batch would copy every row again for each batch.
    for (const Row& row : rows)
        m_rows.push_back(Store(row.text, row.time, row.checked));
    rows.clear();
    endInsertRows();
}

void RowList::AddRows(Batch&& batch)
{
    if (batch.m_rows.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(batch.m_rows.size()) - 1);
    ++m_version;
    if (m_rows.empty() && m_folders.empty()) {
        m_rows.swap(batch.m_rows);
        m_folders.swap(batch.m_folders);
    } else {
        const auto offset = static_cast<uint32_t>(m_folders.size());
        for (StoredRow row : batch.m_rows) {
            row.folder = row.folder == kNoFolder ? kNoFolder : row.folder + offset;
            m_rows.push_back(row);
        }
        m_folders.insert(m_folders.end(), batch.m_folders.begin(), batch.m_folders.end());
    }
    m_shared.push_back(std::move(batch.m_storage));
    batch.m_rows.clear();
    batch.m_folders.clear();
    endInsertRows();
}

void RowList::Remove(int index)
{
    At(index);
    beginRemoveRows({}, index - 1, index - 1);
    ++m_version;
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
        removed[i] = predicate(Row{TextOf(m_rows[i]), m_rows[i].time, m_rows[i].checked != 0});
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
    ++m_version;
    m_rows.erase(kept, m_rows.end());
    for (const QModelIndex& index : before)
        changePersistentIndex(index, QModelIndex());
    emit layoutChanged();
}

void RowList::Clear()
{
    const bool hadRows = !m_rows.empty();
    beginResetModel();
    ++m_version;
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_folders.clear();
    m_folders.shrink_to_fit();
    m_texts = std::make_shared<Utf8TextStore>();
    m_folderNumbers = {};
    m_shared.clear();
    endResetModel();
    // Handing memory back walks the whole heap: only worth it when rows went.
    if (hadRows)
        ReturnFreedMemory();
}

// A sort: what it reads, copied or shared so that the list may change
// meanwhile, and what it makes.
struct RowList::SortJob {
    StoredRows rows;
    std::vector<std::string_view> folders;
    std::vector<std::shared_ptr<const void>> storage;
    bool byText = true;
    bool ascending = true;
    StoredRows sorted;
    std::vector<int> newRowOf;
};

void RowList::RunSortJob(SortJob& job)
{
    const StoredRows& rows = job.rows;
    std::vector<uint32_t> positions;
    if (job.byText) {
        positions = StablePathOrder(
            job.folders, rows.size(),
            [&](size_t i) { return SplitText(rows[i].folder, std::string_view(rows[i].name, rows[i].nameLength)); },
            kPathSeparator, job.ascending);
    } else {
        // No time (the smallest value) comes first in ascending order.
        positions.resize(rows.size());
        std::iota(positions.begin(), positions.end(), 0u);
        std::stable_sort(positions.begin(), positions.end(), [&](uint32_t a, uint32_t b) {
            return job.ascending ? rows[a].time < rows[b].time : rows[b].time < rows[a].time;
        });
    }
    job.sorted.reserve(rows.size());
    job.newRowOf.resize(rows.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        job.sorted.push_back(rows[positions[i]]);
        job.newRowOf[positions[i]] = static_cast<int>(i);
    }
}

void RowList::Sort(int column, Qt::SortOrder order)
{
    ColumnAt(column);
    const uint64_t version = m_version;
    const uint64_t checkChanges = m_checkChanges;
    const auto job = std::make_shared<SortJob>();
    const bool onWorker = m_rows.size() >= kSortOnWorkerFrom;
    WindowEvents events;
    // A long list is copied a part at a time, the window's events processed between.
    job->rows.reserve(m_rows.size());
    for (size_t first = 0; first < m_rows.size(); first += kRowsCopiedAtOnce) {
        if (first > 0 && onWorker) {
            events.Point();
            if (m_version != version)
                return;
        }
        const size_t last = std::min(first + kRowsCopiedAtOnce, m_rows.size());
        job->rows.insert(job->rows.end(), m_rows.begin() + static_cast<std::ptrdiff_t>(first),
                         m_rows.begin() + static_cast<std::ptrdiff_t>(last));
    }
    job->folders = m_folders;
    job->storage = m_shared;
    job->storage.push_back(m_texts);
    job->byText = column == 1;
    job->ascending = order == Qt::AscendingOrder;
    if (!onWorker) {
        RunSortJob(*job);
    } else {
        BackgroundFileWork::Run([job](BackgroundFileWork&) { RunSortJob(*job); }, events);
    }
    // Rows added, removed or reordered while the window waited make this order stale.
    if (m_version != version)
        return;
    if (m_checkChanges != checkChanges) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            job->sorted[static_cast<size_t>(job->newRowOf[i])].checked = m_rows[i].checked;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    ++m_version;
    m_rows.swap(job->sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(createIndex(job->newRowOf[static_cast<size_t>(index.row())], index.column()));
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
        urls.push_back(QUrl::fromLocalFile(QDir::fromNativeSeparators(TextOf(m_rows[static_cast<size_t>(row)]))));
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

Qt::DropActions RowList::supportedDragActions() const
{
    return m_dragAsFiles ? Qt::CopyAction : Qt::IgnoreAction;
}
