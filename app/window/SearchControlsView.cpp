#include "app/window/SearchControlsView.h"

#include "app/core/Timestamp.h"
#include "app/window/Form1.h"

#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>

QString SearchControlsView::StartCaption() const
{
    return m_form.PushButton1->text();
}

void SearchControlsView::SetStartCaption(const QString& caption)
{
    m_form.PushButton1->setText(caption);
}

std::optional<DateType> SearchControlsView::CheckedDateType() const
{
    if (m_form.Option1->isChecked())
        return DateType::Modified;
    if (m_form.Option2->isChecked())
        return DateType::Created;
    if (m_form.Option3->isChecked())
        return DateType::Accessed;
    return std::nullopt;
}

std::optional<RangeMode> SearchControlsView::CheckedRange() const
{
    if (m_form.Option7->isChecked())
        return RangeMode::After;
    if (m_form.Option6->isChecked())
        return RangeMode::Before;
    if (m_form.Option5->isChecked())
        return RangeMode::On;
    if (m_form.Option4->isChecked())
        return RangeMode::Between;
    return std::nullopt;
}

qint64 SearchControlsView::PickerDay(RangeMode mode, bool second) const
{
    const QDateEdit* picker = m_form.DTPicker1;
    switch (mode) {
    case RangeMode::After:
        break;
    case RangeMode::Before:
        picker = m_form.DTPicker2;
        break;
    case RangeMode::On:
        picker = m_form.DTPicker3;
        break;
    case RangeMode::Between:
        picker = second ? m_form.DTPicker5 : m_form.DTPicker4;
        break;
    }
    return DayNumber(picker->date());
}
