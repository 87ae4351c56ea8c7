#include "app/core/ApplicationTitle.h"

#include "app/core/ProductTexts.h"

namespace {
constexpr int kMaxTitleLength = 40;
QString g_applicationTitle;
}  // namespace

QString ApplicationTitleFor(const QString& productName)
{
    QString title = productName;
    do {
        const qsizetype lastBlank = title.lastIndexOf(QLatin1Char(' '));
        if (lastBlank < 0)
            break;
        title.truncate(lastBlank);
    } while (title.size() > kMaxTitleLength);
    return title;
}

void SetApplicationTitle()
{
    g_applicationTitle = ApplicationTitleFor(QString::fromUtf8(Product::kName));
}

QString ApplicationTitle()
{
    return g_applicationTitle;
}
