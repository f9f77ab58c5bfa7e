// SPDX-License-Identifier: MIT
// The hand-off through WM_COPYDATA to a hidden window (Windows): the sending start and the
// listener. Built for Windows only.
#include "core/app/OneInstanceFunc.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace qp {

namespace {

// Closes a handle of the system when it goes.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The user of a process (its token's TOKEN_USER); empty when it cannot be read.
std::vector<BYTE> processUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER))
        return {};
    std::vector<BYTE> user(size);
    if (!GetTokenInformation(token, TokenUser, user.data(), size, &size))
        return {};
    return user;
}

// True when the process `processId` runs as the user of this process. A process of another user
// cannot be opened or its token not read: false.
bool runsAsThisUser(DWORD processId)
{
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    const std::vector<BYTE> theirs = processUser(process.get());
    const std::vector<BYTE> ours = processUser(GetCurrentProcess());
    if (theirs.empty() || ours.empty())
        return false;
    return EqualSid(reinterpret_cast<const TOKEN_USER*>(theirs.data())->User.Sid,
                    reinterpret_cast<const TOKEN_USER*>(ours.data())->User.Sid);
}

// The hand-off window's procedure: WM_COPYDATA with wParam 0 and a data pointer is a hand-off,
// answered with the listener's reply; every other message goes to the default procedure.
LRESULT CALLBACK handOffWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* listener = reinterpret_cast<InstanceListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && listener) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        listener->windowDestroyed();
    } else if (message == WM_COPYDATA && wParam == 0 && lParam != 0 && listener) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        // Any process of the desktop can send this message: its size is checked before a byte is
        // read, and what is not a UTF-16 text of the size of a command line is refused.
        if (data->cbData % 2 != 0 || data->cbData > kMaxHandOffBytes || (data->cbData > 0 && !data->lpData))
            return LRESULT(kHandOffRefused);
        // The system's copy of the data lives only while the message is served.
        QString commandLine(qsizetype(data->cbData / 2), Qt::Uninitialized);
        if (data->cbData > 0)
            std::memcpy(commandLine.data(), data->lpData, data->cbData);
        return LRESULT(listener->receive(quint32(data->dwData), commandLine));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace

bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs)
{
    const std::optional<QString> line = handOffCommandLine(programPath, arguments, workingDir);
    if (!line || quint64(line->size()) * 2 > kMaxHandOffBytes)
        return false;
    const QString className = instanceWindowClass(programPath);
    HWND window = FindWindowW(wide(className), nullptr);
    DWORD owner = 0;
    if (!window || !GetWindowThreadProcessId(window, &owner) || !runsAsThisUser(owner))
        return false;
    // The running instance comes to the front when it takes the hand-off. This process was just
    // started by the user (from the desktop or a console), so it may pass that right on.
    AllowSetForegroundWindow(owner);
    COPYDATASTRUCT data{};
    data.dwData = GetCurrentProcessId();
    data.cbData = DWORD(line->size() * 2);
    data.lpData = const_cast<void*>(static_cast<const void*>(line->utf16()));
    // The wait is not cut short when the instance seems hung: one that draws a large image of a
    // run takes window messages only between images. A send that fails or is not answered in time
    // gives no reply, which counts as a refusal.
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                             UINT(std::max(0, timeoutMs)), &reply))
        return false;
    return quint32(reply) == kHandOffAccepted;
}

InstanceListener::InstanceListener(const QString& programPath, QObject* parent)
    : QObject(parent), m_className(instanceWindowClass(programPath))
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = handOffWindowProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = wide(m_className);
    // The class is registered once per process; a further listener of the same program file uses
    // it as it is.
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        qWarning("quillpress: the hand-off window class cannot be registered; later starts open "
                 "windows of their own");
        return;
    }
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wide(m_className), L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, module, nullptr);
    if (!window) {
        qWarning("quillpress: no hand-off window; later starts open windows of their own");
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
}

InstanceListener::~InstanceListener()
{
    if (m_window) {
        auto* window = static_cast<HWND>(m_window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    // Fails, and leaves the class, while another window of the class exists in the process.
    UnregisterClassW(wide(m_className), GetModuleHandleW(nullptr));
}

quint32 InstanceListener::receive(quint32 processId, const QString& commandLine)
{
    quint32 reply = kHandOffRefused;
    if (const HandOffReceiver& hook = receiverHook()) {
        // Also when the receiver fails, the new process has nothing left to do: its error is
        // shown here.
        reply = kHandOffAccepted;
        try {
            reply = hook(processId, commandLine) ? kHandOffRefused : kHandOffAccepted;
        } catch (...) {
            // No exception may pass through the window system's frames: it goes on to the event
            // loop, which reports it as every other error of the program.
            QMetaObject::invokeMethod(
                this, [error = std::current_exception()] { std::rethrow_exception(error); },
                Qt::QueuedConnection);
        }
    }
    emit answered(processId, reply);
    return reply;
}

} // namespace qp

// The meta-object code of the listener stays in the object file of its transport, so that a
// program that never starts the single-instance hand-off (the command-line tool) does not link it.
#include "moc_InstanceListener.cpp"
#endif
