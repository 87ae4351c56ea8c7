#pragma once

#include <QString>
#include <QStringList>

// Files a command could not handle, each with the reason, told in one box.
// Without a reason it names the files a command did handle.
class FileFailures {
public:
    void Add(const QString& path, const QString& reason = {});
    int Count() const { return m_count; }
    // The heading, then the first few files with their reasons, and how many more.
    QString Text(const QString& heading) const;

private:
    static constexpr int kNamed = 5;
    QStringList m_named;
    int m_count = 0;
};
