#pragma once

class CommandWindow;
class EventPump;
class RowList;
class SearchControls;
class SearchState;

// Fills the result list with the files of the last walk whose time falls in
// the range that the "Select Range" options and their pickers give, in walk
// order, with one insertion: the list ends empty or complete. The pickers'
// days are read again after each event point, so a change made there counts
// from the next file on. A stop, a newer run begun inside an event point, or
// a clearing of the list there leaves it empty.
void ListMatchingFiles(SearchState& state, RowList& results, const SearchControls& controls, EventPump& pump,
                       CommandWindow& window, int generation);
