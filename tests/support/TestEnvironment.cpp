// SPDX-License-Identifier: MIT
#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFontDatabase>
#include <QLatin1String>

namespace qp::test {

void prepareTestEnvironment(const QTemporaryDir& desktop)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "QUILLPRESS_SHELL_ROOT"})
        qputenv(name, (desktop.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
}

void addTestFonts()
{
#ifdef Q_OS_WIN
    if (QFontDatabase::families().contains(QLatin1String("DejaVu Sans")))
        return;
    const QDir folder(qEnvironmentVariable("QP_TEST_FONT_DIR", QStringLiteral("Z:/usr/share/fonts/truetype/dejavu")));
    for (const QString& name : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
        QFontDatabase::addApplicationFont(folder.filePath(name));
#endif
}

} // namespace qp::test
