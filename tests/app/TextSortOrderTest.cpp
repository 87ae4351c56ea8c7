#include "app/TextSortOrder.h"

#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

// Enough texts for the two-thread sort and its merge; texts repeat so the
// order of equal texts shows.
TEST(TextSortOrderTest, LargeListsSortInOrderAndKeepEqualTextsInTheirOrder)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList texts;
    for (int i = 0; i < 50'000; ++i)
        texts << QStringLiteral("/data/%1/file%2").arg(QChar(u"aBcÉe"[i % 5])).arg((i * 7919) % 97);
    const auto textAt = [&](size_t position) { return texts[static_cast<qsizetype>(position)]; };
    QCollator collator;
    collator.setNumericMode(true);
    for (const bool ascending : {true, false}) {
        const std::vector<uint32_t> order = StableTextOrder(texts.size(), textAt, ascending);
        ASSERT_EQ(order.size(), static_cast<size_t>(texts.size()));
        for (size_t k = 1; k < order.size(); ++k) {
            const int sign = collator.compare(texts[order[k - 1]], texts[order[k]]);
            ASSERT_TRUE(ascending ? sign <= 0 : sign >= 0) << k;
            if (sign == 0)
                ASSERT_LT(order[k - 1], order[k]) << k;
        }
    }
    QLocale::setDefault(previous);
}
