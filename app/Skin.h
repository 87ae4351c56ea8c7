#pragma once

#include <QString>

class QWidget;

// Restyles the window with a skin file (a Qt style sheet): the window and its
// option buttons, check boxes, frames and labels take the button-face colour,
// then the style sheet is applied. Throws Failure when the file cannot be read.
void ApplySkinFile(QWidget& window, const QString& skinPath);
