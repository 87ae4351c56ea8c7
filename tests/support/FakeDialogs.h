#pragma once

#include "app/core/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Answers every dialog from queues filled by the test and records what was
// shown. An empty queue answers No, or cancels a picker.
class FakeDialogs : public Dialogs {
public:
    enum class Kind { Message, Question, Warning, FolderPicker, SavePicker };
    struct Shown {
        Kind kind;
        QString title;
        QString text;  // the box text, or a picker's start folder
    };

    void ShowMessage(QWidget* owner, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;
    void ShowWarning(QWidget* owner, const QString& title, const QString& text) override;
    QString PickFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
    QString PickSaveFile(QWidget* owner, const QString& title, const QStringList& filters) override;
    // Answers from saveNames as given: the suffix and the overwrite question are the dialog's own.
    QString PickNewSaveFile(QWidget* owner, const QString& title, const QStringList& filters,
                            const QString& defaultSuffix) override;

    std::deque<bool> answers;          // Yes (true) or No for each question
    std::deque<QString> folders;       // folder picker results
    std::deque<QString> saveNames;     // save dialog results
    std::vector<Shown> shown;
    QStringList lastSaveFilters;
    QString lastDefaultSuffix;

    // Texts of the boxes of one kind, in the order shown.
    QStringList Texts(Kind kind) const;
    QStringList Warnings() const { return Texts(Kind::Warning); }
    QStringList Messages() const { return Texts(Kind::Message); }
};
