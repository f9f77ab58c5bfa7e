// SPDX-License-Identifier: MIT
#include "core/app/Version.h"

namespace qp {

QString projectVersion()
{
    return QStringLiteral(QP_VERSION);
}

QString versionText(const QString& program)
{
    return QStringLiteral("%1 %2\nCopyright (c) The Quillpress developers. MIT License.\n").arg(program, projectVersion());
}

QString desktopUsageText()
{
    return QStringLiteral(
        "Usage: quillpress [FILE.qpcf...]\n"
        "\n"
        "Opens the Quillpress window, which turns typed text into image files.\n"
        "Every argument whose extension is exactly \".qpcf\" is a configuration file; they are\n"
        "loaded in order at start, instead of the start configuration Auto.qpcf. When Quillpress\n"
        "already runs from the same program file, the files are handed to its window. Other\n"
        "arguments are ignored.\n"
        "\n"
        "Options:\n"
        "  -h, --help       show this help and exit\n"
        "      --version    show the version and exit\n"
        "\n"
        "The headless tool quillpress-cli makes the same images without a window.\n");
}

std::optional<QString> desktopInformationRequest(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        if (a == QLatin1String("-h") || a == QLatin1String("--help"))
            return desktopUsageText();
        if (a == QLatin1String("--version"))
            return versionText(QStringLiteral("quillpress"));
    }
    return std::nullopt;
}

} // namespace qp
