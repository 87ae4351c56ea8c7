#include "app/core/RemoveDoubleBackslashes.h"

#include "app/core/PathSeparator.h"

namespace {
QString CollapsePairs(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == kPathSeparator && i + 1 < text.size() && text[i + 1] == kPathSeparator)
            ++i;
    }
    return result;
}
}  // namespace

QString RemoveDoubleBackslashes(const QString& path)
{
    if (!path.startsWith(kPathSeparator))
        return CollapsePairs(path);
    qsizetype rest = 1;
    while (rest < path.size() && path[rest] == kPathSeparator)
        ++rest;
    return QString(kLeadingSeparators, kPathSeparator) + CollapsePairs(QStringView(path).mid(rest));
}
