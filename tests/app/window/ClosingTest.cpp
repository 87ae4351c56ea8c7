#include "app/core/RowList.h"
#include "tests/support/FormFixture.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

namespace {
class ClosingTest : public FormFixture {
protected:
    void SetUp() override
    {
        MakeForm();
        form->ResultRows().Add(QStringLiteral("/data/listed.txt"), 1'600'000'000);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    // A long command's loop: one unit of work, then an event point, until the
    // point says the program is closing. Returns the units done.
    int RunLongCommand(int units)
    {
        LongCommand guard(*form);
        int done = 0;
        while (done < units) {
            ++done;
            if (!pump.Point())
                break;
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->isVisible()) << "the window stays while a command winds up";
        return done;
    }
};

TEST_F(ClosingTest, WithNothingRunningTheWindowClosesAtOnceWithoutAQuestion)
{
    QSignalSpy closeRequests(form.get(), &Form1::CloseRequested);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(pump.Closing());
    EXPECT_EQ(closeRequests.count(), 0);
}

TEST_F(ClosingTest, ACloseDuringALongCommandEndsItAtTheNextPointThenCloses)
{
    QSignalSpy closeRequests(form.get(), &Form1::CloseRequested);
    bool closeAccepted = true;
    pump.hook = [&](int point) {
        if (point == 3)
            closeAccepted = form->close();
    };
    EXPECT_EQ(RunLongCommand(10), 3);
    EXPECT_FALSE(closeAccepted);
    EXPECT_EQ(closeRequests.count(), 1);
    EXPECT_TRUE(pump.Closing());

    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ClosingTest, ANestedCommandEndingDoesNotCloseWhileTheOuterOneRuns)
{
    // A click at the outer command's second point runs a second long command
    // inside it, and the close arrives during that one.
    bool inInner = false;
    int innerDone = 0;
    pump.hook = [&](int point) {
        if (inInner) {
            form->close();
        } else if (point == 2) {
            inInner = true;
            innerDone = RunLongCommand(10);
            inInner = false;
        }
    };
    const int outerDone = RunLongCommand(10);
    EXPECT_EQ(innerDone, 1);
    EXPECT_EQ(outerDone, 2);

    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
}
}  // namespace
