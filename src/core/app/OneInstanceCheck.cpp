// SPDX-License-Identifier: MIT
#include "core/app/OneInstanceCheck.h"

#include "core/app/OneInstanceFunc.h"

#include <QGuiApplication>
#include <QWindow>

#include <stdexcept>

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
