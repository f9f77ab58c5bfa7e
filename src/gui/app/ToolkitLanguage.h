// SPDX-License-Identifier: MIT
#pragma once
// The texts of the toolkit's own dialogs (file, folder and colour dialogs, message box buttons)
// follow the program's language when the toolkit's translations are installed (Linux) or built in
// (Windows).
#include <QString>

namespace qp {

// Installs the toolkit's translation for `code` ("de"), or removes it for English. Without the
// translation files the dialogs stay English.
void applyToolkitLanguage(const QString& code);

} // namespace qp
