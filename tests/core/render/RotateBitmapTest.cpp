// SPDX-License-Identifier: MIT
#include "core/render/RotateBitmap.h"

#include <gtest/gtest.h>

namespace qp {
namespace {

// A 3 x 2 image whose every pixel is distinct: 0xff000000 | (x << 8) | y.
QImage numbered(QImage::Format format = QImage::Format_RGB32)
{
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, 0xff000000u | quint32(x << 8) | quint32(y));
    return image.convertToFormat(format);
}

quint32 source(int x, int y)
{
    return 0xff000000u | quint32(x << 8) | quint32(y);
}

TEST(RotateBitmap, NinetyTurnsClockwise)
{
    QImage image = numbered();
    RotateBitmap90(image);
    ASSERT_EQ(image.size(), QSize(2, 3));
    // New (x, y) takes old (y, H - 1 - x): the old top-left lands at the new top-right.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(image.pixel(x, y), source(y, 1 - x)) << x << "," << y;
    EXPECT_EQ(image.pixel(1, 0), source(0, 0));
}

TEST(RotateBitmap, OneEightyMirrorsBothAxes)
{
    QImage image = numbered();
    RotateBitmap180(image);
    ASSERT_EQ(image.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(image.pixel(2 - x, 1 - y), source(x, y));
}

TEST(RotateBitmap, OddHeightAndOtherFormatsBecome32Bit)
{
    QImage image(2, 3, QImage::Format_RGB888);
    image.fill(Qt::black);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(0, 1, qRgb(4, 5, 6));
    RotateBitmap180(image);
    EXPECT_EQ(image.depth(), 32);
    EXPECT_EQ(image.pixel(1, 2), qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(1, 1), qRgb(4, 5, 6));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 0));

    QImage turned = numbered(QImage::Format_RGB888);
    RotateBitmap90(turned);
    EXPECT_EQ(turned.depth(), 32);
    EXPECT_EQ(turned.pixel(1, 0), source(0, 0));
}

} // namespace
} // namespace qp
