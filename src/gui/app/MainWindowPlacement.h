// SPDX-License-Identifier: MIT
#pragma once
// Where the main window lies and how large it is: its client area below the menu bar, the
// placement a configuration saves and sets, the place it opens at, and the maximising that waits
// for the window's activation.
#include "core/settings/WindowPlacement.h"

#include <QList>
#include <QRect>
#include <QSize>

class QMainWindow;

namespace qp {

class MainWindowPlacement {
public:
    explicit MainWindowPlacement(QMainWindow& window);

    // The client area (below the menu bar).
    QSize clientSize() const;
    void setClientSize(const QSize& size);
    // The placement a configuration saves, and the one a loaded configuration sets; a window
    // that would lie off every screen comes back onto one.
    WindowPlacement placement() const;
    void apply(const PlacementChange& change);
    // The available areas of the screens, the primary first.
    static QList<QRect> screenAreas();

    // The place before any configuration: client area 594 x 646, centred on the primary screen.
    void placeAtStart();
    // When the desktop is too small for the window, the next activation maximises it.
    void maximizeWhenDesktopTooSmall();
    // Moves a window that no maximising waits for a step away from the windows of other starts
    // of the program that lie where it opens.
    void stepAwayFromOtherWindows();
    // The window was activated: maximises it when that waits.
    void activated();
    // Whether the next activation maximises the window.
    bool maximizesAtActivation() const { return m_maximizeAtActivation; }

private:
    int menuBarHeight() const;

    QMainWindow& m_window;
    bool m_maximizeAtActivation = false;
};

} // namespace qp
