#pragma once

// The points where long loops let the window process pending events, so it
// repaints and clicks go through while a command works.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Lets the window process its pending events. Returns false once the
    // program is closing: the loop then ends after the work in hand.
    bool Point()
    {
        if (!m_closing)
            ProcessEvents();
        return !m_closing;
    }

    void RequestClose() { m_closing = true; }
    bool Closing() const { return m_closing; }

protected:
    virtual void ProcessEvents() = 0;

private:
    bool m_closing = false;
};
