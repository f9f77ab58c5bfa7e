// SPDX-License-Identifier: MIT
#pragma once
// Where the preview picture goes in its scroll box: centred when the image fits with room to
// spare, otherwise scrollable with the picture 2 pixels from the edge on each axis that does not
// fit. The picture is the image with a one-pixel frame on every side.
#include <QRect>
#include <QSize>

namespace qp {

struct PreviewPlacement {
    bool fits = false;
    // Scroll ranges of the box: 0 when the image fits, else the image size plus 4.
    int horizontalRange = 0;
    int verticalRange = 0;
    // The framed picture (image + 2 each way) in the box's content coordinates.
    QRect picture;
};

// `image` is the rendered image (after rotation), `box` the outer size of the scroll box. The
// image fits when it is more than 6 pixels narrower and lower than the box. Centring divides
// truncating toward zero.
PreviewPlacement placePreview(QSize image, QSize box);

} // namespace qp
