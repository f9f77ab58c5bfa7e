// SPDX-License-Identifier: MIT
#pragma once
// Applies the catalogue's texts of the current language to a window: the title row to the window's
// title; every caption row to the control whose object name is the row's control (menu entries,
// menus, tab pages, buttons, check boxes, radio buttons, group boxes, labels); every tip row to
// that control's tool tip; and the language rules to the visibility or check mark of their
// controls. Rows without such a control are skipped; the rows of dialogs, states and shell names
// are read where they are used.
//
// Controls are looked up in the window itself; in a main window, menu entries among its direct
// children, menus in its menu bar and every other control in its client area, so that the
// secondary windows it owns, which use the same control names, are left alone.
#include <QString>

class QWidget;

namespace qp {

void applyCatalogTexts(QWidget* window, const QString& catalogWindow);

} // namespace qp
