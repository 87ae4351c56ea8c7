#include "app/Form1.h"

void Form1::PushButton8_Click()
{
}

