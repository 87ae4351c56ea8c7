#include "app/window/Form1.h"

#include <QDateEdit>

namespace {
// Enables the pickers that the clicked range option reads, in picker order.
void EnablePickers(Form1& form, bool first, bool second, bool third, bool fourth, bool fifth)
{
    form.DTPicker1->setEnabled(first);
    form.DTPicker2->setEnabled(second);
    form.DTPicker3->setEnabled(third);
    form.DTPicker4->setEnabled(fourth);
    form.DTPicker5->setEnabled(fifth);
}
}  // namespace

void Form1::Option4_Click()
{
    EnablePickers(*this, false, false, false, true, true);
}

void Form1::Option5_Click()
{
    EnablePickers(*this, false, false, true, false, false);
}

void Form1::Option6_Click()
{
    EnablePickers(*this, false, true, false, false, false);
}

void Form1::Option7_Click()
{
    EnablePickers(*this, true, false, false, false, false);
}
