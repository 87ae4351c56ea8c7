#pragma once

class QLocale;
class QTranslator;

// Installs Qt's own translations (the message boxes' buttons, the file
// dialogs) for the locale from Qt's translations folder. The program's own
// texts are not translated. Returns the installed translator, owned by the
// application, or nullptr where Qt has none for the locale.
QTranslator* InstallQtTranslations(const QLocale& locale);
