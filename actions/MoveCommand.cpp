#include "app/Form1.h"

void Form1::PushButton11_Click()
{
}

