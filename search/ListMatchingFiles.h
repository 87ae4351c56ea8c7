#pragma once

class Form1;

// Fills the result list with the files of the last walk whose time falls in
// the range that the "Select Range" options and their pickers give, in walk
// order, with one insertion: the list ends empty or complete. A stop, a newer
// run begun inside an event point, or a clearing of the list there leaves it
// empty.
void ListMatchingFiles(Form1& form, int generation);
