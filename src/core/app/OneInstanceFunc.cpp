// SPDX-License-Identifier: MIT
#include "core/app/OneInstanceFunc.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <memory>
#include <string>

namespace qp {

namespace {

HandOffReceiver& storedReceiver()
{
    static HandOffReceiver hook;
    return hook;
}

} // namespace

const HandOffReceiver& receiverHook()
{
    return storedReceiver();
}

void setHandOffReceiver(HandOffReceiver receiver)
{
    storedReceiver() = std::move(receiver);
}

QString runningProgramPath(const char* argv0)
{
#if defined(Q_OS_LINUX)
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!exe.isEmpty())
        return exe;
#elif defined(Q_OS_WIN)
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n > 0 && n < buffer.size())
        return QString::fromWCharArray(buffer.data(), qsizetype(n));
#endif
    return QFileInfo(QString::fromLocal8Bit(argv0 ? argv0 : "")).absoluteFilePath();
}

QStringList startArguments(int argc, char** argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    struct LocalFreer {
        void operator()(LPWSTR* memory) const { LocalFree(memory); }
    };
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> split(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; split && i < count; ++i)
        arguments << QString::fromWCharArray(split.get()[i]);
#else
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#endif
    return arguments;
}

} // namespace qp
