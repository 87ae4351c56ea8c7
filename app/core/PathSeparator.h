#pragma once

#include <QChar>
#include <QString>

// The native path separator, and what a leading run of separators stands for:
// a network share ("\\") on Windows, the root ("/") elsewhere.
#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = QLatin1Char('\\');
inline constexpr int kLeadingSeparators = 2;
#else
inline constexpr QChar kPathSeparator = QLatin1Char('/');
inline constexpr int kLeadingSeparators = 1;
#endif

// The path with one separator at its end, added when missing.
inline QString WithTrailingSeparator(const QString& path)
{
    return path.endsWith(kPathSeparator) ? path : path + kPathSeparator;
}
