#include "app/core/ApplicationError.h"

#include "app/core/Dialogs.h"
#include "app/core/ProductTexts.h"

namespace {
constexpr char kTitle[] = "Application Error";
}

QString ApplicationErrorText(const QString& description, const QString& locationTag, int line,
                             const QString* fileText)
{
    QString text = description + QStringLiteral("\r\n") + locationTag + QStringLiteral("at line ")
        + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + QLatin1String(Product::kSupportEmail);
    if (fileText)
        text += QStringLiteral("\r\rFile: ") + *fileText;
    return text;
}

void ShowApplicationError(Dialogs& dialogs, QWidget* owner, const QString& description,
                          const QString& locationTag, int line, const QString* fileText)
{
    dialogs.ShowWarning(owner, QLatin1String(kTitle),
                        ApplicationErrorText(description, locationTag, line, fileText));
}
