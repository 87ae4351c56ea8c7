#pragma once

class CommandWindow;
class RowList;
class SearchControls;
class SearchState;
class WalkJob;
struct Seams;

// "Start Searching" and, while a search runs, "Stop": walks the listed
// folders and lists the files whose chosen date falls in the chosen range.
class SearchCommand {
public:
    // What a search works with: the two lists, the state kept between
    // searches, the seams, the window and its controls.
    struct Parts {
        RowList& folders;
        RowList& results;
        SearchState& state;
        Seams& seams;
        CommandWindow& window;
        SearchControls& controls;
    };

    explicit SearchCommand(const Parts& parts) : m_parts(parts) {}

    // The click: starts a search, or stops the one running.
    void Run();

    // The window asks to close: a running walk is abandoned at once.
    void CloseRequested();
    // Another date type was chosen: the walk records it from the next file on.
    void DateTypeChanged();

private:
    const Parts m_parts;
    // Set while this click's search runs (not while it stops another).
    bool m_running = false;
};
