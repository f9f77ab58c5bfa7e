// SPDX-License-Identifier: MIT
#pragma once
// What every test program with Qt sets up before its application object exists.
#include <QTemporaryDir>

namespace qp::test {

// Chooses the headless platform unless another one is asked for (e.g. xcb under Xvfb), and points
// the desktop's user and system folders into `desktop`, so that desktop registration never reaches
// the real folders from a test.
void prepareTestEnvironment(const QTemporaryDir& desktop);

// Once the application object exists: on Windows, the faces the tests draw with (DejaVu) are
// added to the program's own fonts when the system has none of them. Under Wine they come from
// the Linux side: the folder in QP_TEST_FONT_DIR, else Debian's DejaVu folder on drive Z:.
// Nothing on Linux, where the faces are installed.
void addTestFonts();

} // namespace qp::test
