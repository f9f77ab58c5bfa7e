// SPDX-License-Identifier: MIT
#pragma once
// What every test program with Qt sets up before its application object exists.
#include <QTemporaryDir>

namespace qp::test {

// Chooses the headless platform unless another one is asked for (e.g. xcb under Xvfb), and points
// the desktop's user and system folders into `desktop`, so that desktop registration never reaches
// the real folders from a test.
void prepareTestEnvironment(const QTemporaryDir& desktop);

} // namespace qp::test
