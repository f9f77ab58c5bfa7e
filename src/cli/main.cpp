// SPDX-License-Identifier: MIT
// quillpress-cli: the headless program. It needs no display: text is drawn into images with the
// offscreen platform.
#include "cli/CliApp.h"
#include "core/i18n/Language.h"
#include "core/i18n/SystemErrors.h"
#include "core/render/FontFaces.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#ifdef Q_OS_WIN
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The tool reports through its own messages; the toolkit's warnings about the headless
// environment (no runtime folder, no display fonts configured) are noise on a terminal.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg || qEnvironmentVariableIsSet("QUILLPRESS_DEBUG"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

#ifdef Q_OS_WIN
// A Windows console shows the tool's UTF-8 output as it is, and redraws the progress bar's line
// with the same control sequences as a terminal, once it is asked to; both settings belong to the
// console window and are given back when the tool ends.
class ConsoleSettings {
public:
    ConsoleSettings() : m_outputCodePage(GetConsoleOutputCP())
    {
        if (m_outputCodePage != 0)
            SetConsoleOutputCP(CP_UTF8);
        m_err = GetStdHandle(STD_ERROR_HANDLE);
        if (m_err != INVALID_HANDLE_VALUE && m_err != nullptr && GetConsoleMode(m_err, &m_errMode)) {
            m_isConsole = true;
            m_controlSequences = (m_errMode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                                 SetConsoleMode(m_err, m_errMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
        }
    }
    ~ConsoleSettings()
    {
        if (m_outputCodePage != 0)
            SetConsoleOutputCP(m_outputCodePage);
        if (m_isConsole)
            SetConsoleMode(m_err, m_errMode);
    }
    ConsoleSettings(const ConsoleSettings&) = delete;
    ConsoleSettings& operator=(const ConsoleSettings&) = delete;
    // Standard error is a console that draws control sequences.
    bool controlSequences() const { return m_controlSequences; }

private:
    UINT m_outputCodePage;
    HANDLE m_err = INVALID_HANDLE_VALUE;
    DWORD m_errMode = 0;
    bool m_isConsole = false;
    bool m_controlSequences = false;
};
#endif

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("quillpress"));
    // Without an installed Tahoma the default face comes from the compatibility fonts.
    qp::addDefaultFaceWhenMissing();

    QFile in;
#ifdef _WIN32
    // The text's bytes as they come (no CR LF or Ctrl+Z translation: line breaks are the tool's to
    // read), through the descriptor: read as a C stream, a pipe whose writer has already finished
    // fails with a read error after its last bytes instead of ending.
    _setmode(_fileno(stdin), _O_BINARY);
    in.open(_fileno(stdin), QIODevice::ReadOnly);
#else
    in.open(stdin, QIODevice::ReadOnly);
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    // The progress bar redraws its line with control sequences: only on a terminal that has them
    // (TERM set and not "dumb"; on Windows a console that takes them); elsewhere the written
    // paths are the only progress shown.
    const QByteArray term = qgetenv("TERM");
#ifdef Q_OS_WIN
    const ConsoleSettings console;
    const bool progressBar = console.controlSequences() && term != "dumb";
#else
    const bool progressBar = ::isatty(STDERR_FILENO) != 0 && !term.isEmpty() && term != "dumb";
#endif
    qp::cli::CliStreams streams{out, err, &in, progressBar};
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    int status = qp::cli::runCli(args, streams);

    // The written paths are the tool's result: when they could not all be written, the run failed.
    out.flush();
    const bool outFailed = out.status() != QTextStream::Ok;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || outFailed) {
        const int error = errno;
        err << "quillpress-cli: "
            << qp::tr2(QStringLiteral("Die Standardausgabe kann nicht geschrieben werden: %1"),
                       QStringLiteral("Cannot write to standard output: %1"))
                   .arg(qp::systemErrorText(error))
            << Qt::endl;
        status = 1;
    }
    return status;
}
