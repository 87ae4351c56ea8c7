#include "app/Settings.h"

#include "app/Failure.h"
#include "app/ProductTexts.h"

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
    return store.settings.value(key, defaultValue).toString();
}

void WriteSetting(const QString& key, const QString& value)
{
    Store store;
    store.settings.setValue(key, value);
    store.settings.sync();
    if (store.settings.status() != QSettings::NoError)
        throw Failure(ErrorNumber::PermissionDenied, QStringLiteral("The settings store cannot be written"));
}
