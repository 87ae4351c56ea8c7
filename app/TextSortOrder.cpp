#include "app/TextSortOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QString>

#include <algorithm>
#include <iterator>
#include <optional>
#include <thread>
#include <unordered_map>

namespace {
// Below this many texts one thread makes all the keys.
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

std::vector<QCollatorSortKey> NameKeys(size_t first, size_t last, const std::function<SplitText(size_t)>& textAt)
{
    const QCollator collator = MakeCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(last - first);
    for (size_t position = first; position < last; ++position) {
        const std::string_view name = textAt(position).second;
        keys.push_back(collator.sortKey(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
    }
    return keys;
}
}  // namespace

std::vector<uint32_t> StablePathOrder(const std::vector<std::string_view>& folders, size_t count,
                                      const std::function<SplitText(size_t)>& textAt, QChar separator,
                                      bool ascending)
{
    // The names' keys, half of them on a second thread.
    const size_t middle = count >= kParallelFrom ? count / 2 : count;
    std::vector<QCollatorSortKey> secondKeys;
    std::thread worker;
    if (middle < count)
        worker = std::thread([&] { secondKeys = NameKeys(middle, count, textAt); });
    std::optional<std::vector<QCollatorSortKey>> nameKeys;
    try {
        nameKeys = NameKeys(0, middle, textAt);
    } catch (...) {
        worker.join();
        throw;
    }

    // Meanwhile the folders' tree, with a key per folder name and its separator.
    const char separatorByte = separator.toLatin1();
    FolderTree tree;
    std::vector<uint32_t> folderNodes(folders.size());
    for (size_t f = 0; f < folders.size(); ++f)
        folderNodes[f] = tree.NodeOf(folders[f], separatorByte);
    const std::vector<NodeName>& nodes = tree.Nodes();
    const QCollator collator = MakeCollator();
    // A folder's paths lie between its name with the separator and that
    // followed by U+FFFF, which collates above every other character.
    std::vector<QCollatorSortKey> nodeKeys;
    std::vector<QCollatorSortKey> nodeEndKeys;
    nodeKeys.reserve(nodes.size());
    nodeEndKeys.reserve(nodes.size());
    for (const NodeName& node : nodes) {
        const QString name = QString::fromUtf8(node.name.data(), static_cast<qsizetype>(node.name.size())) + separator;
        nodeKeys.push_back(collator.sortKey(name));
        nodeEndKeys.push_back(collator.sortKey(name + QChar(0xffff)));
    }
    if (worker.joinable())
        worker.join();
    nameKeys->insert(nameKeys->end(), std::make_move_iterator(secondKeys.begin()),
                     std::make_move_iterator(secondKeys.end()));

    // Each folder's items, its texts in their order and then its sub-folders,
    // laid out folder after folder.
    std::vector<uint32_t> textNodes(count);
    std::vector<uint32_t> ends(nodes.size() + 1, 0);
    for (size_t position = 0; position < count; ++position) {
        const uint32_t folder = textAt(position).first;
        textNodes[position] = folder == kNoFolder ? kRoot : folderNodes[folder];
        ++ends[textNodes[position] + 1];
    }
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
    // share a group, whose texts are then ordered one by one.
    const auto keyOf = [&](uint32_t item) -> const QCollatorSortKey& {
        return item & kFolderItem ? nodeKeys[item & ~kFolderItem] : (*nameKeys)[item];
    };
    const auto endKeyOf = [&](uint32_t item) -> const QCollatorSortKey& {
        return item & kFolderItem ? nodeEndKeys[item & ~kFolderItem] : (*nameKeys)[item];
    };
    std::vector<uint32_t> groupEnd(items.size());
    std::vector<uint32_t> groupStart(items.size());
    for (size_t n = 0; n < nodes.size(); ++n) {
        std::stable_sort(items.begin() + ends[n], items.begin() + ends[n + 1],
                         [&](uint32_t a, uint32_t b) { return keyOf(a).compare(keyOf(b)) < 0; });
        for (uint32_t first = ends[n], last; first < ends[n + 1]; first = last) {
            const QCollatorSortKey* spanEnd = &endKeyOf(items[first]);
            for (last = first + 1; last < ends[n + 1] && keyOf(items[last]).compare(*spanEnd) <= 0; ++last) {
                if (endKeyOf(items[last]).compare(*spanEnd) > 0)
                    spanEnd = &endKeyOf(items[last]);
            }
            groupEnd[first] = last;
            groupStart[last - 1] = first;
        }
    }

    // The texts of a group, ordered by what follows the group's folder.
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
            const std::string_view name = textAt(position).second;
            QString rest = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
            for (uint32_t m = textNodes[position]; m != node; m = nodes[m].parent)
                rest.prepend(QString::fromUtf8(nodes[m].name.data(), static_cast<qsizetype>(nodes[m].name.size()))
                             + separator);
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
