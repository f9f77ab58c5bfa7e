// SPDX-License-Identifier: MIT
#pragma once
// The desktop program's application object: every exception that leaves an event handler ends
// that handler's command and is shown in the general error box; the event loop goes on.
#include <QApplication>

#include <functional>

namespace qp {

// Runs `deliver`; an exception it throws is shown in the general error box and gives false.
bool runReportingErrors(const std::function<bool()>& deliver);

class QuillpressApplication : public QApplication {
    Q_OBJECT
public:
    QuillpressApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace qp
