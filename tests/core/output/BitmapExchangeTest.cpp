// SPDX-License-Identifier: MIT
// The exchange of rendered images with the image record.
#include "codec/ImageData.h"
#include "core/output/BitmapExchange.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace qp;

// The run's direct conversion of a rendered image gives the record that copying it and converting
// the copy gives, for every kind of QImage the exchange takes.
TEST(BitmapExchange, DirectConversionEqualsCopyAndConvert)
{
    QImage image(29, 7, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 9, y * 31, (x * y) % 256, (x + y) * 7));
    for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8}) {
        const QImage source = image.convertToFormat(format);
        imaging::TImageData expected, direct;
        BitmapToImageData(source, expected);
        imaging::ConvertImageData(expected, imaging::ifR8G8B8);
        BitmapToR8G8B8ImageData(source, direct);
        EXPECT_EQ(direct.Format, imaging::ifR8G8B8);
        EXPECT_EQ(direct.Bits, expected.Bits) << format;
        EXPECT_EQ(direct.Size, expected.Size);
    }
}
