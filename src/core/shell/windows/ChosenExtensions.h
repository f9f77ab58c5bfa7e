// SPDX-License-Identifier: MIT
#pragma once
// The extensions typed into beldateien for the context-menu entry of chosen file types.
#include <string>
#include <vector>

namespace qp::winshell {

// Splits the text at commas and keeps, in order, each part that after trimming blanks and control
// characters is a usable extension: a part without any "." gets one in front; a part is dropped when
// it is then shorter than 2 characters, does not begin with ".", or holds one of < > \ / | : ? " *
// or a blank after its first character. "jpg, bmp,png" gives ".jpg", ".bmp", ".png"; "a.b", "."
// and "j pg" are dropped.
std::vector<std::u16string> parseChosenExtensions(const std::u16string& text);

} // namespace qp::winshell
