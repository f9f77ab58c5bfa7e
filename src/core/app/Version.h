// SPDX-License-Identifier: MIT
#pragma once
// The program version and the answers to --version and the desktop program's --help.
#include <QString>
#include <QStringList>
#include <optional>

namespace qp {

// The project version, as the build was configured ("0.1").
QString projectVersion();

// "quillpress-cli 0.1" and a licence line, for --version.
QString versionText(const QString& program);

// The desktop program's usage, for quillpress --help.
QString desktopUsageText();

// The text the desktop program prints instead of opening a window: its usage for "-h" or "--help",
// its version for "--version" (the first such argument counts); nothing for other arguments,
// which stay configuration files or are ignored.
std::optional<QString> desktopInformationRequest(const QStringList& arguments);

} // namespace qp
