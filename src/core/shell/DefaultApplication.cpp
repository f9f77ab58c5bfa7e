// SPDX-License-Identifier: MIT
#include "core/shell/DefaultApplication.h"

#include "core/shell/DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace qp {

namespace {

// The folders whose "applications" folders hold desktop entries, most important first.
QStringList dataFolders(const QProcessEnvironment& environment)
{
    QString home = environment.value(QStringLiteral("XDG_DATA_HOME"));
    if (home.isEmpty())
        home = environment.value(QStringLiteral("HOME")) + QLatin1String("/.local/share");
    QString dirs = environment.value(QStringLiteral("XDG_DATA_DIRS"));
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    return QStringList{home} + dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

} // namespace

QString defaultEntryId(const QString& mimeType, const QProcessEnvironment& environment)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return {};
    QProcess query;
    query.setProcessEnvironment(environment);
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(10000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (!id.endsWith(QLatin1String(".desktop")) || id.contains(QLatin1Char('\n')) || id.contains(QLatin1Char('/')))
        return {};
    return id;
}

QString defaultEntryFile(const QString& mimeType, const QProcessEnvironment& environment)
{
    const QString id = defaultEntryId(mimeType, environment);
    return id.isEmpty() ? QString() : entryFileOfId(id, environment);
}

QString entryFileOfId(const QString& id, const QProcessEnvironment& environment)
{
    // An id "a-b.desktop" may also be the file "a/b.desktop" below an applications folder.
    QStringList names = {id};
    for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0; dash = id.indexOf(QLatin1Char('-'), dash + 1))
        names << id.left(dash) + QLatin1Char('/') + id.mid(dash + 1);
    for (const QString& folder : dataFolders(environment))
        for (const QString& name : names) {
            const QString file = folder + QLatin1String("/applications/") + name;
            if (QFileInfo(file).isFile())
                return file;
        }
    return {};
}

QString execProgram(const QString& exec, const QProcessEnvironment& environment)
{
    const QStringList args = execArguments(exec);
    if (args.isEmpty())
        return {};
    const QString& program = args.first();
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo file(program);
        return file.isAbsolute() && file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    const QStringList path = environment.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return path.isEmpty() ? QString() : QStandardPaths::findExecutable(program, path);
}

bool execStarts(const QString& exec, const QString& program, const QProcessEnvironment& environment)
{
    const QString started = QFileInfo(execProgram(exec, environment)).canonicalFilePath();
    return !started.isEmpty() && started == QFileInfo(program).canonicalFilePath();
}

} // namespace qp
