#include "app/core/ApplicationError.h"
#include "app/core/ErrorTrap.h"
#include "app/core/Failure.h"
#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

TEST(ApplicationErrorText, PutsThePiecesInOrder)
{
    const QString text = ApplicationErrorText(QStringLiteral("Path not found."),
                                              QStringLiteral("in Brellin2021/08/31.Form1.Form_Load "), 100);
    EXPECT_EQ(text, QStringLiteral("Path not found.\r\nin Brellin2021/08/31.Form1.Form_Load at line 100\r\r"
                                   "Please email screenshot of this message to support@orvanta.example"));
}

TEST(ApplicationErrorText, AppendsTheFileOfTheMoveCommand)
{
    const QString file = QStringLiteral("/data/a.txt");
    const QString text = ApplicationErrorText(QStringLiteral("x"), QStringLiteral("in T "), 126, &file);
    EXPECT_TRUE(text.endsWith(QStringLiteral("support@orvanta.example\r\rFile: /data/a.txt")));
}

TEST(ErrorTrap, ReportsEachFailingStepAndGoesOn)
{
    FakeDialogs dialogs;
    ErrorTrap trap(dialogs, nullptr, QStringLiteral("in Tag "));
    bool third = false;
    trap.Run(100, [] { throw Failure(76, QStringLiteral("Path not found")); });
    trap.Run(102, [] { throw Failure(70, QStringLiteral("Permission denied")); });
    trap.Run(104, [&] { third = true; });
    ASSERT_EQ(dialogs.Warnings().size(), 2);
    EXPECT_TRUE(dialogs.Warnings()[0].contains(QStringLiteral("in Tag at line 100\r\r")));
    EXPECT_TRUE(dialogs.Warnings()[1].startsWith(QStringLiteral("Permission denied\r\nin Tag at line 102")));
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Application Error"));
    EXPECT_TRUE(third);
}

TEST(ErrorTrap, AFailedTestEntersItsBranchUnlessItGuardsAFile)
{
    FakeDialogs dialogs;
    ErrorTrap trap(dialogs, nullptr, QStringLiteral("in Tag "));
    auto failing = []() -> bool { throw Failure(57, QStringLiteral("I/O error")); };
    EXPECT_TRUE(trap.Test(120, failing));
    EXPECT_FALSE(trap.Test(122, failing, false));
    EXPECT_EQ(trap.FailureCount(), 2);
}
