// SPDX-License-Identifier: MIT
#pragma once
// The height of the main window's settings pages.

class QTabWidget;
class QWidget;

namespace qp {

// Gives the pages one fixed height for whichever page is shown: what the tallest page needs at
// the current width, more when the window has room, and the preview above keeps the rest.
// `pages` lies in a vertical layout below `preview`.
void fitPageHeight(QTabWidget& pages, const QWidget& preview);

} // namespace qp
