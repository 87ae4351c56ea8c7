#include "app/core/RowStore.h"

#include "app/core/BackgroundFileWork.h"
#include "app/core/EventPump.h"
#include "app/core/PathSeparator.h"
#include "app/core/ReturnFreedMemory.h"
#include "app/core/TextSortOrder.h"

#include <QByteArray>

#include <algorithm>
#include <numeric>

namespace {
// Below this many rows a sort takes too little time to leave the window's thread.
constexpr size_t kSortOnWorkerFrom = 50'000;
constexpr size_t kRowsCopiedAtOnce = 1 << 16;
}  // namespace

RowStore::RowStore() : m_texts(std::make_shared<Utf8TextStore>())
{
}

QString RowStore::TextOf(const Row& row) const
{
    QString text;
    // At most one UTF-16 unit per byte: one allocation.
    text.reserve(static_cast<qsizetype>((row.folder == kNoFolder ? 0 : m_folders[row.folder].size() + 1) + row.nameLength));
    AppendTextOf(text, row);
    return text;
}

void RowStore::AppendTextOf(QString& out, const Row& row) const
{
    if (row.folder != kNoFolder) {
        AppendUtf8(out, m_folders[row.folder]);
        out += kPathSeparator;
    }
    AppendUtf8(out, {row.name, row.nameLength});
}

qsizetype RowStore::TextLength(const Row& row) const
{
    const qsizetype name = Utf16Length({row.name, row.nameLength});
    return row.folder == kNoFolder ? name : Utf16Length(m_folders[row.folder]) + 1 + name;
}

void RowStore::SetChecked(size_t index, bool checked)
{
    ++m_checkChanges;
    m_rows[index].checked = checked ? 1u : 0u;
}

void RowStore::SetAllChecked(bool checked)
{
    ++m_checkChanges;
    for (Row& row : m_rows)
        row.checked = checked ? 1u : 0u;
}

void RowStore::Append(const QString& text, qint64 time, bool checked)
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
    ++m_version;
    // Grows geometrically: an exact reserve per batch would copy every row again for each batch.
    m_rows.push_back(Row{stored.data(), time, static_cast<uint32_t>(stored.size()), folder, checked ? 1u : 0u});
}

void RowStore::Append(Batch&& batch)
{
    ++m_version;
    if (m_rows.empty() && m_folders.empty()) {
        m_rows.swap(batch.m_rows);
        m_folders.swap(batch.m_folders);
    } else {
        const auto offset = static_cast<uint32_t>(m_folders.size());
        for (Row row : batch.m_rows) {
            row.folder = row.folder == kNoFolder ? kNoFolder : row.folder + offset;
            m_rows.push_back(row);
        }
        m_folders.insert(m_folders.end(), batch.m_folders.begin(), batch.m_folders.end());
    }
    m_shared.push_back(std::move(batch.m_storage));
    batch.m_rows.clear();
    batch.m_folders.clear();
}

void RowStore::Erase(size_t index)
{
    ++m_version;
    ++m_removals;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(index));
}

void RowStore::RemoveFlagged(const std::vector<bool>& flagged)
{
    // The removed rows' texts stay in the store until it is cleared.
    size_t keptCount = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!flagged[i])
            m_rows[keptCount++] = m_rows[i];
    }
    ++m_version;
    ++m_removals;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(keptCount), m_rows.end());
}

void RowStore::Clear()
{
    const bool hadRows = !m_rows.empty();
    ++m_version;
    if (hadRows) {
        ++m_removals;
        ++m_clears;
    }
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_folders.clear();
    m_folders.shrink_to_fit();
    m_texts = std::make_shared<Utf8TextStore>();
    m_folderNumbers = {};
    m_shared.clear();
    // Handing memory back walks the whole heap: only worth it when rows went.
    if (hadRows)
        ReturnFreedMemory();
}

RowStore RowStore::Snapshot() const
{
    RowStore copy;
    copy.m_rows = m_rows;
    copy.m_folders = m_folders;
    copy.m_texts = m_texts;
    copy.m_shared = m_shared;
    return copy;
}

// A sort: what it reads, copied or shared so that the list may change
// meanwhile, and what it makes.
struct RowStore::SortJob {
    Rows rows;
    std::vector<std::string_view> folders;
    std::vector<std::shared_ptr<const void>> storage;
    bool byText = true;
    bool ascending = true;
    Order order;
};

void RowStore::RunSortJob(SortJob& job)
{
    const Rows& rows = job.rows;
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
    job.order.sorted.reserve(rows.size());
    job.order.newRowOf.resize(rows.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        job.order.sorted.push_back(rows[positions[i]]);
        job.order.newRowOf[positions[i]] = static_cast<int>(i);
    }
}

std::optional<RowStore::Order> RowStore::Sorted(bool byText, bool ascending, EventPump& pump) const
{
    const uint64_t version = m_version;
    const uint64_t checkChanges = m_checkChanges;
    const auto job = std::make_shared<SortJob>();
    const bool onWorker = m_rows.size() >= kSortOnWorkerFrom;
    // A long list is copied a part at a time, the window's events processed between.
    job->rows.reserve(m_rows.size());
    for (size_t first = 0; first < m_rows.size(); first += kRowsCopiedAtOnce) {
        if (first > 0 && onWorker) {
            pump.Point();
            if (m_version != version)
                return std::nullopt;
        }
        const size_t last = std::min(first + kRowsCopiedAtOnce, m_rows.size());
        job->rows.insert(job->rows.end(), m_rows.begin() + static_cast<std::ptrdiff_t>(first),
                         m_rows.begin() + static_cast<std::ptrdiff_t>(last));
    }
    job->folders = m_folders;
    job->storage = m_shared;
    job->storage.push_back(m_texts);
    job->byText = byText;
    job->ascending = ascending;
    if (!onWorker) {
        RunSortJob(*job);
    } else {
        // The sorted order counts as a chunk done: the window's thread runs an
        // event point for it, so what the user does then is weighed against it.
        // A close meanwhile leaves the rows as they were.
        const bool ended = BackgroundFileWork::Run([job](BackgroundFileWork& work) {
            RunSortJob(*job);
            work.ChunkDone();
        }, pump);
        if (!ended)
            return std::nullopt;
    }
    if (m_version != version)
        return std::nullopt;
    // Check marks set while the window waited move with their rows.
    if (m_checkChanges != checkChanges) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            job->order.sorted[static_cast<size_t>(job->order.newRowOf[i])].checked = m_rows[i].checked;
    }
    return std::move(job->order);
}

void RowStore::Apply(Order& order)
{
    ++m_version;
    m_rows.swap(order.sorted);
}
