// SPDX-License-Identifier: MIT
#pragma once
// What every secondary window of the desktop program shares: its window flags, its placement over
// the main window, and the picture of the message and progress windows.
#include "gui/app/Named.h"

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

namespace qp {

// A tool window that stays above `parent`. Without a parent it stays on top of all windows, so it
// cannot disappear behind the main window. Without `closeBox` the title bar has no close button.
Qt::WindowFlags secondaryWindowFlags(const QWidget* parent, bool closeBox = true);

// For a window made with secondaryWindowFlags(parent, false): makes sure that the window manager
// draws its title bar without close, minimise and maximise buttons (it closes only through its own
// buttons). Creates the native window; call it in the constructor.
void askForTitleBarWithoutButtons(QWidget* window);

// Top-left corner of a window of client size `own` centred over a window whose frame begins at
// `overTopLeft` and whose client area is `overClient`:
//   left = over.left + (over.clientWidth - own.width) / 2, top likewise,
// with divisions truncating toward zero (a window larger than the main window sticks out by the
// same amount on both sides, rounded toward the main window's corner).
QPoint centredOver(QPoint overTopLeft, QSize overClient, QSize own);

// Moves `window` over the top-level window of `over`; with no `over`, centres it on its screen.
void placeOver(QWidget* window, const QWidget* over);

// The message and progress windows ("notices"): a fixed client area, the picture at the left with
// a vertical line beside it, and a column of text lines to its right.
inline constexpr QSize kNoticeClientSize{481, 220};
// The text column of a notice window, in client coordinates.
QRect noticeTextArea();
// Adds the picture (Image1) and the line (Bevel1) to a notice window.
void addNoticePicture(QWidget* window, bool problem);
// The heading font of a notice window (15 pixels high) and the font of its other lines (11).
QFont noticeHeadingFont(const QFont& base);
QFont noticeLineFont(const QFont& base);

// The 48 x 48 picture at the left of the message and progress windows: a page of text; `problem`
// adds a warning badge.
QPixmap windowPicture(bool problem);

} // namespace qp
