#pragma once

#include <QString>

class Dialogs;
class QWidget;

// Asks for one existing folder, opening at startFolder. Returns its path
// without a trailing separator (except the root), or the empty string when
// the user cancelled.
QString BrowseForFolder(Dialogs& dialogs, QWidget* owner, const QString& title, const QString& startFolder);
