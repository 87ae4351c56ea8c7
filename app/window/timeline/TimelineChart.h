#pragma once

#include "actions/timeline/TimelineBins.h"

#include <QWidget>

#include <utility>

// The timeline's bar chart, painted as vectors so it stays sharp at any
// device pixel ratio: one bar per slot, the counts on the left axis, the
// periods in the user's locale below, the undated bar first in grey. A bar's
// tool tip tells its period and count; a click picks a bar, a Shift-click
// the run of bars from the last picked one. From the keyboard, Left, Right,
// Home and End move to a bar and Return or Space pick it (Shift extending).
// Assistive technology sees the bars as the items of a list.
class TimelineChart : public QWidget {
    Q_OBJECT

public:
    explicit TimelineChart(QWidget* parent = nullptr);

    // New bars forget the picked ones: their slots mean other periods now.
    void SetBins(TimelineBins bins, const QString& caption);
    const TimelineBins& Bins() const { return m_bins; }
    // The slot under a point, or -1.
    int SlotAt(const QPoint& point) const;
    // The drawn bar of a slot (its full height where the count is small).
    QRectF BarRect(int slot) const;
    QString ToolTipText(int slot) const;
    // Where a slot's period is written below the axis: centred under its bar,
    // but moved inward at the chart's ends so that it shows whole.
    QRectF AxisLabelRect(int slot) const;
    // The bar the keyboard is on, or -1.
    int CurrentSlot() const { return m_current; }
    bool IsPicked(int slot) const { return slot >= m_pickedFirst && slot <= m_pickedLast; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user picked the slots firstSlot to lastSlot.
    void SlotsPicked(int firstSlot, int lastSlot);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The area of the bars, inside the axes' labels.
    QRectF PlotArea() const;
    // The largest value on the count axis and the step between its grid lines.
    std::pair<int, int> CountScale() const;
    void PaintCountAxis(QPainter& painter, const QRectF& plot, int top, int step) const;
    void PaintPeriodAxis(QPainter& painter, const QRectF& plot) const;
    void SetHovered(int slot);
    void SetCurrent(int slot);
    // Picks the slot, or with extend the run from the last picked one.
    void Pick(int slot, bool extend);
    // Tells assistive technology which bar has the focus.
    void TellCurrent();

    TimelineBins m_bins;
    QString m_caption;
    int m_hovered = -1;
    int m_current = -1;
    int m_anchor = -1;
    int m_pickedFirst = -1;
    int m_pickedLast = -1;
};
