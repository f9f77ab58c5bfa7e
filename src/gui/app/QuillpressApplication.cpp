// SPDX-License-Identifier: MIT
#include "gui/app/QuillpressApplication.h"

#include "gui/app/ErrorBox.h"

namespace qp {

bool runReportingErrors(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const std::exception& e) {
        showGeneralError(errorMessage(e));
    } catch (...) {
        showGeneralError(QStringLiteral("Unknown error"));
    }
    return false;
}

QuillpressApplication::QuillpressApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool QuillpressApplication::notify(QObject* receiver, QEvent* event)
{
    return runReportingErrors([&] { return QApplication::notify(receiver, event); });
}

} // namespace qp
