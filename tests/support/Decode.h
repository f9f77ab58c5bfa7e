// SPDX-License-Identifier: MIT
#pragma once
// Decoding image files with an independent decoder (ImageMagick) into QImage, for round-trip checks.
#include <QImage>
#include <QString>
#include <optional>

namespace qp::test {

// True when ImageMagick's `convert` can be run.
bool haveImageMagick();

// Decodes `path` (its first image) with ImageMagick into 8-bit RGB, or RGBA with `withAlpha`;
// nothing when decoding fails.
std::optional<QImage> decodeWithImageMagick(const QString& path, bool withAlpha = false);

// Largest per-channel difference and mean absolute difference of two RGB images of equal size.
struct PixelDifference {
    int maximum = 0;
    double mean = 0.0;
};
PixelDifference compareRgb(const QImage& a, const QImage& b);

} // namespace qp::test
