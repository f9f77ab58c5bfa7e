// SPDX-License-Identifier: MIT
#include "core/shell/ShellGroups.h"

#include "core/shell/windows/ChosenExtensions.h"

namespace qp {

QString shellGroupName(ShellGroup group)
{
    switch (group) {
    case ShellGroup::Config: return QStringLiteral("config");
    case ShellGroup::SendTo: return QStringLiteral("sendto");
    case ShellGroup::Folders: return QStringLiteral("folders");
    case ShellGroup::Files: return QStringLiteral("files");
    case ShellGroup::Types: return QStringLiteral("types");
    }
    return {};
}

std::optional<ShellGroup> shellGroupFromName(const QString& name)
{
    for (ShellGroup group : allShellGroups)
        if (shellGroupName(group) == name)
            return group;
    return std::nullopt;
}

QStringList parseChosenExtensions(const QString& text)
{
    // One rule on every platform: the registry's algorithm holds it, without Qt.
    QStringList result;
    for (const std::u16string& extension : winshell::parseChosenExtensions(text.toStdU16String()))
        result << QString::fromStdU16String(extension);
    return result;
}

} // namespace qp
