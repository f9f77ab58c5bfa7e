// SPDX-License-Identifier: MIT
// Entry point of the window tests: a headless QApplication (offscreen platform unless another
// platform is asked for, e.g. xcb under Xvfb).
#include "core/render/FontFaces.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir desktop;
    qp::test::prepareTestEnvironment(desktop);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // The windows see the faces the desktop program sees.
    qp::addDefaultFaceWhenMissing();
    return RUN_ALL_TESTS();
}
