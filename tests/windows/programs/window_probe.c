/* SPDX-License-Identifier: MIT */
/* Works the desktop program from outside, as a user at the keyboard does (cross-built by the checks
 * that need it; plain Win32, no Qt):
 *   window_probe keys TITLE KEYS   brings the visible captioned window TITLE to the front and types
 *                                  KEYS: "%x" is Alt+x, "~" Escape, any other character its key
 *   window_probe rect TITLE        prints "x y width height" of the visible captioned window TITLE
 * Only windows with a caption count, so the frameless start window, which shares the main window's
 * title, is never taken for it. Waits up to 60 s for the window; exit status 1 when it does not
 * appear. */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

static HWND g_found;
static const wchar_t* g_title;

static BOOL CALLBACK visit(HWND window, LPARAM unused)
{
    wchar_t title[256];
    (void)unused;
    if (IsWindowVisible(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION
        && GetWindowTextW(window, title, 256) > 0 && wcscmp(title, g_title) == 0) {
        g_found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND waitForWindow(const wchar_t* title)
{
    g_title = title;
    for (int i = 0; i < 600; ++i) {
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

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3 || (wcscmp(argv[1], L"keys") == 0 && argc < 4))
        return 2;
    HWND window = waitForWindow(argv[2]);
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
