// SPDX-License-Identifier: MIT
// Writes "<own path>.started" and ends: the elevated-restart test sees from it that the program
// was started.
#include <windows.h>

#include <string>

int main()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    const std::wstring marker = std::wstring(path) + L".started";
    const HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(file);
    return 0;
}
