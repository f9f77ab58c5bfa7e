// SPDX-License-Identifier: MIT
#include "shell/ShellGroups.h"

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

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control;
}

QString trimBlanksAndControls(const QString& part)
{
    qsizetype begin = 0, end = part.size();
    while (begin < end && isBlankOrControl(part[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(part[end - 1]))
        --end;
    return part.mid(begin, end - begin);
}

bool acceptable(const QString& extension)
{
    static const QString refused = QStringLiteral("<>\\/|:?\"* ");
    if (extension.size() < 2 || extension[0] != QLatin1Char('.'))
        return false;
    for (qsizetype i = 1; i < extension.size(); ++i)
        if (refused.contains(extension[i]))
            return false;
    return true;
}

} // namespace

QStringList parseChosenExtensions(const QString& text)
{
    QStringList result;
    for (const QString& raw : text.split(QLatin1Char(','))) {
        QString part = trimBlanksAndControls(raw);
        if (part.isEmpty())
            continue;
        if (!part.contains(QLatin1Char('.')))
            part.prepend(QLatin1Char('.'));
        if (acceptable(part))
            result << part;
    }
    return result;
}

} // namespace qp
