// SPDX-License-Identifier: MIT
#include "core/render/RotateBitmap.h"

#include "core/render/RenderError.h"

#include <algorithm>

namespace qp {

namespace {

void ensure32Bit(QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return;
    default:
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull())
            throw RenderError("Not enough memory to convert the image to 32 bits per pixel.");
    }
}

} // namespace

void RotateBitmap90(QImage& image)
{
    if (image.isNull())
        return;
    ensure32Bit(image);
    const int w = image.width();
    const int h = image.height();
    QImage turned(h, w, image.format());
    if (turned.isNull())
        throw RenderError(QStringLiteral("Not enough memory to turn an image of %1 x %2 pixels.")
                              .arg(w)
                              .arg(h)
                              .toStdString());
    // New pixel (x, y) takes old pixel (y, h - 1 - x). Worked in tiles so that both images are
    // read and written in cache-sized blocks.
    constexpr int kTile = 64;
    for (int y0 = 0; y0 < w; y0 += kTile) {
        const int y1 = std::min(w, y0 + kTile);
        for (int x0 = 0; x0 < h; x0 += kTile) {
            const int x1 = std::min(h, x0 + kTile);
            for (int y = y0; y < y1; ++y) {
                auto* dst = reinterpret_cast<quint32*>(turned.scanLine(y));
                for (int x = x0; x < x1; ++x)
                    dst[x] = reinterpret_cast<const quint32*>(image.constScanLine(h - 1 - x))[y];
            }
        }
    }
    turned.setDotsPerMeterX(image.dotsPerMeterY());
    turned.setDotsPerMeterY(image.dotsPerMeterX());
    image = std::move(turned);
}

void RotateBitmap180(QImage& image)
{
    if (image.isNull())
        return;
    ensure32Bit(image);
    const int w = image.width();
    const int h = image.height();
    // New pixel (w - 1 - x, h - 1 - y) takes old pixel (x, y): rows swap top for bottom, and each
    // row is reversed.
    for (int y = 0; y < h / 2; ++y) {
        auto* top = reinterpret_cast<quint32*>(image.scanLine(y));
        auto* bottom = reinterpret_cast<quint32*>(image.scanLine(h - 1 - y));
        std::swap_ranges(top, top + w, bottom);
        std::reverse(top, top + w);
        std::reverse(bottom, bottom + w);
    }
    if (h % 2 == 1) {
        auto* middle = reinterpret_cast<quint32*>(image.scanLine(h / 2));
        std::reverse(middle, middle + w);
    }
}

void rotateImage(QImage& image, Rotation rotation)
{
    switch (rotation) {
    case Rotation::None:
        break;
    case Rotation::Quarter:
        RotateBitmap90(image);
        break;
    case Rotation::Half:
        RotateBitmap180(image);
        break;
    case Rotation::ThreeQuarters:
        RotateBitmap90(image);
        RotateBitmap180(image);
        break;
    }
}

} // namespace qp
