// SPDX-License-Identifier: MIT
#include "support/TestEnvironment.h"

#include <QByteArray>
#include <QLatin1String>

namespace qp::test {

void prepareTestEnvironment(const QTemporaryDir& desktop)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "QUILLPRESS_SHELL_ROOT"})
        qputenv(name, (desktop.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
}

} // namespace qp::test
