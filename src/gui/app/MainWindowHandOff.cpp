// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowHandOff.h"

#include "core/app/OneInstanceCheck.h"
#include "gui/app/DesktopWindows.h"

#include <QWidget>

namespace qp {

MainWindowHandOff::MainWindowHandOff(QWidget& window, std::function<void(const QStringList& params)> receive)
    : m_check(std::make_unique<TOneInstanceCheck>())
{
    m_check->OnNewInstance = [receive = std::move(receive)](TOneInstanceCheck&, quint32, const QStringList& params,
                                                            bool&) { receive(params); };
    m_check->mainWindow = [&window] { return window.windowHandle(); };
    m_check->raiseWindow = raiseAndActivate;
}

MainWindowHandOff::~MainWindowHandOff() = default;

} // namespace qp
