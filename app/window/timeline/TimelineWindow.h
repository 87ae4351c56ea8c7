#pragma once

#include <QTimer>
#include <QWidget>

#include <vector>

class Form1;
class TimelineChart;

// The "Show Timeline..." window: a chart of the result list by its date
// column, owned by the main window and never modal. It follows the list: any
// change of its rows redraws the chart at the next turn of the event loop. A
// picked bar selects its rows in the result list and scrolls to the first.
class TimelineWindow : public QWidget {
    Q_OBJECT

public:
    explicit TimelineWindow(Form1& form);

    TimelineChart& Chart() { return *m_chart; }

private:
    void ConnectToList();
    // Rows added at the end are read alone; any other change reads them all.
    void RefreshSoon(bool allRows);
    void Refresh();
    void SelectSlots(int firstSlot, int lastSlot);

    Form1& m_form;
    TimelineChart* m_chart;
    QTimer m_refreshTimer;
    // The local day of each row the chart has read, in list order.
    std::vector<qint64> m_days;
    bool m_readAllRows = true;
};

// Shows the timeline window, the one already open if there is one.
void ShowTimeline(Form1& form);
