// quillpress-cli: the headless program. It needs no display: text is drawn into images with the
// offscreen platform.
#include "cli/CliApp.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {

// The tool reports through its own messages; the toolkit's warnings about the headless
// environment (no runtime folder, no display fonts configured) are noise on a terminal.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg || qEnvironmentVariableIsSet("QUILLPRESS_DEBUG"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("quillpress"));

    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    QTextStream out(stdout);
    QTextStream err(stderr);
    qp::cli::CliStreams streams{out, err, &in, ::isatty(STDERR_FILENO) != 0};
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    return qp::cli::runCli(args, streams);
}
