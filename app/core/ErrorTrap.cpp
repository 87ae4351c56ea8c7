#include "app/core/ErrorTrap.h"

#include "app/core/ApplicationError.h"

ErrorTrap::ErrorTrap(Dialogs& dialogs, QWidget* owner, QString locationTag)
    : m_dialogs(dialogs), m_owner(owner), m_locationTag(std::move(locationTag))
{
}

void ErrorTrap::Report(int number, const QString& description)
{
    ++m_failures;
    ShowApplicationError(m_dialogs, m_owner, description, m_locationTag, number,
                         m_fileText ? &*m_fileText : nullptr);
}
