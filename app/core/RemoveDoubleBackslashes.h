#pragma once

#include <QString>

// Collapses doubled separators in one left-to-right pass over non-overlapping
// pairs (a run of n becomes n/2 rounded up). A leading run of any length
// becomes the platform's leading form: "/" on Linux, "\\" on Windows.
QString RemoveDoubleBackslashes(const QString& path);
