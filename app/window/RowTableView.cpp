#include "app/window/RowTableView.h"

#include "app/core/Timestamp.h"

#include <QEvent>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
// Shows its texts whole: a clipped end reads better than a date cut in the
// middle, and the column is made wide enough for it anyway.
class WholeTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideNone;
    }
};
}  // namespace

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

void RowTableView::SetDateColumn(int column)
{
    m_dateColumn = column;
    setItemDelegateForColumn(column, new WholeTextDelegate(this));
}

void RowTableView::SetColumnWidth(int column, int width)
{
    horizontalHeader()->resizeSection(column, column == m_dateColumn ? DateColumnWidth() : width);
}

int RowTableView::DateColumnWidth()
{
    QStyleOptionViewItem item;
    initViewItemOption(&item);
    item.features = QStyleOptionViewItem::HasDisplay;
    int widest = 0;
    // Every month and weekday (22 to 28 of a month), two-digit fields with
    // eights (among the widest digits) and both halves of the day: names of
    // months and days and the AM/PM texts differ in width.
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            for (const QTime time : {QTime(10, 58, 58), QTime(22, 58, 58)}) {
                item.text = LocalDateTimeText(QDate(2088, month, day), time);
                widest = std::max(widest, style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), this).width());
            }
        }
    }
    // A blank's room for ink drawn past the last glyph's advance, as by a
    // bold made up for a fallback font that has none (Japanese "秒").
    return widest + fontMetrics().horizontalAdvance(QLatin1Char(' '));
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
