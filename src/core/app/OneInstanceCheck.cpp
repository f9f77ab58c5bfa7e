// SPDX-License-Identifier: MIT
#include "core/app/OneInstanceCheck.h"

#include "core/app/OneInstanceFunc.h"

#include <QGuiApplication>
#include <QWindow>

#include <stdexcept>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace qp {

namespace {

TOneInstanceCheck* g_instance = nullptr;

} // namespace

TOneInstanceCheck::TOneInstanceCheck(QObject* owner) : QObject(owner)
{
    if (g_instance)
        throw std::runtime_error(QStringLiteral("Nur ein %1-Objekt möglich")
                                     .arg(QString::fromLatin1(metaObject()->className()).section(u':', -1))
                                     .toStdString());
    g_instance = this;
    setHandOffReceiver([](quint32 processId, const QString& commandLine) {
        return g_instance ? g_instance->dispatch(processId, commandLine) : true;
    });
}

TOneInstanceCheck::~TOneInstanceCheck()
{
    if (g_instance == this) {
        g_instance = nullptr;
        setHandOffReceiver({});
    }
}

TOneInstanceCheck* TOneInstanceCheck::instance()
{
    return g_instance;
}

bool TOneInstanceCheck::dispatch(quint32 processId, const QString& commandLine)
{
    bool allow = false;
    if (!OnNewInstance)
        return allow;
    OnNewInstance(*this, processId, ParseQuotedArguments(commandLine), allow);
    if (!allow && mainWindow)
        BringToForeground(mainWindow(), raiseWindow);
    return allow;
}

bool BringToForeground(QWindow* window, const std::function<void(QWindow*)>& raise)
{
    if (!window)
        return false;
#ifdef Q_OS_WIN
    // The window system's own steps, on the window's handle (which only the windows platform
    // gives; other platforms, such as the offscreen one of the tests, take the steps below).
    if (QGuiApplication::platformName() == u"windows") {
        auto* handle = reinterpret_cast<HWND>(window->winId());
        if (IsIconic(handle))
            ShowWindow(handle, SW_RESTORE);
        if (GetForegroundWindow() == handle)
            return true;
        // The system lets a process take the foreground only in some cases (the new process
        // allowed it, when it handed over); with its input joined to that of the foreground
        // window's thread, this thread takes it like the thread that has it now.
        const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
        const DWORD targetThread = GetWindowThreadProcessId(handle, nullptr);
        const bool attached = foregroundThread != 0 && foregroundThread != targetThread
                              && AttachThreadInput(targetThread, foregroundThread, TRUE);
        BringWindowToTop(handle);
        SetForegroundWindow(handle);
        if (attached)
            AttachThreadInput(targetThread, foregroundThread, FALSE);
        return GetForegroundWindow() == handle;
    }
#endif
    if (window->windowStates() & Qt::WindowMinimized)
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
    if (window->isActive())
        return true;
    if (raise) {
        raise(window);
    } else {
        window->raise();
        window->requestActivate();
    }
    return window->isActive();
}

} // namespace qp

// The meta-object code of this file's classes stays in its own object file, so that a program
// that never starts the single-instance hand-off (the command-line tool) does not link it.
#include "moc_OneInstanceCheck.cpp"
