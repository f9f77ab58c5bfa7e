// SPDX-License-Identifier: MIT
#pragma once
// What the main window asks the desktop about the program's other windows: where the windows of
// other starts of the program are, so that a new one does not open exactly over one of them, and
// how to bring a window above all others when a second start hands files to it.
#include <QList>
#include <QPoint>

class QWindow;

namespace qp {

// The corners of the insides of the other processes' main windows of this program on the
// desktop (X11: the window manager's client list, same window class, another process). Empty
// where the desktop does not tell.
QList<QPoint> otherProgramWindowCorners(const QWindow* own);

// Raises `window` above every other window and gives it the focus, as a click on its task bar
// button would (X11: the window manager's activation and restacking requests of a pager, which it
// grants where an application's own request may only set the focus); then Qt's own raise and
// activation.
void raiseAndActivate(QWindow* window);

} // namespace qp
