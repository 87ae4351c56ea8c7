#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every modal dialog of the program. The real implementation shows Qt dialogs;
// tests answer from a script and record what was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A box with one OK button and no icon.
    virtual void ShowMessage(QWidget* owner, const QString& title, const QString& text) = 0;
    // A box with Yes and No buttons and no icon; true when the answer is Yes.
    virtual bool AskYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
    // A box with the warning icon and one OK button.
    virtual void ShowWarning(QWidget* owner, const QString& title, const QString& text) = 0;
    // A chooser of existing folders, opening at startFolder when that exists.
    // Returns the chosen folder's path, or the empty string when cancelled.
    virtual QString PickFolder(QWidget* owner, const QString& title, const QString& startFolder) = 0;
    // A save dialog with the given name filters, no default extension and no
    // overwrite prompt of its own. Returns the chosen path, or the empty string.
    virtual QString PickSaveFile(QWidget* owner, const QString& title, const QStringList& filters) = 0;
    // A save dialog that adds defaultSuffix (without its dot) to a name chosen
    // without one and asks by itself before an existing file is replaced.
    // Returns the chosen path, or the empty string.
    virtual QString PickNewSaveFile(QWidget* owner, const QString& title, const QStringList& filters,
                                    const QString& defaultSuffix) = 0;
};
