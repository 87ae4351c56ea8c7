#include "app/window/RowTableView.h"

#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionViewItem>

RowTableView::RowTableView(QWidget* parent) : QTableView(parent)
{
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // Tab leaves the list for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* rowHeadings = verticalHeader();
    rowHeadings->hide();
    rowHeadings->setSectionResizeMode(QHeaderView::Fixed);
    // The font and style alone set the rows' height (FitRowHeight).
    rowHeadings->setMinimumSectionSize(1);

    // Column headings as a list's: left-aligned captions, none drawn as
    // selected when rows are.
    QHeaderView* headings = horizontalHeader();
    headings->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    headings->setHighlightSections(false);
    FitRowHeight();
    PaintBlankHeadingAsHeadings();
}

void RowTableView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitRowHeight();
    if (event->type() == QEvent::PaletteChange)
        PaintBlankHeadingAsHeadings();
}

QModelIndex RowTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

void RowTableView::FitRowHeight()
{
    QStyleOptionViewItem item;
    initViewItemOption(&item);
    item.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
    item.text = QStringLiteral("Xg");
    const int height = style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), this).height();
    QHeaderView* rowHeadings = verticalHeader();
    // Changing it visits every row; most style changes leave it as it is.
    if (height == rowHeadings->defaultSectionSize())
        return;
    rowHeadings->setDefaultSectionSize(height);
}

void RowTableView::PaintBlankHeadingAsHeadings()
{
    QHeaderView* headings = horizontalHeader();
    QPalette face = headings->palette();
    face.setColor(QPalette::Window, palette().color(QPalette::Button));
    headings->setPalette(face);
}
