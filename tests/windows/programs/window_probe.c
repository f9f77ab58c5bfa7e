/* SPDX-License-Identifier: MIT */
/* Works the desktop program from outside, as a user at the keyboard does, and looks at its windows
 * (cross-built by the checks that need it; plain Win32, no Qt):
 *   window_probe keys TITLE KEYS   brings the visible captioned window TITLE to the front and types
 *                                  KEYS: "%x" is Alt+x, "~" Escape, any other character its key
 *   window_probe rect TITLE [SECONDS]  prints "x y width height" of the visible captioned window
 *                                  TITLE, waiting up to SECONDS (default 60) for it
 * Only windows with a caption count, so the frameless start window, which shares the main window's
 * title, is never taken for it. Waits up to 60 s for the window; exit status 1 when it does not
 * appear.
 *
 * By program file EXE (a Windows path, compared without regard to case), whose "main windows" are
 * its visible captioned top-level windows without an owner (dialogs have one):
 *   window_probe wait EXE COUNT SECONDS   waits until COUNT processes of EXE show a main window
 *   window_probe close EXE                asks every main window of EXE to close (WM_CLOSE)
 *   window_probe minimize EXE             minimises every main window of EXE and waits until they are
 *   window_probe front EXE                the foreground window is a main window of EXE, not minimised
 * By window class:
 *   window_probe class NAME               a top-level window of the class NAME exists
 *   window_probe copydata NAME TEXT       sends WM_COPYDATA (wParam 0, dwData this process's id) with
 *                                         TEXT in UTF-16, without a terminating zero, to the window of
 *                                         the class NAME and prints "reply <hex>"
 *   window_probe copydata-size NAME SIZE  the same with SIZE bytes of 'x'
 * These give exit status 0 for yes (or windows found and told), 1 for no, and print what they saw. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

static HWND g_found;
static const wchar_t* g_title;

static int isCaptioned(HWND window)
{
    return IsWindowVisible(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

static BOOL CALLBACK visit(HWND window, LPARAM unused)
{
    wchar_t title[256];
    (void)unused;
    if (isCaptioned(window) && GetWindowTextW(window, title, 256) > 0 && wcscmp(title, g_title) == 0) {
        g_found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND waitForWindow(const wchar_t* title, int seconds)
{
    g_title = title;
    for (int i = 0; i < seconds * 10; ++i) {
        g_found = NULL;
        EnumWindows(visit, 0);
        if (g_found)
            return g_found;
        Sleep(100);
    }
    return NULL;
}

static void key(WORD virtualKey, BOOL up)
{
    INPUT input = {0};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(50);
}

static void press(WORD virtualKey)
{
    key(virtualKey, FALSE);
    key(virtualKey, TRUE);
}

static int byTitle(int argc, wchar_t** argv)
{
    if (argc < 3 || (wcscmp(argv[1], L"keys") == 0 && argc < 4))
        return 2;
    const int seconds = wcscmp(argv[1], L"rect") == 0 && argc > 3 ? _wtoi(argv[3]) : 60;
    HWND window = waitForWindow(argv[2], seconds > 0 ? seconds : 60);
    if (!window) {
        fwprintf(stderr, L"no visible window \"%ls\"\n", argv[2]);
        return 1;
    }
    if (wcscmp(argv[1], L"rect") == 0) {
        RECT r;
        GetWindowRect(window, &r);
        printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    SetForegroundWindow(window);
    Sleep(500);
    for (const wchar_t* k = argv[3]; *k; ++k) {
        if (*k == L'%' && k[1]) {
            key(VK_MENU, FALSE);
            press(VkKeyScanW(*++k) & 0xFF);
            key(VK_MENU, TRUE);
        } else if (*k == L'~') {
            press(VK_ESCAPE);
        } else {
            press(VkKeyScanW(*k) & 0xFF);
        }
        Sleep(500);
    }
    return 0;
}

/* --- By program file ---------------------------------------------------------------------------- */

static const wchar_t* g_exe;

static int isProgramProcess(DWORD pid)
{
    static wchar_t path[32768];
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return 0;
    DWORD size = sizeof path / sizeof path[0];
    const int same = QueryFullProcessImageNameW(process, 0, path, &size) && _wcsicmp(path, g_exe) == 0;
    CloseHandle(process);
    return same;
}

static int isMainWindow(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return isCaptioned(window) && !GetWindow(window, GW_OWNER) && isProgramProcess(pid);
}

/* The main windows of EXE, and how many processes they belong to. */
#define MAX_FOUND 64
static HWND g_windows[MAX_FOUND];
static DWORD g_pids[MAX_FOUND];
static int g_windowCount;
static int g_processCount;

