#pragma once
// The program folder: where the start configuration, the listed configuration files and the
// default output folder live.
#include <QString>

namespace qp {

// QUILLPRESS_HOME when set; else the folder of the program file when it is writable; else the
// per-user data folder. The result has no trailing separator and is created when missing.
QString programFolder();

} // namespace qp
