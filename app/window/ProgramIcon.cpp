#include "app/window/ProgramIcon.h"

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/orvanta/orvanta-%1.png").arg(size), QSize(size, size));
    return icon;
}
