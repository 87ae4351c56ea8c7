#include "app/platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator* InstallQtTranslations(const QLocale& locale)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    // "qt" gathers the catalogues of every Qt module the program uses.
    if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}
