#include "app/window/DatePicker.h"

#include <QKeyEvent>

namespace {
constexpr int kFirstYearOfWindow = 1930;

// Whether an event may end the typing of the year section: any key but a
// digit or a deletion, the loss of focus, a click into another section.
bool EndsTyping(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        const bool digit = key.text().size() == 1 && key.text()[0].isDigit();
        return !digit && key.key() != Qt::Key_Backspace && key.key() != Qt::Key_Delete;
    }
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {}

bool DatePicker::event(QEvent* event)
{
    if (EndsTyping(*event))
        ExpandTwoDigitYear();
    return QDateEdit::event(event);
}

void DatePicker::ExpandTwoDigitYear()
{
    if (currentSection() != YearSection)
        return;
    const QString typed = sectionText(YearSection);
    bool ok = false;
    const int twoDigits = locale().toInt(typed, &ok);
    if (typed.size() != 2 || !ok || twoDigits < 0)
        return;
    const int year = kFirstYearOfWindow + (twoDigits - kFirstYearOfWindow % 100 + 100) % 100;
    // The month and day are those already taken; 29 February becomes the 28th in a common year.
    const QDate taken = date();
    QDate expanded(year, taken.month(), taken.day());
    if (!expanded.isValid())
        expanded = QDate(year, taken.month(), 28);
    setDate(expanded);
}
