// SPDX-License-Identifier: MIT
// quillpress: the desktop program.
#include "core/app/OneInstanceFunc.h"
#include "core/app/Version.h"
#include "gui/app/ProgramIcon.h"
#include "gui/app/ProgramWindows.h"
#include "gui/app/QuillpressApplication.h"
#include "gui/app/Tstart.h"

#include "codec/FormatRegistry.h"
#include "core/render/FontFaces.h"

#include <QDir>
#include <QStyleFactory>
#include <cstdio>

int main(int argc, char** argv)
{
    const QStringList given = qp::startArguments(argc, argv);

    // --help and --version are answered on the terminal, before any window or display is needed.
    if (const auto answer = qp::desktopInformationRequest(given)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }

    // Then a start with arguments hands them to a running instance of this program file and ends.
    const QString programPath = qp::runningProgramPath(argv[0]);
    if (qp::HandOffToRunningInstance(programPath, given, QDir::currentPath()))
        return 0;

    qp::QuillpressApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillpress"));
    // Ties the windows to the installed desktop entry (its icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("quillpress"));
    // Every window carries the program's icon (the window manager's generic one otherwise).
    QApplication::setWindowIcon(qp::programIcon());
    // Without an installed Tahoma the default face comes from the compatibility fonts.
    qp::addDefaultFaceWhenMissing();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // The program ends when the start window closes, not when its last visible window does.
    QApplication::setQuitOnLastWindowClosed(false);

    // The codec's writers and option table exist before any window.
    imaging::Imaging();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    qp::ProgramWindows windows(arguments, QDir::currentPath());
    // Every instance takes hand-offs from here on, when its main window exists to receive them (a
    // start that comes earlier finds no instance and opens its own, as a refusal would make it).
    qp::InstanceListener instanceListener(programPath);
    windows.endEventLoopOnProgramEnd();
    windows.start().show();
    return app.exec();
}
