// quillpress: the desktop program.
#include "app/ProgramWindows.h"
#include "app/QuillpressApplication.h"
#include "app/Tstart.h"

#include "codec/FormatRegistry.h"

#include <QDir>
#include <QStyleFactory>

int main(int argc, char** argv)
{
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
    windows.endEventLoopOnProgramEnd();
    windows.start().show();
    return app.exec();
}
