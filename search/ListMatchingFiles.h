#pragma once

class Form1;

// Fills the result list with the files of the last walk whose time falls in
// the range that the "Select Range" options and their pickers give, in walk
// order. Ends early, keeping the rows already added, when the search is
// stopped; a newer run begun meanwhile (inside an event point) makes it end
// without adding anything more.
void ListMatchingFiles(Form1& form, int generation);
