#include "app/window/timeline/TimelineChart.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QColor kBarColor(70, 130, 180);
const QColor kPickedColor(230, 126, 34);
// Space between bars, as a share of a slot.
constexpr double kGapShare = 0.2;
// A bar is never wider than this many characters, however few the bars.
constexpr double kWidestBarCharacters = 6.0;
// A bar that counts at least one row is never thinner than this.
constexpr double kShortestBar = 2.0;

// One bar as an item of the chart's list: its period and count as name, and
// whether the keyboard is on it and whether it is picked.
class BarAccessible : public QAccessibleInterface {
public:
    BarAccessible(TimelineChart* chart, int slot) : m_chart(chart), m_slot(slot) {}

    bool isValid() const override { return m_chart && m_slot < m_chart->Bins().SlotCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_chart ? m_chart->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_chart); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && isValid() ? m_chart->ToolTipText(m_slot) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        // A bar that counts nothing still has its place on the axis.
        QRect bar = m_chart->BarRect(m_slot).toAlignedRect();
        bar.setTop(std::min(bar.top(), bar.bottom() - 1));
        return QRect(m_chart->mapToGlobal(bar.topLeft()), bar.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.focusable = true;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selected = m_chart->IsPicked(m_slot);
        state.focused = m_chart->hasFocus() && m_chart->CurrentSlot() == m_slot;
        return state;
    }
    int Slot() const { return m_slot; }

private:
    QPointer<TimelineChart> m_chart;
    int m_slot;
};

