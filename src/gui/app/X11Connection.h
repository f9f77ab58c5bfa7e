// SPDX-License-Identifier: MIT
#pragma once
// The X server connection of the program's windows, for the requests to the window manager that
// Qt does not make itself. Only where the program is built with xcb and runs on X11.
#include <QtGui/qtguiglobal.h>

#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

namespace qp {

// Qt's connection to the X server; nullptr on another platform (Wayland, offscreen).
xcb_connection_t* x11Connection();
// The atom of `name`, made when the server does not know it yet; XCB_ATOM_NONE on failure.
xcb_atom_t x11Atom(xcb_connection_t* connection, const char* name);

} // namespace qp
#endif
