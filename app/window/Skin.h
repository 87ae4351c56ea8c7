#pragma once

#include <QByteArray>

class QWidget;

// Restyles the window with the content of a skin file (a Qt style sheet): the
// window and its option buttons, check boxes, frames and labels take the
// button-face colour, then the style sheet is applied.
void ApplySkinFile(QWidget& window, const QByteArray& skinFile);
