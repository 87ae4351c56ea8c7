#pragma once

#include <QCursor>
#include <QString>

// Loads a cursor file (.cur) as a pointer, with the hot spot the file names.
// Throws Failure when the file is not a picture Qt can read.
QCursor LoadHandCursor(const QString& path);
