#include "app/ProgramIcon.h"

#include <QFile>

#include <gtest/gtest.h>

// The pictures are compiled into the static library; a resource the linker
// dropped would leave the window without an icon.
TEST(ProgramIconTest, HasItsFourPictures)
{
    const QIcon icon = ProgramIcon();
    for (int size : {32, 48, 128, 256}) {
        const QPixmap picture = icon.pixmap(QSize(size, size));
        EXPECT_EQ(picture.size(), QSize(size, size)) << size;
        EXPECT_FALSE(picture.toImage().isNull()) << size;
    }
    EXPECT_EQ(icon.availableSizes().size(), 4);
}

// Depth as the pictures store it (the PNG header's bit depth times the
// channels of its colour type): 24-bit RGB at 32 pixels, with a transparent
// outside all the same, and 32-bit RGBA for the larger ones.
TEST(ProgramIconTest, ThirtyTwoPixelsAreStoredAtTwentyFourBitsPerPixel)
{
    for (int size : {32, 48, 128, 256}) {
        QFile picture(QStringLiteral(":/orvanta/orvanta-%1.png").arg(size));
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
        const QByteArray header = picture.read(26);
        const int channels = header[25] == 2 ? 3 : header[25] == 6 ? 4 : 0;
        EXPECT_EQ(header[24] * channels, size == 32 ? 24 : 32) << size;
    }
    EXPECT_EQ(ProgramIcon().pixmap(QSize(32, 32)).toImage().pixelColor(0, 0).alpha(), 0);
}
