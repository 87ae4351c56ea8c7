#pragma once

#include <QString>

// The state of the search command, kept for the window's lifetime and
// overwritten by each run.
class SearchState {
public:
    bool StopSearch = false;
    QString SavedStartCaption;
};
