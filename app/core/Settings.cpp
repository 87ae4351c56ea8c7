#include "app/core/Settings.h"

#include "app/core/Failure.h"
#include "app/core/ProductTexts.h"

#include <QSettings>

namespace {
// The store is opened for each call, so nothing is cached between calls.
struct Store {
    QSettings settings{QSettings::UserScope, QString::fromUtf8(Product::kSettingsApplication),
                       QString::fromUtf8(Product::kName)};
    Store() { settings.beginGroup(QString::fromUtf8(Product::kName)); }
};
}  // namespace

QString ReadSetting(const QString& key, const QString& defaultValue)
{
    Store store;
    const QString value = store.settings.value(key, defaultValue).toString();
    // An absent store reads as empty; one that is there but cannot be opened
    // or parsed gives no answer at all.
    if (store.settings.status() != QSettings::NoError)
        throw Failure(ErrorNumber::PathFileAccessError,
                      QStringLiteral("The settings store cannot be read: %1").arg(store.settings.fileName()));
    return value;
}

void WriteSetting(const QString& key, const QString& value)
{
    {
        Store store;
        store.settings.setValue(key, value);
        store.settings.sync();
    }
    // QSettings keeps only its first error, so a damaged store it has just
    // rewritten looks the same as one it could not write: what counts is
    // what the next reading finds.
    Store written;
    if (written.settings.value(key).toString() != value || written.settings.status() != QSettings::NoError)
        throw Failure(ErrorNumber::PermissionDenied, QStringLiteral("The settings store cannot be written"));
}
