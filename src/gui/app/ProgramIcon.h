// SPDX-License-Identifier: MIT
#pragma once
// The program's icon for its windows: the one the installed icon theme holds under the program's
// icon name, or the built-in copy of the same pictures when the theme has none.
#include <QIcon>

namespace qp {

// The icon name of the program in icon themes (the desktop entry's Icon=).
inline constexpr const char* kProgramIconName = "quillpress";

// The pictures built into the program, 16 to 256 pixels.
QIcon builtInProgramIcon();
// The theme's icon of the program, or the built-in one.
QIcon programIcon();

} // namespace qp
