#include "app/core/TextSortOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <algorithm>
#include <atomic>
#include <future>
#include <numeric>
#include <unordered_map>

namespace {
// Below this many texts one thread sorts them all.
constexpr size_t kParallelFrom = 20'000;
constexpr uint32_t kRoot = 0;
// Marks an item of a folder that is a sub-folder rather than a text.
constexpr uint32_t kFolderItem = 0x8000'0000;

QCollator MakeCollator()
{
    QCollator collator;
    collator.setNumericMode(true);
    return collator;
}

struct NodeName {
    uint32_t parent;
    std::string_view name;
    bool operator==(const NodeName&) const = default;
};

struct NodeNameHash {
    size_t operator()(const NodeName& node) const
    {
        return std::hash<std::string_view>()(node.name) * 31 + node.parent;
    }
};

// The folders as a tree of their names: node 0 holds the texts without a
// folder and the first names of the folders.
class FolderTree {
public:
    uint32_t NodeOf(std::string_view folder, char separator)
    {
        uint32_t node = kRoot;
        for (size_t start = 0;;) {
            const size_t end = folder.find(separator, start);
            node = Child(node, folder.substr(start, end == std::string_view::npos ? end : end - start));
            if (end == std::string_view::npos)
                return node;
            start = end + 1;
        }
    }
    const std::vector<NodeName>& Nodes() const { return m_nodes; }

private:
    uint32_t Child(uint32_t parent, std::string_view name)
    {
        const auto [it, added] = m_index.try_emplace(NodeName{parent, name}, static_cast<uint32_t>(m_nodes.size()));
        if (added)
            m_nodes.push_back(NodeName{parent, name});
        return it->second;
    }

