#pragma once

#include <QIcon>

// The program's icon: one picture drawn at 32, 48, 128 and 256 pixels.
QIcon ProgramIcon();