// The chart as a list whose items are its bars, one per slot.
class ChartAccessible : public QAccessibleWidget {
public:
    explicit ChartAccessible(TimelineChart* chart) : QAccessibleWidget(chart, QAccessible::List) {}
    ~ChartAccessible() override
    {
        for (const QAccessible::Id id : m_bars)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Chart()->Bins().SlotCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // The bridge keeps a child by its id, so each slot keeps one interface.
        while (m_bars.size() <= static_cast<size_t>(index))
            m_bars.push_back(QAccessible::registerAccessibleInterface(
                new BarAccessible(Chart(), static_cast<int>(m_bars.size()))));
        return QAccessible::accessibleInterface(m_bars[static_cast<size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* bar = dynamic_cast<const BarAccessible*>(child);
        return bar && bar->parent() && bar->parent()->object() == object() ? bar->Slot() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(Chart()->SlotAt(Chart()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override
    {
        return Chart()->hasFocus() ? child(Chart()->CurrentSlot()) : nullptr;
    }

private:
    TimelineChart* Chart() const { return static_cast<TimelineChart*>(widget()); }

    mutable std::vector<QAccessible::Id> m_bars;
};

QAccessibleInterface* ChartAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TimelineChart") && object && object->isWidgetType())
        return new ChartAccessible(static_cast<TimelineChart*>(object));
    return nullptr;
}
}  // namespace

TimelineChart::TimelineChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TimelineChart"));
    static const bool accessible = (QAccessible::installFactory(ChartAccessibleFactory), true);
    Q_UNUSED(accessible);
    setAccessibleName(QStringLiteral("Timeline"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void TimelineChart::SetBins(TimelineBins bins, const QString& caption)
{
    m_bins = std::move(bins);
    m_caption = caption;
    setAccessibleDescription(caption);
    m_hovered = -1;
    m_current = std::min(m_current, m_bins.SlotCount() - 1);
    m_anchor = -1;
    m_pickedFirst = -1;
    m_pickedLast = -1;
    update();
    QAccessibleEvent changed(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
}

QSize TimelineChart::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 140, fontMetrics().height() * 28};
}

QSize TimelineChart::minimumSizeHint() const
{
    return {fontMetrics().averageCharWidth() * 40, fontMetrics().height() * 10};
}

std::pair<int, int> TimelineChart::CountScale() const
{
    const int largest = m_bins.counts.empty() ? 0 : *std::max_element(m_bins.counts.begin(), m_bins.counts.end());
    // Grid lines 1, 2 or 5 times a power of ten apart, at most four steps up to the largest count.
    int step = 1;
    for (int power = 1; step * 4 < largest; power *= 10) {
        for (const int multiple : {1, 2, 5}) {
            step = power * multiple;
            if (step * 4 >= largest)
                break;
        }
    }
    const int top = std::max(step, (largest + step - 1) / step * step);
    return {top, step};
}

QRectF TimelineChart::PlotArea() const
{
    const QFontMetricsF metrics(font());
    const QLocale locale;
    const double countWidth = metrics.horizontalAdvance(locale.toString(CountScale().first));
    const double left = countWidth + metrics.averageCharWidth() * 2;
    const double top = metrics.height();
    const double bottom = metrics.height() * 3.5;
    const double right = metrics.averageCharWidth() * 3;
    return QRectF(left, top, std::max(1.0, width() - left - right), std::max(1.0, height() - top - bottom));
}

QRectF TimelineChart::BarRect(int slot) const
{
    const QRectF plot = PlotArea();
    const int slotCount = m_bins.SlotCount();
    if (slot < 0 || slot >= slotCount)
        return {};
    const double slotWidth = plot.width() / slotCount;
    const double barWidth =
        std::clamp(slotWidth * (1.0 - kGapShare), 1.0, fontMetrics().averageCharWidth() * kWidestBarCharacters);
    const int count = m_bins.counts[static_cast<size_t>(slot)];
    double barHeight = plot.height() * count / CountScale().first;
    if (count > 0)
        barHeight = std::max(barHeight, kShortestBar);
    const double left = plot.left() + slotWidth * slot + (slotWidth - barWidth) / 2;
    return QRectF(left, plot.bottom() - barHeight, barWidth, barHeight);
}

int TimelineChart::SlotAt(const QPoint& point) const
{
    const QRectF plot = PlotArea();
    const int slotCount = m_bins.SlotCount();
    if (slotCount == 0 || point.x() < plot.left() || point.x() >= plot.right() || point.y() < plot.top()
        || point.y() > plot.bottom())
        return -1;
    return std::clamp(static_cast<int>((point.x() - plot.left()) * slotCount / plot.width()), 0, slotCount - 1);
}

QString TimelineChart::ToolTipText(int slot) const
{
    if (slot < 0 || slot >= m_bins.SlotCount())
        return {};
    const QLocale locale;
    const int count = m_bins.counts[static_cast<size_t>(slot)];
    return SlotPeriodText(m_bins, slot, locale) + QStringLiteral(": ") + locale.toString(count)
        + (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files"));
}

QRectF TimelineChart::AxisLabelRect(int slot) const
{
    if (slot < 0 || slot >= m_bins.SlotCount())
        return {};
    const QRectF plot = PlotArea();
    const QFontMetricsF metrics(font());
    const double textWidth = metrics.horizontalAdvance(SlotAxisText(m_bins, slot, QLocale()));
    const double centre = plot.left() + plot.width() / m_bins.SlotCount() * (slot + 0.5);
    const double left = std::clamp(centre - textWidth / 2, 0.0, std::max(0.0, width() - textWidth));
    return QRectF(left, plot.bottom() + metrics.height() * 0.25, textWidth, metrics.height());
}

bool TimelineChart::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int slot = SlotAt(help->pos());
        if (slot < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), ToolTipText(slot), this, BarRect(slot).toAlignedRect());
        }
        return true;
    }
    return QWidget::event(event);
}

void TimelineChart::mousePressEvent(QMouseEvent* event)
{
    const int slot = SlotAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || slot < 0)
        return QWidget::mousePressEvent(event);
    SetCurrent(slot);
    Pick(slot, event->modifiers() & Qt::ShiftModifier);
}

void TimelineChart::keyPressEvent(QKeyEvent* event)
{
    const int slotCount = m_bins.SlotCount();
    const int current = std::max(m_current, 0);
    switch (event->key()) {
    case Qt::Key_Left:
        SetCurrent(current - 1);
        break;
    case Qt::Key_Right:
        SetCurrent(m_current + 1);
        break;
    case Qt::Key_Home:
        SetCurrent(0);
        break;
    case Qt::Key_End:
        SetCurrent(slotCount - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (slotCount > 0) {
            SetCurrent(current);
            Pick(current, event->modifiers() & Qt::ShiftModifier);
        }
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
}

void TimelineChart::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_current < 0)
        m_current = m_pickedFirst >= 0 ? m_pickedFirst : std::min(0, m_bins.SlotCount() - 1);
    update();
    TellCurrent();
}

