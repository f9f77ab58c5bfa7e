// SPDX-License-Identifier: MIT
// Test entry point: a headless QGuiApplication so that fonts and QImage painting work without a display.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                     : qgetenv("QT_QPA_PLATFORM"));
    // Desktop registration never reaches the real user or system folders from a test: the user's
    // data and configuration folders and the prefix of the system-wide places lie in a temporary
    // folder of this run.
    QTemporaryDir desktop;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "QUILLPRESS_SHELL_ROOT"})
        qputenv(name, (desktop.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
