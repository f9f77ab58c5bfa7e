// SPDX-License-Identifier: MIT
#pragma once
// The shell names of both languages, taken from the shell-settings window's texts.
#include "core/shell/windows/ShellNames.h"

namespace qp::winshell {

ShellNames shellNamesFromCatalog();

} // namespace qp::winshell
