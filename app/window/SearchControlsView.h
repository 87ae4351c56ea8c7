#pragma once

#include "search/SearchControls.h"

class Form1;

// The search's controls as the window shows them: "Start Searching", the
// options of "Find by which date?" and "Select Range", and the pickers.
class SearchControlsView : public SearchControls {
public:
    explicit SearchControlsView(Form1& form) : m_form(form) {}

    QString StartCaption() const override;
    void SetStartCaption(const QString& caption) override;
    std::optional<DateType> CheckedDateType() const override;
    std::optional<RangeMode> CheckedRange() const override;
    qint64 PickerDay(RangeMode mode, bool second) const override;

private:
    Form1& m_form;
};
