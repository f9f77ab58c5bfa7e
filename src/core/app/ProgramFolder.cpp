#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qp {

QString programFolder()
{
    QString folder = qEnvironmentVariable("QUILLPRESS_HOME");
    if (folder.isEmpty()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        if (!appDir.isEmpty() && QFileInfo(appDir).isWritable())
            folder = appDir;
        else
            folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder);
}

} // namespace qp
