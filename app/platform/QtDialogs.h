#pragma once

#include "app/core/Dialogs.h"

// The program's dialogs as Qt shows them.
class QtDialogs : public Dialogs {
public:
    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;
    void ShowWarning(QWidget* owner, const QString& title, const QString& text) override;
    QString PickFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    QString PickSaveFile(QWidget* owner, const QString& title, const QStringList& filters) override;
    QString PickNewSaveFile(QWidget* owner, const QString& title, const QStringList& filters,
                            const QString& defaultSuffix) override;
};
