#pragma once

class Dialogs;
class EventPump;
class FileSystem;
class Shell;

// The program's ways out to the user and the system; tests pass doubles.
struct Seams {
    FileSystem& fileSystem;
    Dialogs& dialogs;
    Shell& shell;
    EventPump& pump;
};
