// SPDX-License-Identifier: MIT
// Test entry point: a headless QGuiApplication so that fonts and QImage painting work without a display.
#include "support/TestEnvironment.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QTemporaryDir desktop;
    qp::test::prepareTestEnvironment(desktop);
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    qp::test::addTestFonts();
    return RUN_ALL_TESTS();
}
