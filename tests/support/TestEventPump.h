#pragma once

#include "app/core/EventPump.h"

#include <QCoreApplication>

#include <functional>

// Counts the event points of long loops, processes pending events at each and
// runs the hook there, so a test can click in the middle of a command.
class TestEventPump : public EventPump {
public:
    // Called with the 1-based number of each point.
    std::function<void(int point)> hook;
    int points = 0;

protected:
    void ProcessEvents() override
    {
        ++points;
        QCoreApplication::processEvents();
        if (hook)
            hook(points);
    }
};
