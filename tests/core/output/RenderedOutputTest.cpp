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
