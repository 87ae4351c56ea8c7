#include "app/window/timeline/TimelineChart.h"

#include <QHelpEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
const QColor kBarColor(70, 130, 180);
const QColor kPickedColor(230, 126, 34);
// Space between bars, as a share of a slot.
constexpr double kGapShare = 0.2;
// A bar is never wider than this many characters, however few the bars.
constexpr double kWidestBarCharacters = 6.0;
// A bar that counts at least one row is never thinner than this.
constexpr double kShortestBar = 2.0;
}  // namespace

TimelineChart::TimelineChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TimelineChart"));
    setMouseTracking(true);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void TimelineChart::SetBins(TimelineBins bins, const QString& caption)
{
    m_bins = std::move(bins);
    m_caption = caption;
    m_hovered = -1;
    m_anchor = -1;
    m_pickedFirst = -1;
    m_pickedLast = -1;
    update();
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
    if (!(event->modifiers() & Qt::ShiftModifier) || m_anchor < 0)
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
        if (slot >= m_pickedFirst && slot <= m_pickedLast)
            color = kPickedColor;
        if (slot == m_hovered)
            color = color.lighter(125);
        painter.fillRect(BarRect(slot), color);
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
