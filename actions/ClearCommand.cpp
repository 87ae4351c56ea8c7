#include "app/ErrorTrap.h"
#include "app/Form1.h"
#include "app/ProductTexts.h"
#include "app/RowList.h"

void Form1::PushButton6_Click()
{
    ErrorTrap trap(m_seams.dialogs, this, QLatin1String(LocationTag::kClearResults));
    trap.Run(100, [&] { m_resultRows->Clear(); });
}
