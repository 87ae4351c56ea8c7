#include "app/core/MousePointer.h"
#include "app/window/RowTableView.h"
#include "tests/app/window/CursorFile.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
// The real window, shown offscreen, with the hand cursor beside the program
// unless a test asks for an empty program folder.
class MousePointerTest : public FormFixture {
protected:
    void Show(bool withCursorFile = true)
    {
        if (withCursorFile)
            programFolder.CreateFile(QStringLiteral("HAND-M.CUR"), TinyCursorFile(3, 5));
        MakeForm(nullptr, programFolder.Path());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void MoveOver(QWidget* widget, QPoint at)
    {
        // The offscreen screen is narrower than the window: the focus scrolls a control into view first.
        QWidget* focusable = widget;
        while (focusable != form.get() && focusable->focusPolicy() == Qt::NoFocus)
            focusable = focusable->parentWidget();
        if (focusable != form.get())
            focusable->setFocus();
        QTest::mouseMove(widget, at);
    }
    void MoveOver(QWidget* widget) { MoveOver(widget, widget->rect().center()); }
    // Over the window and inside each frame, at a point no control covers.
    void MoveOverWindow() { MoveOver(form.get(), BlankPoint(form.get(), 60, 60)); }
    void MoveOverFrame(QGroupBox* frame) { MoveOver(frame, BlankPoint(frame, 7300, frame->height() > 100 ? 1100 : 400)); }
    QPoint BlankPoint(QWidget* widget, int leftTwips, int topTwips)
    {
        const QPoint point(form->Twips(leftTwips), form->Twips(topTwips));
        EXPECT_EQ(widget->childAt(point), nullptr) << widget->objectName().toStdString();
        return point;
    }
    QList<QPushButton*> Buttons() const { return form->findChildren<QPushButton*>(); }
    std::vector<QWidget*> Neutral() const
    {
        return {form->Option1, form->Option3, form->Option4, form->Option7, form->Label1,
                form->DTPicker1, form->DTPicker4, form->DTPicker5};
    }

    TestDir programFolder;
};

TEST_F(MousePointerTest, HandOverEveryButtonArrowOverWindowFramesAndLists)
{
    Show();
    ASSERT_EQ(Buttons().size(), 10);
    for (QPushButton* button : Buttons()) {
        MoveOverWindow();
        EXPECT_EQ(form->MousePointer(), MousePointer::Default);
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
        MoveOver(button);
        EXPECT_EQ(form->MousePointer(), MousePointer::Custom) << button->objectName().toStdString();
        EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(form->cursor().hotSpot(), QPoint(3, 5));
    }
    const QImage picture = form->cursor().pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(16, 16));
    EXPECT_EQ(picture.pixelColor(2, 8), QColor(0, 0, 255));
    EXPECT_EQ(picture.pixelColor(12, 8).alpha(), 0);
    auto backToArrow = [&](const char* where, auto move) {
        MoveOver(form->PushButton1);
        move();
        EXPECT_EQ(form->MousePointer(), MousePointer::Default) << where;
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor) << where;
    };
    backToArrow("Frame1", [&] { MoveOverFrame(form->Frame1); });
    backToArrow("Frame2", [&] { MoveOverFrame(form->Frame2); });
    backToArrow("ListView1", [&] { MoveOver(form->ListView1->viewport()); });
    backToArrow("ListView2", [&] { MoveOver(form->ListView2->viewport()); });
}

TEST_F(MousePointerTest, OptionsLabelAndPickersKeepWhateverWasLastSet)
{
    Show();
    for (int pointer : {MousePointer::Custom, MousePointer::Default}) {
        if (pointer == MousePointer::Custom)
            MoveOver(form->PushButton9);
        else
            MoveOverWindow();
        for (QWidget* widget : Neutral()) {
            MoveOver(widget);
            EXPECT_EQ(form->MousePointer(), pointer) << widget->objectName().toStdString();
        }
    }
}

TEST_F(MousePointerTest, HoveringNeverReplacesTheHourglass)
{
    Show();
    form->SetMousePointer(MousePointer::Hourglass);
    std::vector<QWidget*> everywhere = Neutral();
    const QList<QPushButton*> buttons = Buttons();
    everywhere.insert(everywhere.end(), buttons.begin(), buttons.end());
    everywhere.push_back(form->ListView1->viewport());
    everywhere.push_back(form->ListView2->viewport());
    for (QWidget* widget : everywhere) {
        MoveOver(widget);
        EXPECT_EQ(form->MousePointer(), MousePointer::Hourglass) << widget->objectName().toStdString();
    }
    MoveOverFrame(form->Frame1);
    MoveOverFrame(form->Frame2);
    MoveOverWindow();
    EXPECT_EQ(form->MousePointer(), MousePointer::Hourglass);
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);

    // Once the command sets the default again, hovering works as before.
    form->SetMousePointer(MousePointer::Default);
    MoveOver(form->PushButton5);
    EXPECT_EQ(form->MousePointer(), MousePointer::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MousePointerTest, WithoutTheCursorFileTheCustomPointerIsTheArrow)
{
    Show(false);
    MoveOver(form->PushButton7);
    EXPECT_EQ(form->MousePointer(), MousePointer::Custom);
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(dialogs.shown.empty());
}
}  // namespace