void TimelineChart::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TimelineChart::SetCurrent(int slot)
{
    slot = std::clamp(slot, std::min(0, m_bins.SlotCount() - 1), m_bins.SlotCount() - 1);
    if (slot == m_current)
        return;
    m_current = slot;
    update();
    TellCurrent();
}

void TimelineChart::TellCurrent()
{
    if (!hasFocus() || m_current < 0)
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(m_current);
    QAccessible::updateAccessibility(&focus);
}

void TimelineChart::Pick(int slot, bool extend)
{
    if (!extend || m_anchor < 0)
        m_anchor = slot;
    m_pickedFirst = std::min(m_anchor, slot);
    m_pickedLast = std::max(m_anchor, slot);
    update();
    emit SlotsPicked(m_pickedFirst, m_pickedLast);
}

void TimelineChart::mouseMoveEvent(QMouseEvent* event)
{
    SetHovered(SlotAt(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TimelineChart::leaveEvent(QEvent* event)
{
    SetHovered(-1);
    QWidget::leaveEvent(event);
}

void TimelineChart::SetHovered(int slot)
{
    if (slot == m_hovered)
        return;
    m_hovered = slot;
    update();
}

void TimelineChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plot = PlotArea();
    if (m_bins.SlotCount() == 0) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No files listed."));
        return;
    }
    const auto [top, step] = CountScale();
    PaintCountAxis(painter, plot, top, step);
    for (int slot = 0; slot < m_bins.SlotCount(); ++slot) {
        QColor color = m_bins.IsUndatedSlot(slot) ? palette().color(QPalette::Mid) : kBarColor;
        if (IsPicked(slot))
            color = kPickedColor;
        if (slot == m_hovered)
            color = color.lighter(125);
        painter.fillRect(BarRect(slot), color);
    }
    if (hasFocus() && m_current >= 0) {
        // The keyboard's bar: a frame around its whole column.
        const double slotWidth = plot.width() / m_bins.SlotCount();
        QPen pen(palette().color(QPalette::Highlight), 2);
        pen.setStyle(Qt::DashLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(plot.left() + slotWidth * m_current, plot.top(), slotWidth, plot.height()).adjusted(1, 1, -1, 0));
    }
    PaintPeriodAxis(painter, plot);
}

void TimelineChart::PaintCountAxis(QPainter& painter, const QRectF& plot, int top, int step) const
{
    const QLocale locale;
    const QFontMetricsF metrics(font());
    QPen grid(palette().color(QPalette::Midlight));
    grid.setCosmetic(true);
    for (int value = 0; value <= top; value += step) {
        const double y = plot.bottom() - plot.height() * value / top;
        painter.setPen(value == 0 ? palette().color(QPalette::Text) : grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(palette().color(QPalette::Text));
        const QRectF label(0, y - metrics.height() / 2, plot.left() - metrics.averageCharWidth(), metrics.height());
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter, locale.toString(value));
    }
}

void TimelineChart::PaintPeriodAxis(QPainter& painter, const QRectF& plot) const
{
    const QLocale locale;
    const QFontMetricsF metrics(font());
    const int slotCount = m_bins.SlotCount();
    const double slotWidth = plot.width() / slotCount;
    painter.setPen(palette().color(QPalette::Text));
    // Labels as wide as the widest one, on every n-th bar so they never overlap.
    double widest = 0;
    for (int slot = 0; slot < slotCount; ++slot)
        widest = std::max(widest, metrics.horizontalAdvance(SlotAxisText(m_bins, slot, locale)));
    const int every = std::max(1, static_cast<int>(std::ceil((widest + metrics.averageCharWidth() * 2) / slotWidth)));
    const auto label = [&](int slot) {
        painter.drawText(AxisLabelRect(slot), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
                         SlotAxisText(m_bins, slot, locale));
    };
    int slot = 0;
    if (m_bins.undated > 0) {
        label(0);
        slot = every;
    }
    for (; slot < slotCount; slot += every)
        label(slot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + metrics.height() * 1.75, plot.width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, m_caption);
}
