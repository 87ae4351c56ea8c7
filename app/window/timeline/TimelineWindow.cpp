#include "app/window/timeline/TimelineWindow.h"

#include "app/core/RowList.h"
#include "app/window/Form1.h"
#include "app/window/RowTableView.h"
#include "app/window/timeline/TimelineChart.h"

#include <QItemSelection>
#include <QLocale>
#include <QVBoxLayout>

TimelineWindow::TimelineWindow(Form1& form) : QWidget(&form, Qt::Window), m_form(form), m_chart(new TimelineChart(this))
{
    setObjectName(QStringLiteral("TimelineWindow"));
    setWindowTitle(QStringLiteral("Timeline"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program, whether the timeline is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chart);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TimelineWindow::Refresh);
    connect(m_chart, &TimelineChart::SlotsPicked, this, &TimelineWindow::SelectSlots);
    ConnectToList();
    Refresh();
}

void TimelineWindow::ConnectToList()
{
    RowList& rows = m_form.ResultRows();
    connect(&rows, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int) {
        RefreshSoon(static_cast<size_t>(first) < m_days.size());
    });
    const auto allRows = [this] { RefreshSoon(true); };
    connect(&rows, &QAbstractItemModel::rowsRemoved, this, allRows);
    connect(&rows, &QAbstractItemModel::modelReset, this, allRows);
    connect(&rows, &QAbstractItemModel::layoutChanged, this, allRows);
    // The date column's caption changes with a search's date type.
    const auto caption = [this] { RefreshSoon(false); };
    connect(&rows, &QAbstractItemModel::columnsInserted, this, caption);
    connect(&rows, &QAbstractItemModel::columnsRemoved, this, caption);
}

void TimelineWindow::RefreshSoon(bool allRows)
{
    m_readAllRows = m_readAllRows || allRows;
    m_refreshTimer.start();
}

void TimelineWindow::Refresh()
{
    m_refreshTimer.stop();
    const RowList& rows = m_form.ResultRows();
    if (m_readAllRows || static_cast<size_t>(rows.Count()) < m_days.size())
        m_days.clear();
    m_readAllRows = false;
    AppendTimelineDays(rows, m_days);
    TimelineBins bins = BinDays(m_days, QLocale().firstDayOfWeek());
    QString caption = rows.ColumnCount() >= 2 ? rows.ColumnText(2) : QString();
    if (bins.SlotCount() > 0)
        caption += (caption.isEmpty() ? QString() : QStringLiteral(", ")) + UnitText(bins);
    m_chart->SetBins(std::move(bins), caption);
}

void TimelineWindow::SelectSlots(int firstSlot, int lastSlot)
{
    // Bars drawn before the list's latest change count other rows.
    if (m_refreshTimer.isActive())
        return Refresh();
    RowList& rows = m_form.ResultRows();
    const TimelineBins& bins = m_chart->Bins();
    const int lastColumn = rows.ColumnCount() - 1;
    if (lastColumn < 0)
        return;
    // One range per run of neighbouring rows, each spanning every column.
    QItemSelection selection;
    int runStart = -1;
    const int count = static_cast<int>(m_days.size());
    for (int row = 0; row <= count; ++row) {
        const bool inside = row < count && [&] {
            const int slot = bins.SlotOf(m_days[static_cast<size_t>(row)]);
            return slot >= firstSlot && slot <= lastSlot;
        }();
        if (inside && runStart < 0)
            runStart = row;
        if (!inside && runStart >= 0) {
            selection.append(QItemSelectionRange(rows.index(runStart, 0), rows.index(row - 1, lastColumn)));
            runStart = -1;
        }
    }
    QAbstractItemView* view = m_form.ListView2;
    QItemSelectionModel* model = view->selectionModel();
    // The view works out the area of each changed range row by row; with
    // updates off it repaints once instead.
    view->setUpdatesEnabled(false);
    model->clearSelection();
    model->select(selection, QItemSelectionModel::Select);
    if (!selection.isEmpty())
        model->setCurrentIndex(selection.first().topLeft(), QItemSelectionModel::NoUpdate);
    view->setUpdatesEnabled(true);
    if (!selection.isEmpty())
        view->scrollTo(selection.first().topLeft());
}

void ShowTimeline(Form1& form)
{
    auto* window = form.findChild<TimelineWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new TimelineWindow(form);
    window->show();
    window->raise();
    window->activateWindow();
}
