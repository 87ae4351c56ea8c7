#include "actions/undo/TakeBack.h"

#include "app/core/ApplicationTitle.h"
#include "app/core/CommandWindow.h"
#include "app/core/Dialogs.h"
#include "app/core/ErrorTrap.h"
#include "app/core/EventPump.h"
#include "app/core/MousePointer.h"
#include "app/core/Seams.h"

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

void RunTakeBack(Seams& seams, CommandWindow& window, const char* locationTag,
                 const std::function<QString()>& takeBack)
{
    ErrorTrap trap(seams.dialogs, window.Owner(), QLatin1String(locationTag));
    LongCommand guard(window);
    trap.Run(100, [&] { window.SetMousePointer(MousePointer::Hourglass); });
    QString summary;
    trap.Run(102, [&] { summary = takeBack(); });
    trap.Run(104, [&] { window.SetMousePointer(MousePointer::Default); });
    if (!summary.isEmpty() && !seams.pump.Closing())
        trap.Run(106, [&] { seams.dialogs.ShowMessage(window.Owner(), ApplicationTitle(), summary); });
}
