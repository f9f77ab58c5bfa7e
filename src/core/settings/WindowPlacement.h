// SPDX-License-Identifier: MIT
#pragma once
// The main window's placement as a configuration file stores it, and the rules by which a loaded
// placement is applied within the screen.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace qp {

struct WindowPlacement {
    bool maximized = false;
    int clientWidth = 594;   // inner (client) size in pixels
    int clientHeight = 646;
    // Top-left corner of the window's inside (inside the frame, where the menu bar starts) on the
    // screen; may be negative. The same corner is read when saving and set when restoring, so
    // that a saved placement brings the window back to exactly where it was, whatever frame the
    // window manager draws around it.
    int top = 0;
    int left = 0;

    bool operator==(const WindowPlacement&) const = default;
};

// The placement values a configuration file holds; a value that is missing or not a number is
// empty.
struct PlacementFileValues {
    std::optional<bool> maximized;
    std::optional<int> clientWidth;
    std::optional<int> clientHeight;
    std::optional<int> top;
    std::optional<int> left;
};

// Who loads a configuration: the start window (at program start and for files a second start
// hands over) or anything later (menus, dialogs). Only the placement depends on it.
enum class ConfigurationCaller { StartWindow, Menu };

// What the window does after a load: take `placement` (its maximized state is the current one; a
// load never maximizes or restores directly) and, when `maximizeOnActivation` is set, maximize
// itself at its next activation.
struct PlacementChange {
    WindowPlacement placement;
    bool maximizeOnActivation = false;

    bool operator==(const PlacementChange&) const = default;
};

// A file that asks for a maximized window: from the start window, the window is maximized at its
// next activation and its top edge set to 0; from a menu, it is moved to the top-left corner at
// its current size. Otherwise each of width, height, top and left is taken when it is not larger
// than the screen's width, height, height and width respectively. Missing values count as the
// current ones.
PlacementChange placementAfterLoad(const PlacementFileValues& file, const WindowPlacement& current,
                                   const QSize& screen, ConfigurationCaller caller);

// Where a window whose inside is `window` goes so that the user can reach it: its top-left corner
// unchanged when a strip along its top edge (where the frame's title bar sits) lies on one of
// `screens` (their available areas, the primary first); otherwise moved into the screen it
// overlaps most, or the primary when it overlaps none, as far as it takes to lie inside it (at
// the screen's top-left corner when larger than the screen).
QPoint keepOnScreen(const QRect& window, const QList<QRect>& screens);

// Where a window of `size` that would open at `wanted` goes when other windows of the program
// have their inside's corner at `others`: `wanted` when none is closer to it than a `step` both
// across and down, otherwise moved on by `step` to the right and down until it is free, starting
// again at the top-left corner of `screen` (its available area) where it would leave the screen.
// A step is more than a window manager's frame is wide, so a window placed at a corner that the
// frame then moves is still found over another.
QPoint cascadePosition(QPoint wanted, QSize size, const QList<QPoint>& others, const QRect& screen, int step = 32);

} // namespace qp
