// SPDX-License-Identifier: MIT
#include "gui/render/PreviewPlacement.h"

namespace qp {

PreviewPlacement placePreview(QSize image, QSize box)
{
    const int w = image.width();
    const int h = image.height();
    PreviewPlacement p;
    p.fits = w + 6 < box.width() && h + 6 < box.height();
    const int centredLeft = (box.width() - (w + 2)) / 2;
    const int centredTop = (box.height() - (h + 2)) / 2;
    if (p.fits) {
        p.picture = QRect(centredLeft, centredTop, w + 2, h + 2);
        return p;
    }
    p.horizontalRange = w + 4;
    p.verticalRange = h + 4;
    const int left = box.width() < w + 6 ? 2 : centredLeft;
    const int top = box.height() < h + 6 ? 2 : centredTop;
    p.picture = QRect(left, top, w + 2, h + 2);
    return p;
}

} // namespace qp
