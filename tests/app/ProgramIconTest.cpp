#include "app/ProgramIcon.h"

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
