#include "app/window/HandCursor.h"

#include "app/core/Failure.h"

#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace {
// A .cur file keeps the first image's hot spot in bytes 10 to 13 of its header.
QPoint HotSpot(const QByteArray& data)
{
    if (data.size() < 14)
        return {0, 0};
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    return {qFromLittleEndian<quint16>(bytes + 10), qFromLittleEndian<quint16>(bytes + 12)};
}
}  // namespace

QCursor LoadHandCursor(const QByteArray& data)
{
    QImage image;
    if (!image.loadFromData(data, "ICO") && !image.loadFromData(data))
        throw Failure(481, QStringLiteral("Invalid picture"));
    const QPoint hotSpot = HotSpot(data);
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}
