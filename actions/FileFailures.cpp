#include "actions/FileFailures.h"

void FileFailures::Add(const QString& path, const QString& reason)
{
    if (m_named.size() < kNamed)
        m_named << (reason.isEmpty() ? path : path + QStringLiteral(": ") + reason);
    ++m_count;
}

QString FileFailures::Text(const QString& heading) const
{
    QString text = heading + QStringLiteral("\r\r") + m_named.join(QLatin1Char('\r'));
    if (m_count > m_named.size())
        text += QStringLiteral("\r... and %1 more.").arg(m_count - m_named.size());
    return text;
}
