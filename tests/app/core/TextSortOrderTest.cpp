#include "app/core/TextSortOrder.h"

#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

// Enough texts for the two-thread keys; paths repeat so the order of equal
// texts shows, a folder's files fall between its sub-folders' files, and the
// files of folders alike but for case or accents mix, where the whole paths
// say so.
TEST(TextSortOrderTest, LargeListsSortAsTheirWholeTextsAndKeepEqualTextsInTheirOrder)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<std::string> folderTexts = {"/data", "/data/b", "/data/b/x y", "/data/b.old", "/data/B2",
                                                  "/data/b10", "", "/data/\xc3\xa9t\xc3\xa9", "/data/b", "/data/B",
                                                  "/data/\xc3\x89t\xc3\xa9/b", "/data/ete"};
    const std::vector<std::string> names = {"a",   "c",     "b.txt", "x",   "B",          "file2", "file10",
                                            "Z z", "b-old", "",      "b 1", "\xc3\xa9t\xc3\xa9s"};
    const std::vector<std::string_view> folders(folderTexts.begin(), folderTexts.end());
    std::vector<SplitText> splits;
    QStringList texts;
    for (int i = 0; i < 50'000; ++i) {
        const auto folder = static_cast<uint32_t>((i * 7) % (folders.size() + 1));
        const std::string& name = names[static_cast<size_t>(i * 13 + i / 100) % names.size()];
        splits.emplace_back(folder == folders.size() ? kNoFolder : folder, name);
        texts << (folder == folders.size() ? QString() : QString::fromStdString(folderTexts[folder]) + u'/')
                     + QString::fromStdString(name);
    }
    const auto textAt = [&](size_t position) { return splits[position]; };
    QCollator collator;
    collator.setNumericMode(true);
    for (const bool ascending : {true, false}) {
        const std::vector<uint32_t> order = StablePathOrder(folders, splits.size(), textAt, u'/', ascending);
        ASSERT_EQ(order.size(), splits.size());
        for (size_t k = 1; k < order.size(); ++k) {
            const int sign = collator.compare(texts[order[k - 1]], texts[order[k]]);
            ASSERT_TRUE(ascending ? sign <= 0 : sign >= 0)
                << texts[order[k - 1]].toStdString() << " | " << texts[order[k]].toStdString();
            if (sign == 0) {
                ASSERT_LT(order[k - 1], order[k]) << k;
            }
        }
    }
    QLocale::setDefault(previous);
}
