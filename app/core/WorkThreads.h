#pragma once

// The threads that do file work beside the window's (a copy, a move, a
// search's walk), counted so that the program's end waits for them, but not
// for long: a thread stuck in a system call (a stalled mount) must not hold
// the end, nor run on while what it uses is destroyed, so past a grace of a
// second after the event loop quits the process ends at once.
namespace WorkThreads {
// A work thread is about to start; called on the window's thread.
void Started();
// A work thread has ended its work; called on that thread as its last step.
void Ended();
// Work threads still running, waited for or left behind.
int Running();
// Waits until every work thread has ended, so that what they use may go.
void WaitForAll();
}  // namespace WorkThreads
