// SPDX-License-Identifier: MIT
// Rendered text written through the output layer and read back by an independent decoder.
#include "codec/ImageData.h"
#include "output/BitmapExchange.h"
#include "output/EncoderOptions.h"
#include "output/StoreImage.h"
#include "render/Renderer.h"
#include "settings/SettingsModel.h"
#include "support/Decode.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;

TEST(RenderedOutput, LosslessFormatsKeepEveryRenderedPixel)
{
    if (!test::haveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    QTemporaryDir dir;
    SettingsModel s;
    s.setText("label2", "DejaVu Sans");
    s.setFontListSelected(true);
    s.setText("act_text_fontcolor", "#1E90FF");
    s.setText("act_text_hintergrund", "#FAFAD2");
    s.setText("FSize", "17");
    AusgabeWerteSetzen(s); // JPEG at quality 100, progressive

    struct Case {
        const char* text;
        const char* rotation;
    };
    const Case cases[] = {{"Quillpress", "rb_drehung_0"}, {"Odd\\nsizes", "rb_drehung_90"}, {"", "rb_drehung_0"}};
    for (const Case& c : cases) {
        s.setChecked(c.rotation, true);
        const QImage rendered = CreateBitmap(QString::fromLatin1(c.text), s);
        imaging::TImageData record;
        BitmapToImageData(rendered, record);
        ASSERT_TRUE(imaging::ConvertImageData(record, imaging::ifR8G8B8));
        for (const char* ext : {".png", ".bmp", ".jpg"}) {
            const QString path = dir.path() + "/" + c.rotation + ext;
            QFile::remove(path);
            ASSERT_TRUE(StoreImageFile(path, record)) << path.toStdString();
            const auto decoded = test::decodeWithImageMagick(path);
            ASSERT_TRUE(decoded) << path.toStdString();
            const test::PixelDifference d = test::compareRgb(rendered, *decoded);
            if (QString(ext) == ".jpg") // coloured text edges suffer from 2x2 chroma subsampling
                EXPECT_LT(d.mean, 8.0) << path.toStdString();
            else
                EXPECT_EQ(d.maximum, 0) << path.toStdString();
        }
    }
}

// The run's direct conversion of a rendered image gives the record that copying it and converting
// the copy gives, for every kind of QImage the exchange takes.
TEST(RenderedOutput, DirectConversionEqualsCopyAndConvert)
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
