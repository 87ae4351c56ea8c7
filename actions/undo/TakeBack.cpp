#include "actions/undo/TakeBack.h"

#include "app/ApplicationTitle.h"
#include "app/Dialogs.h"
#include "app/ErrorTrap.h"
#include "app/EventPump.h"
#include "app/Form1.h"
#include "app/MousePointer.h"

namespace {
QString Files(int count)
{
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}
}  // namespace

QString TakeBackSummary::Text(const QString& cameBackHow) const
{
    QStringList parts;
    if (m_back.Count() > 0)
        parts << m_back.Text(QStringLiteral("%1 came back %2:").arg(Files(m_back.Count()), cameBackHow));
    if (m_stayed.Count() > 0)
        parts << m_stayed.Text(QStringLiteral("%1 did not come back:").arg(Files(m_stayed.Count())));
    return parts.join(QStringLiteral("\r\r"));
}

void RunTakeBack(Form1& form, const char* locationTag, const std::function<QString()>& takeBack)
{
    Seams& seams = form.Services();
    ErrorTrap trap(seams.dialogs, &form, QLatin1String(locationTag));
    Form1::LongCommand guard(form);
    trap.Run(100, [&] { form.SetMousePointer(MousePointer::Hourglass); });
    QString summary;
    trap.Run(102, [&] { summary = takeBack(); });
    trap.Run(104, [&] { form.SetMousePointer(MousePointer::Default); });
    if (!summary.isEmpty() && !seams.pump.Closing())
        trap.Run(106, [&] { seams.dialogs.ShowMessage(&form, ApplicationTitle(), summary); });
}
