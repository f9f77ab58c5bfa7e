// Entry point of the window tests: a headless QApplication (offscreen platform unless another
// platform is asked for, e.g. xcb under Xvfb for screenshots).
#include "render/FontFaces.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // The windows see the faces the desktop program sees.
    qp::addDefaultFaceWhenMissing();
    return RUN_ALL_TESTS();
}
