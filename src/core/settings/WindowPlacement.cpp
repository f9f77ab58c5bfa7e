// SPDX-License-Identifier: MIT
#include "core/settings/WindowPlacement.h"

namespace qp {

PlacementChange placementAfterLoad(const PlacementFileValues& file, const WindowPlacement& current,
                                   const QSize& screen, ConfigurationCaller caller)
{
    PlacementChange change{current, false};
    WindowPlacement& p = change.placement;

    if (file.maximized.value_or(current.maximized)) {
        if (caller == ConfigurationCaller::StartWindow) {
            change.maximizeOnActivation = true;
            p.top = 0;
        } else {
            p.left = 0;
            p.top = 0;
        }
        return change;
    }

    const int width = file.clientWidth.value_or(current.clientWidth);
    const int height = file.clientHeight.value_or(current.clientHeight);
    const int top = file.top.value_or(current.top);
    const int left = file.left.value_or(current.left);
    if (width <= screen.width())
        p.clientWidth = width;
    if (height <= screen.height())
        p.clientHeight = height;
    if (top <= screen.height())
        p.top = top;
    if (left <= screen.width())
        p.left = left;
    return change;
}

} // namespace qp
