#pragma once

#include <QString>

class Dialogs;
class QWidget;

// The text of the "Application Error" box: the description, CR LF, the
// location tag, "at line " and the step number, CR CR and the support line;
// when fileText is given, CR CR, "File: " and that text follow.
QString ApplicationErrorText(const QString& description, const QString& locationTag, int line,
                             const QString* fileText = nullptr);

// Shows the "Application Error" box (warning icon, one OK button).
void ShowApplicationError(Dialogs& dialogs, QWidget* owner, const QString& description,
                          const QString& locationTag, int line, const QString* fileText = nullptr);
