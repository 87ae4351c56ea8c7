#include "tests/support/FakeDialogs.h"

void FakeDialogs::ShowMessage(QWidget*, const QString& title, const QString& text)
{
    shown.push_back({Kind::Message, title, text});
}

bool FakeDialogs::AskYesNo(QWidget*, const QString& title, const QString& text)
{
    shown.push_back({Kind::Question, title, text});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeDialogs::ShowWarning(QWidget*, const QString& title, const QString& text)
{
    shown.push_back({Kind::Warning, title, text});
}

QString FakeDialogs::PickFolder(QWidget*, const QString& title, const QString& startFolder)
{
    shown.push_back({Kind::FolderPicker, title, startFolder});
    if (folders.empty())
        return {};
    const QString folder = folders.front();
    folders.pop_front();
    return folder;
}

QString FakeDialogs::PickSaveFile(QWidget*, const QString& title, const QStringList& filters)
{
    shown.push_back({Kind::SavePicker, title, {}});
    lastSaveFilters = filters;
    if (saveNames.empty())
        return {};
    const QString name = saveNames.front();
    saveNames.pop_front();
    return name;
}

QString FakeDialogs::PickNewSaveFile(QWidget* owner, const QString& title, const QStringList& filters,
                                     const QString& defaultSuffix)
{
    lastDefaultSuffix = defaultSuffix;
    return PickSaveFile(owner, title, filters);
}

QStringList FakeDialogs::Texts(Kind kind) const
{
    QStringList texts;
    for (const Shown& box : shown) {
        if (box.kind == kind)
            texts << box.text;
    }
    return texts;
}
