// SPDX-License-Identifier: MIT
#pragma once
// The form check of the output folder text (not whether the folder exists).
#include <QString>

namespace qp {

// Linux form: an absolute path starting with "/"; one trailing "/" is ignored; the last part must
// not contain any of the reserved characters. "/" alone passes.
bool IsValidFolderPath(const QString& text);

// Windows form: "C:", "C:\", or "C:\...\last" where only the drive and the last part are checked.
bool IsValidWindowsFolderPath(const QString& text);

} // namespace qp
