// quillpress: the desktop program.
#include "app/OneInstanceFunc.h"
#include "app/ProgramWindows.h"
#include "app/QuillpressApplication.h"
#include "app/Tstart.h"

#include "codec/FormatRegistry.h"

#include <QDir>
#include <QStyleFactory>

int main(int argc, char** argv)
{
    // Before anything else: a start with arguments hands them to a running instance of this
    // program file and ends.
    const QString programPath = qp::runningProgramPath(argv[0]);
    QStringList handOffArguments;
    for (int i = 1; i < argc; ++i)
        handOffArguments << QString::fromLocal8Bit(argv[i]);
    if (qp::HandOffToRunningInstance(programPath, handOffArguments, QDir::currentPath()))
        return 0;

    qp::QuillpressApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillpress"));
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
