// SPDX-License-Identifier: MIT
#include "gui/render/PreviewRefresh.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qp {
namespace {

// Each drawing is a 1 x 1 picture whose red value is the number of the drawing.
struct Recorder {
    int draws = 0;
    QList<int> shown;
    std::function<void()> duringDraw;
    PreviewRefresh refresh{[this] {
                               ++draws;
                               const int number = draws;
                               if (duringDraw)
                                   duringDraw();
                               QImage image(1, 1, QImage::Format_ARGB32);
                               image.setPixel(0, 0, qRgb(number, 0, 0));
                               return image;
                           },
                           [this](const QImage& image) { shown << qRed(image.pixel(0, 0)); }};
};

TEST(PreviewRefresh, HeldLoadsGatherTheirRequestsIntoOneDrawingAtTheEnd)
{
    Recorder r;
    r.refresh.hold([&] {
        r.refresh.request();
        r.refresh.hold([&] { r.refresh.request(); });
        EXPECT_EQ(r.draws, 0) << "an inner load does not end the outer hold";
        r.refresh.request();
    });
    EXPECT_EQ(r.draws, 1);
    EXPECT_EQ(r.shown, QList<int>({1}));

    // A load without requests draws nothing; a failing load releases the hold.
    r.refresh.hold([] {});
    EXPECT_EQ(r.draws, 1);
    EXPECT_THROW(r.refresh.hold([&] {
        r.refresh.request();
        throw std::runtime_error("unreadable configuration");
    }), std::runtime_error);
    r.refresh.request();
    EXPECT_EQ(r.draws, 2);
}

TEST(PreviewRefresh, ARequestDuringADrawingDrawsAgainAndShowsOnlyTheNewest)
{
    Recorder r;
    int asked = 0;
    r.duringDraw = [&] {
        // Events let through while the renderer wraps: two requests during the first drawing.
        if (++asked == 1) {
            r.refresh.request();
            r.refresh.request();
        }
    };
    r.refresh.request();
    EXPECT_EQ(r.draws, 2) << "no nested drawing, one more after the first";
    EXPECT_EQ(r.shown, QList<int>({2}));
    r.refresh.request();
    EXPECT_EQ(r.shown, QList<int>({2, 3}));
}

} // namespace
} // namespace qp
