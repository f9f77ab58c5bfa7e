// SPDX-License-Identifier: MIT
#include "core/shell/LinuxFileManagers.h"

#include "core/shell/LinuxShellFiles.h"

namespace qp {

namespace {

// A shell word for the send-to script: single-quoted, a quote inside closed and reopened.
QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

QString sendToScript(const QString& program)
{
    return QStringLiteral("#!/bin/sh\n# Sends the selected files to VLM Quillpress.\nexec %1 \"$@\"\n")
        .arg(shellQuoted(program));
}

DesktopFile kdeServiceMenu(const QString& name, const QString& mimeTypes, const QString& submenu,
                           const QString& action, const QString& program, const QString& exec)
{
    DesktopFile kde;
    kde.add(QStringLiteral("Type"), QStringLiteral("Service"));
    kde.add(QStringLiteral("Name"), name);
    kde.add(QStringLiteral("TryExec"), program);
    kde.add(QStringLiteral("MimeType"), mimeTypes);
    kde.add(QStringLiteral("X-KDE-ServiceTypes"), QStringLiteral("KonqPopupMenu/Plugin"));
    if (!submenu.isEmpty())
        kde.add(QStringLiteral("X-KDE-Submenu"), submenu);
    kde.add(QStringLiteral("Actions"), action + u';');
    kde.addGroup(QStringLiteral("Desktop Action ") + action);
    kde.add(QStringLiteral("Name"), name);
    kde.add(QStringLiteral("Icon"), kShellIcon);
    kde.add(QStringLiteral("Exec"), exec);
    return kde;
}

DesktopFile nemoAction(ShellGroup group, const QString& name, const QString& exec, const QStringList& mimeTypes)
{
    DesktopFile nemo;
    nemo.addGroup(QStringLiteral("Nemo Action"));
    nemo.add(QStringLiteral("Name"), name);
    nemo.add(QStringLiteral("Exec"), exec);
    nemo.add(QStringLiteral("Icon-Name"), kShellIcon);
    nemo.add(QStringLiteral("Selection"), QStringLiteral("any"));
    if (group == ShellGroup::Folders)
        nemo.add(QStringLiteral("Extensions"), QStringLiteral("dir;"));
    else if (group == ShellGroup::Files)
        nemo.add(QStringLiteral("Extensions"), QStringLiteral("nodirs;"));
    else
        nemo.add(QStringLiteral("Mimetypes"), semicolonList(mimeTypes));
    return nemo;
}

} // namespace qp