    std::vector<NodeName> m_nodes{NodeName{kRoot, {}}};
    std::unordered_map<NodeName, uint32_t, NodeNameHash> m_index;
};

QString Decoded(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A folder's items as texts, decoded side by side in one buffer: a text's
// name, a sub-folder's name with the separator and then U+FFFF, so that a
// sub-folder's paths lie between the two (U+FFFF collates above every other
// character).
class ItemTexts {
public:
    void Clear()
    {
        m_buffer.resize(0);
        m_starts.clear();
    }
    void AddText(std::string_view name) { Add(name, {}); }
    void AddFolder(std::string_view name, QChar separator)
    {
        const QChar tail[] = {separator, QChar(0xffff)};
        Add(name, tail);
    }
    // The item's first text, and where its paths end.
    QStringView Start(size_t item) const
    {
        const QStringView text = End(item);
        return m_folder[item] ? text.chopped(1) : text;
    }
    QStringView End(size_t item) const
    {
        return QStringView(m_buffer).mid(m_starts[item], m_starts[item + 1] - m_starts[item]);
    }

private:
    void Add(std::string_view name, QStringView tail)
    {
        if (m_starts.empty())
            m_starts.push_back(0);
        m_buffer += Decoded(name);
        m_buffer += tail;
        m_starts.push_back(m_buffer.size());
        m_folder.resize(m_starts.size() - 1);
        m_folder.back() = !tail.isEmpty();
    }

    QString m_buffer;
    std::vector<qsizetype> m_starts;
    std::vector<bool> m_folder;
};
}  // namespace

std::vector<uint32_t> StablePathOrder(const std::vector<std::string_view>& folders, size_t count,
                                      const std::function<SplitText(size_t)>& textAt, QChar separator,
                                      bool ascending)
{
    // The tree holds only the folders some text is in (the list may name
    // many more), each made when its first text is met.
    constexpr uint32_t kNoNode = UINT32_MAX;
    const char separatorByte = separator.toLatin1();
    FolderTree tree;
    std::vector<uint32_t> folderNodes(folders.size(), kNoNode);
    std::vector<uint32_t> textNodes(count);
    for (size_t position = 0; position < count; ++position) {
        const uint32_t folder = textAt(position).first;
        if (folder == kNoFolder) {
            textNodes[position] = kRoot;
            continue;
        }
        uint32_t& node = folderNodes[folder];
        if (node == kNoNode)
            node = tree.NodeOf(folders[folder], separatorByte);
        textNodes[position] = node;
    }
    const std::vector<NodeName>& nodes = tree.Nodes();

    // Each folder's items, its texts in their order and then its sub-folders,
    // laid out folder after folder.
    std::vector<uint32_t> ends(nodes.size() + 1, 0);
    for (const uint32_t node : textNodes)
        ++ends[node + 1];
    for (size_t n = 1; n < nodes.size(); ++n)
        ++ends[nodes[n].parent + 1];
    for (size_t n = 1; n < ends.size(); ++n)
        ends[n] += ends[n - 1];
    std::vector<uint32_t> items(ends.back());
    std::vector<uint32_t> filled(ends.begin(), ends.end() - 1);
    for (size_t position = 0; position < count; ++position)
        items[filled[textNodes[position]]++] = static_cast<uint32_t>(position);
    for (size_t n = 1; n < nodes.size(); ++n)
        items[filled[nodes[n].parent]++] = static_cast<uint32_t>(n) | kFolderItem;

    // Each folder's items in ascending order, in groups: items whose spans
    // overlap (equal names, or folder names alike but for case or accents)
    // share a group, whose paths are then ordered one by one. The folders
    // are shared out among threads one at a time.
    std::vector<uint32_t> groupEnd(items.size());
    std::vector<uint32_t> groupStart(items.size());
    std::atomic<size_t> nextNode = 0;
    const auto sortFolders = [&] {
        const QCollator collator = MakeCollator();
        ItemTexts texts;
        std::vector<uint32_t> local;
        for (size_t n; (n = nextNode.fetch_add(1)) < nodes.size();) {
            const uint32_t first = ends[n];
            const uint32_t last = ends[n + 1];
            texts.Clear();
            for (uint32_t i = first; i < last; ++i) {
                if (items[i] & kFolderItem)
                    texts.AddFolder(nodes[items[i] & ~kFolderItem].name, separator);
                else
                    texts.AddText(textAt(items[i]).second);
            }
            // Sorts item numbers within the folder, so their texts stay put.
            local.resize(last - first);
            std::iota(local.begin(), local.end(), 0u);
            std::stable_sort(local.begin(), local.end(), [&](uint32_t a, uint32_t b) {
                return collator.compare(texts.Start(a), texts.Start(b)) < 0;
            });
            for (uint32_t i = 0, j; i < local.size(); i = j) {
                QStringView spanEnd = texts.End(local[i]);
                for (j = i + 1; j < local.size() && collator.compare(texts.Start(local[j]), spanEnd) <= 0; ++j) {
                    if (collator.compare(texts.End(local[j]), spanEnd) > 0)
                        spanEnd = texts.End(local[j]);
                }
                groupEnd[first + i] = first + j;
                groupStart[first + j - 1] = first + i;
            }
            for (uint32_t& item : local)
                item = items[first + item];
            std::copy(local.begin(), local.end(), items.begin() + first);
        }
    };
    // A failure (no memory) on either thread is thrown here, after both have stopped.
    std::future<void> worker;
    if (count >= kParallelFrom)
        worker = std::async(std::launch::async, sortFolders);
    try {
        sortFolders();
    } catch (...) {
        nextNode = nodes.size();
        throw;  // the worker's future waits for it
    }
    if (worker.valid())
        worker.get();

    // The texts of a group, ordered by what follows the group's folder.
    const QCollator collator = MakeCollator();
    const auto appendGroup = [&](uint32_t node, uint32_t first, uint32_t last, std::vector<uint32_t>& order) {
        std::vector<uint32_t> positions;
        std::vector<uint32_t> pending(items.begin() + first, items.begin() + last);
        while (!pending.empty()) {
            const uint32_t item = pending.back();
            pending.pop_back();
            if (!(item & kFolderItem)) {
                positions.push_back(item);
                continue;
            }
            const uint32_t child = item & ~kFolderItem;
            pending.insert(pending.end(), items.begin() + ends[child], items.begin() + ends[child + 1]);
        }
        std::vector<std::pair<QCollatorSortKey, uint32_t>> keyed;
        keyed.reserve(positions.size());
        for (const uint32_t position : positions) {
            QString rest = Decoded(textAt(position).second);
            for (uint32_t m = textNodes[position]; m != node; m = nodes[m].parent)
                rest.prepend(Decoded(nodes[m].name) + separator);
            keyed.emplace_back(collator.sortKey(rest), position);
        }
        std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
            const int sign = ascending ? a.first.compare(b.first) : b.first.compare(a.first);
            return sign != 0 ? sign < 0 : a.second < b.second;
        });
        for (const auto& entry : keyed)
            order.push_back(entry.second);
    };
    // The texts in the order of a walk through the sorted folders; cursors
    // run up through a folder's items, or down when descending.
    std::vector<uint32_t> order;
    order.reserve(count);
    std::vector<std::pair<uint32_t, uint32_t>> stack{{kRoot, ascending ? ends[kRoot] : ends[kRoot + 1]}};
    while (!stack.empty()) {
        const auto [node, cursor] = stack.back();
        if (cursor == (ascending ? ends[node + 1] : ends[node])) {
            stack.pop_back();
            continue;
        }
        const uint32_t first = ascending ? cursor : groupStart[cursor - 1];
        const uint32_t last = ascending ? groupEnd[cursor] : cursor;
        stack.back().second = ascending ? last : first;
        const uint32_t item = items[first];
        if (last - first > 1)
            appendGroup(node, first, last, order);
        else if (item & kFolderItem)
            stack.emplace_back(item & ~kFolderItem, ascending ? ends[(item & ~kFolderItem)] : ends[(item & ~kFolderItem) + 1]);
        else
            order.push_back(item);
    }
    return order;
}
