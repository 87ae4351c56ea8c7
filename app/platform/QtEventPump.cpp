#include "app/platform/QtEventPump.h"

#include <QCoreApplication>

namespace {
constexpr qint64 kIntervalMs = 10;
}

QtEventPump::QtEventPump()
{
    m_sinceLast.start();
}

void QtEventPump::ProcessEvents()
{
    if (m_sinceLast.elapsed() < kIntervalMs)
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    m_sinceLast.restart();
}
