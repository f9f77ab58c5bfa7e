// SPDX-License-Identifier: MIT
// Entry point of the window tests: a headless QApplication (offscreen platform unless another
// platform is asked for, e.g. xcb under Xvfb for screenshots).
#include "render/FontFaces.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Desktop registration never reaches the real user or system folders from a test: the user's
    // data and configuration folders and the prefix of the system-wide places lie in a temporary
    // folder of this run.
    QTemporaryDir desktop;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "QUILLPRESS_SHELL_ROOT"})
        qputenv(name, (desktop.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // The windows see the faces the desktop program sees.
    qp::addDefaultFaceWhenMissing();
    return RUN_ALL_TESTS();
}
