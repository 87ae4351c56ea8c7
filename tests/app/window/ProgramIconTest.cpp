#include "app/window/ProgramIcon.h"

#include <QFile>

#include <gtest/gtest.h>

// The pictures are compiled into the static library; a resource the linker
// dropped would leave the window without an icon. The 32-pixel one is stored
// as 24-bit RGB (PNG colour type 2) with a transparent outside, the others as
// 32-bit RGBA.
TEST(ProgramIconTest, HasItsFourPicturesAtTheirDepths)
{
    const QIcon icon = ProgramIcon();
    for (int size : {32, 48, 128, 256}) {
        const QPixmap picture = icon.pixmap(QSize(size, size));
        EXPECT_EQ(picture.size(), QSize(size, size)) << size;
        EXPECT_FALSE(picture.toImage().isNull()) << size;
        QFile file(QStringLiteral(":/orvanta/orvanta-%1.png").arg(size));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(26);  // ends with the bit depth and the colour type
        EXPECT_EQ(header.right(2), QByteArray(size == 32 ? "\x08\x02" : "\x08\x06")) << size;
    }
    EXPECT_EQ(icon.pixmap(QSize(32, 32)).toImage().pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(icon.availableSizes().size(), 4);
}
