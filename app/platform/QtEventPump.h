#pragma once

#include "app/core/EventPump.h"

#include <QElapsedTimer>

// Processes the window's events at most about every 10 ms of work, so a pump
// point costs a clock read and no event waits long.
class QtEventPump : public EventPump {
public:
    QtEventPump();

protected:
    void ProcessEvents() override;

private:
    QElapsedTimer m_sinceLast;
};
