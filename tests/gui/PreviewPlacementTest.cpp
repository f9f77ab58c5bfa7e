// SPDX-License-Identifier: MIT
#include "gui/render/PreviewBox.h"
#include "gui/render/PreviewPlacement.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace qp {
namespace {

TEST(PreviewPlacement, CentresWhatFitsAndScrollsWhatDoesNot)
{
    struct Case {
        QSize image;
        bool fits;
        int hRange, vRange;
        QRect picture;
    };
    const QSize box(200, 100);
    const Case cases[] = {
        // Fits: no scroll ranges, centred.
        {{100, 50}, true, 0, 0, {49, 24, 102, 52}},
        // Too wide: ranges are the image plus 4; left at 2, still centred vertically.
        {{300, 50}, false, 304, 54, {2, 24, 302, 52}},
        // W + 6 equal to the box width does not fit, but is not narrower than W + 6 either:
        // centred, (200 - 196) / 2 = 2.
        {{194, 50}, false, 198, 54, {2, 24, 196, 52}},
        // Too high only: top at 2, centred horizontally.
        {{100, 200}, false, 104, 204, {49, 2, 102, 202}},
        // Odd remainders truncate: (200 - 103) / 2 = 48, (100 - 11) / 2 = 44.
        {{101, 9}, true, 0, 0, {48, 44, 103, 11}},
    };
    for (const Case& c : cases) {
        const PreviewPlacement p = placePreview(c.image, box);
        EXPECT_EQ(p.fits, c.fits) << c.image.width() << "x" << c.image.height();
        EXPECT_EQ(p.horizontalRange, c.hRange) << c.image.width();
        EXPECT_EQ(p.verticalRange, c.vRange) << c.image.width();
        EXPECT_EQ(p.picture, c.picture) << c.image.width() << "x" << c.image.height();
    }
}

TEST(PreviewBox, FramesTheImageAndPlacesItAgainstItsOuterSize)
{
    PreviewBox box;
    box.resize(200, 100);
    box.show();
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    box.showImage(image);

    EXPECT_EQ(box.placement().picture, QRect(49, 24, 102, 52));
    const QImage& picture = box.picture();
    ASSERT_EQ(picture.size(), QSize(102, 52));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(101, 51), QColor(Qt::black));
    EXPECT_EQ(picture.pixelColor(1, 1), QColor(10, 200, 30));
    EXPECT_EQ(picture.pixelColor(100, 50), QColor(10, 200, 30));

    // A wider image gets a horizontal scroll range beyond the viewport.
    box.showImage(QImage(300, 50, QImage::Format_RGB32));
    EXPECT_FALSE(box.placement().fits);
    EXPECT_GT(box.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(box.verticalScrollBar()->maximum(), 0);
}

TEST(PreviewBox, ReportsResizesOfItsOuterSize)
{
    PreviewBox box;
    box.resize(200, 100);
    box.show();
    QSignalSpy resized(&box, &PreviewBox::resized);
    box.resize(260, 120);
    EXPECT_GE(resized.count(), 1);
}

} // namespace
} // namespace qp
