// SPDX-License-Identifier: MIT
#pragma once
// The main window's end of the hand-off from a second start of the program: the single-instance
// component, which passes each command line it receives on and then brings the window to the
// front, above the other windows of the desktop.
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace qp {

class TOneInstanceCheck;

class MainWindowHandOff {
public:
    // `receive` gets the parts of each received command line (the program path first).
    MainWindowHandOff(QWidget& window, std::function<void(const QStringList& params)> receive);
    ~MainWindowHandOff();

    // The single-instance component.
    TOneInstanceCheck& instanceCheck() const { return *m_check; }

private:
    std::unique_ptr<TOneInstanceCheck> m_check;
};

} // namespace qp
