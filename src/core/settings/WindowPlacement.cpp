// SPDX-License-Identifier: MIT
#include "core/settings/WindowPlacement.h"

#include <algorithm>
#include <cstdlib>

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

namespace {

// The part of a window's top strip that must lie on a screen for the window to stay reachable:
// enough to grab the title bar and see the menus begin.
constexpr int kReachableHeight = 32;
constexpr int kReachableWidth = 100;

bool reachableOn(const QRect& window, const QRect& screen)
{
    if (window.top() < screen.top() || window.top() > screen.bottom() - kReachableHeight + 1)
        return false;
    const QRect strip(window.left(), window.top(), window.width(), kReachableHeight);
    return strip.intersected(screen).width() >= std::min(kReachableWidth, window.width());
}

int clampInto(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

} // namespace

QPoint keepOnScreen(const QRect& window, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return window.topLeft();
    for (const QRect& screen : screens) {
        if (reachableOn(window, screen))
            return window.topLeft();
    }
    const QRect* target = &screens.front();
    qint64 mostOverlap = 0;
    for (const QRect& screen : screens) {
        const QRect overlap = window.intersected(screen);
        const qint64 area = qint64(overlap.width()) * overlap.height();
        if (area > mostOverlap) {
            mostOverlap = area;
            target = &screen;
        }
    }
    return {clampInto(window.left(), window.width(), target->left(), target->width()),
            clampInto(window.top(), window.height(), target->top(), target->height())};
}

QPoint cascadePosition(QPoint wanted, QSize size, const QList<QPoint>& others, const QRect& screen, int step)
{
    auto taken = [&](QPoint p) {
        return std::any_of(others.cbegin(), others.cend(), [&](QPoint o) {
            return std::abs(o.x() - p.x()) < step && std::abs(o.y() - p.y()) < step;
        });
    };
    QPoint p = wanted;
    // Each other window takes at most one place of the way and the start again one more, so this
    // many steps always find a free place.
    for (qsizetype tries = 0; tries <= 2 * others.size() + 1 && taken(p); ++tries) {
        p += QPoint(step, step);
        const bool leaves = p.x() + size.width() > screen.right() + 1 || p.y() + size.height() > screen.bottom() + 1;
        if (!screen.isEmpty() && leaves)
            p = screen.topLeft();
    }
    return p;
}

} // namespace qp
