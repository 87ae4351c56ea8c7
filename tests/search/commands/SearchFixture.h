#pragma once

#include "app/core/RowList.h"
#include "tests/search/HookedFileSystem.h"
#include "tests/support/FormFixture.h"
#include "tests/support/TestDir.h"

#include <QDateEdit>
#include <QDateTime>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeZone>

#include <functional>
#include <set>

// The real window over a hooked real file system and a temporary tree.
class SearchFixture : public FormFixture {
protected:
    void SetUp() override { MakeForm(&fileSystem); }

    static qint64 Utc(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
    {
        return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc()).toSecsSinceEpoch();
    }
    QString File(const QString& relative, qint64 modified, qint64 accessed = 0)
    {
        const QString path = dir.CreateFile(relative);
        TestDir::SetTimes(path, modified, accessed ? accessed : modified);
        return path;
    }
    void AddFolderRow(const QString& text) { form->FolderRows().Add(text); }
    QString Row(const QString& relative) const { return dir.Path(relative) + QLatin1Char('/'); }

    void Search() { form->PushButton1->click(); }
    std::set<QString> ResultPaths() const
    {
        std::set<QString> paths;
        for (int i = 1; i <= form->ResultRows().Count(); ++i)
            paths.insert(form->ResultRows().Text(i));
        return paths;
    }
    QStringList FolderTexts() const
    {
        QStringList texts;
        for (int i = 1; i <= form->FolderRows().Count(); ++i)
            texts << form->FolderRows().Text(i);
        return texts;
    }
    QStringList Columns() const
    {
        QStringList captions;
        for (int c = 1; c <= form->ResultRows().ColumnCount(); ++c)
            captions << form->ResultRows().ColumnText(c);
        return captions;
    }
    // Runs on the window's thread and waits for it (from the worker).
    void OnWindowThread(const std::function<void()>& action)
    {
        QMetaObject::invokeMethod(form.get(), action, Qt::BlockingQueuedConnection);
    }

    HookedFileSystem fileSystem;
    TestDir dir;
};
