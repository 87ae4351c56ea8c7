#include "app/core/ApplicationTitle.h"

#include <gtest/gtest.h>

// The title is the product name cut before its last blank, once, and again
// while it is longer than 40 characters.
TEST(ApplicationTitle, CutsTheLastWordAndThenWhileLongerThanForty)
{
    const QString ten = QStringLiteral("ABCDEFGHIJ");
    const QString thirty = ten + ' ' + ten + ' ' + ten;  // 32 characters
    const struct {
        QString productName;
        QString title;
    } cases[] = {
        {QStringLiteral("Orvanta Software"), QStringLiteral("Orvanta")},
        // One cut is enough when the rest fits, however many words it has.
        {QStringLiteral("Orvanta File Date Finder Pro"), QStringLiteral("Orvanta File Date Finder")},
        // 40 characters after the first cut stay; 41 lose another word.
        {thirty + QStringLiteral(" ABCDEFG Tail"), thirty + QStringLiteral(" ABCDEFG")},
        {thirty + QStringLiteral(" ABCDEFGH Tail"), thirty},
        // Several cuts for a long name.
        {QStringLiteral("One Two Three Four Five Six Seven Eight Nine Ten Eleven Twelve"),
         QStringLiteral("One Two Three Four Five Six Seven Eight")},
        // Lengths are counted in characters, not in bytes.
        {QStringLiteral("ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄ Ende"),
         QStringLiteral("ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄÖÜÄ ÄÖÜÄÖÜÄ")},
        // With no blank left to cut at, the text stands as it is.
        {QStringLiteral("Orvanta"), QStringLiteral("Orvanta")},
        {QString(45, 'W') + QStringLiteral(" Suite"), QString(45, 'W')},
    };
    for (const auto& [productName, title] : cases)
        EXPECT_EQ(ApplicationTitleFor(productName), title) << productName.toStdString();
}