static BOOL CALLBACK collect(HWND window, LPARAM unused)
{
    (void)unused;
    if (g_windowCount == MAX_FOUND || !isMainWindow(window))
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    int known = 0;
    for (int i = 0; i < g_windowCount; ++i)
        known |= g_pids[i] == pid;
    g_processCount += !known;
    g_windows[g_windowCount] = window;
    g_pids[g_windowCount++] = pid;
    return TRUE;
}

static void findMainWindows(void)
{
    g_windowCount = g_processCount = 0;
    EnumWindows(collect, 0);
}

static void describe(const char* what, HWND window)
{
    wchar_t title[256] = L"", className[256] = L"";
    DWORD pid = 0;
    if (window) {
        GetWindowTextW(window, title, 256);
        GetClassNameW(window, className, 256);
        GetWindowThreadProcessId(window, &pid);
    }
    printf("%s: process %lu, class %ls, title %ls\n", what, (unsigned long)pid, className, title);
}

static int byProgram(int argc, wchar_t** argv)
{
    const wchar_t* command = argv[1];
    g_exe = argv[2];
    if (wcscmp(command, L"wait") == 0 && argc == 5) {
        const int count = _wtoi(argv[3]);
        const DWORD deadline = GetTickCount() + 1000u * (DWORD)_wtoi(argv[4]);
        for (;;) {
            findMainWindows();
            if (g_processCount >= count || (int)(GetTickCount() - deadline) > 0)
                break;
            Sleep(100);
        }
        printf("%d processes with a main window\n", g_processCount);
        return g_processCount >= count ? 0 : 1;
    }
    const int close = wcscmp(command, L"close") == 0;
    if ((close || wcscmp(command, L"minimize") == 0) && argc == 3) {
        findMainWindows();
        for (int i = 0; i < g_windowCount; ++i) {
            describe("main window", g_windows[i]);
            if (close)
                PostMessageW(g_windows[i], WM_CLOSE, 0, 0);
            else
                ShowWindowAsync(g_windows[i], SW_MINIMIZE);
        }
        /* The program minimises its windows when it takes the request: wait for that. */
        for (int waited = 0; !close && waited < 30000; waited += 100) {
            int minimised = 0;
            for (int i = 0; i < g_windowCount; ++i)
                minimised += IsIconic(g_windows[i]) != 0;
            if (minimised == g_windowCount)
                break;
            Sleep(100);
        }
        return g_windowCount > 0 ? 0 : 1;
    }
    if (wcscmp(command, L"front") == 0 && argc == 3) {
        HWND front = GetForegroundWindow();
        const int main = front && isMainWindow(front);
        const int minimised = front && IsIconic(front);
        printf("%s%s, ", main ? "a main window of the program" : "another window", minimised ? ", minimised" : "");
        describe("foreground", front);
        return main && !minimised ? 0 : 1;
    }
    return 2;
}

/* --- By window class ---------------------------------------------------------------------------- */

static int byClass(int argc, wchar_t** argv)
{
    const wchar_t* command = argv[1];
    HWND window = FindWindowW(argv[2], NULL);
    if (wcscmp(command, L"class") == 0 && argc == 3) {
        printf("%s\n", window ? "found" : "not found");
        return window ? 0 : 1;
    }
    const int sized = wcscmp(command, L"copydata-size") == 0;
    if ((sized || wcscmp(command, L"copydata") == 0) && argc == 4) {
        if (!window) {
            printf("no window of the class\n");
            return 1;
        }
        COPYDATASTRUCT data;
        data.dwData = GetCurrentProcessId();
        if (sized) {
            data.cbData = (DWORD)_wtoi(argv[3]);
            data.lpData = malloc(data.cbData + 1);
            if (!data.lpData)
                return 2;
            memset(data.lpData, 'x', data.cbData);
        } else {
            data.cbData = (DWORD)(wcslen(argv[3]) * sizeof(wchar_t));
            data.lpData = argv[3];
        }
        DWORD_PTR reply = 0;
        if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, (LPARAM)&data, SMTO_NORMAL, 60000, &reply)) {
            printf("no reply (error %lu)\n", (unsigned long)GetLastError());
            return 1;
        }
        printf("reply %08lx\n", (unsigned long)(reply & 0xFFFFFFFFu));
        return 0;
    }
    return 2;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    const wchar_t* command = argv[1];
    if (wcscmp(command, L"keys") == 0 || wcscmp(command, L"rect") == 0)
        return byTitle(argc, argv);
    if (wcscmp(command, L"class") == 0 || wcsncmp(command, L"copydata", 8) == 0)
        return byClass(argc, argv);
    return byProgram(argc, argv);
}
