#pragma once

class QString;
class QWidget;

// What a command asks of the window it runs for, and nothing more: the owner
// of its boxes, the mouse pointer, the caption, and the mark of a long command.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;

    // The window the command's boxes belong to.
    virtual QWidget* Owner() = 0;

    virtual int MousePointer() const = 0;
    virtual void SetMousePointer(int value) = 0;

    // Caption set to the product name, the application icon, the application title.
    virtual void RefreshTitle() = 0;
    virtual void SetCaption(const QString& caption) = 0;

    // A command that lets the window process events while it works begins
    // and ends; the pairs nest (see LongCommand).
    virtual void BeginLongCommand() = 0;
    virtual void EndLongCommand() = 0;
};

// Marks a command that lets the window process events while it works, for as
// long as it lives. A close that arrives meanwhile ends it at its next event
// point; the window closes when the last such command has returned. A command
// started while another shows the hourglass leaves that hourglass in place.
class LongCommand {
public:
    explicit LongCommand(CommandWindow& window) : m_window(window) { m_window.BeginLongCommand(); }
    ~LongCommand() { m_window.EndLongCommand(); }
    LongCommand(const LongCommand&) = delete;
    LongCommand& operator=(const LongCommand&) = delete;

private:
    CommandWindow& m_window;
};
