#pragma once

#include <QDateEdit>

// A date picker whose year, shown with four digits, may also be typed with
// two: on leaving the year ("3/5/24" and Tab, Enter, a separator, a click)
// it becomes the nearest year of the century window 1930-2029, where a
// plain date edit would drop it and keep the earlier year.
class DatePicker : public QDateEdit {
    Q_OBJECT

public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void ExpandTwoDigitYear();
};
