#include "app/TextSortOrder.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <thread>

namespace {
// Below this many texts one thread sorts them all.
constexpr size_t kParallelFrom = 20'000;

struct Keyed {
    QCollatorSortKey key;
    uint32_t position;
};

// One collation key per text (comparing keys is a byte comparison, far
// cheaper than collating the texts at each comparison), sorted stably.
std::vector<Keyed> SortedPart(size_t first, size_t last, const std::function<QString(size_t)>& textAt,
                              bool ascending)
{
    QCollator collator;
    collator.setNumericMode(true);
    std::vector<Keyed> part;
    part.reserve(last - first);
    for (size_t position = first; position < last; ++position)
        part.push_back(Keyed{collator.sortKey(textAt(position)), static_cast<uint32_t>(position)});
    std::stable_sort(part.begin(), part.end(), [ascending](const Keyed& a, const Keyed& b) {
        return ascending ? a.key.compare(b.key) < 0 : b.key.compare(a.key) < 0;
    });
    return part;
}
}  // namespace

std::vector<uint32_t> StableTextOrder(size_t count, const std::function<QString(size_t)>& textAt, bool ascending)
{
    // Two halves sorted on two threads, then merged taking the first half's
    // text on ties, which keeps equal texts in their order.
    const size_t middle = count >= kParallelFrom ? count / 2 : count;
    std::vector<Keyed> second;
    std::thread worker;
    if (middle < count)
        worker = std::thread([&] { second = SortedPart(middle, count, textAt, ascending); });
    const std::vector<Keyed> first = SortedPart(0, middle, textAt, ascending);
    if (worker.joinable())
        worker.join();

    std::vector<uint32_t> order;
    order.reserve(count);
    size_t i = 0;
    size_t j = 0;
    while (i < first.size() && j < second.size()) {
        const int sign = second[j].key.compare(first[i].key);
        const bool takeSecond = ascending ? sign < 0 : sign > 0;
        order.push_back(takeSecond ? second[j++].position : first[i++].position);
    }
    for (; i < first.size(); ++i)
        order.push_back(first[i].position);
    for (; j < second.size(); ++j)
        order.push_back(second[j].position);
    return order;
}
