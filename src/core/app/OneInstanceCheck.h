// SPDX-License-Identifier: MIT
#pragma once
// The receiving end of the hand-off inside the program: the component that turns a received
// command line into the event OnNewInstance and then brings the main window to the front. At most
// one exists per process; while none exists (before the main window is created) every hand-off
// is refused, so the new process starts on its own.
#include <QObject>
#include <QStringList>

#include <functional>

class QWindow;

namespace qp {

class TOneInstanceCheck : public QObject {
    Q_OBJECT
public:
    // OnNewInstance(Sender, ProcessId, Params, Allow): Params are the double-quoted parts of the
    // received command line (normally the program path first); Allow starts false, and setting it
    // lets the new process start on its own.
    using TOnNewInstance = std::function<void(TOneInstanceCheck& sender, quint32 processId,
                                              const QStringList& params, bool& allow)>;

    // Raises std::runtime_error "Nur ein TOneInstanceCheck-Objekt möglich" while one exists.
    explicit TOneInstanceCheck(QObject* owner = nullptr);
    ~TOneInstanceCheck() override;

    TOnNewInstance OnNewInstance;
    // The window that comes to the front after an accepted hand-off.
    std::function<QWindow*()> mainWindow;
    // How it is raised above the other windows and activated; Qt's raise and activation when
    // empty. The desktop program asks the window manager, which may grant an application only
    // the focus.
    std::function<void(QWindow*)> raiseWindow;

    // The one component of the process, or nullptr.
    static TOneInstanceCheck* instance();

    // Dispatches a received command line; returns the let-run flag.
    bool dispatch(quint32 processId, const QString& commandLine);
};

// Restores `window` from the minimised state and makes it the active window, raised above the
// others by `raise` (Qt's raise and activation when empty); true when it is active. Windows (the
// windows platform): restored, brought to the top and made the foreground window by the window
// system's calls, with this thread's input joined to that of the foreground window for the
// moment; `raise` is not used. True when it is the foreground window.
bool BringToForeground(QWindow* window, const std::function<void(QWindow*)>& raise = {});

} // namespace qp
