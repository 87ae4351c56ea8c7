#pragma once

#include <QCursor>
#include <QByteArray>

// The pointer in a cursor file's content (.cur), with the hot spot the file
// names. Throws Failure when the content is not a picture Qt can read.
QCursor LoadHandCursor(const QByteArray& data);
