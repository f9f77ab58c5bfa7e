// SPDX-License-Identifier: MIT
#include "core/shell/windows/win32/Win32ShellSystem.h"

#include "core/shell/windows/win32/Win32Text.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include <stdexcept>
#include <vector>

namespace qp::winshell {

namespace {

// COM for the duration of one shortcut operation, on this thread.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    // Also usable when the thread already runs COM in another apartment model.
    bool usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (m_p)
            m_p->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return m_p; }
    void** out() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

} // namespace

std::u16string Win32ShellSystem::GetSendToFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return fromWide(path);
}

bool Win32ShellSystem::CreateShellLink(const ShellLink& link)
{
    ComScope com;
    if (!com.usable())
        return false;
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.out())))
        return false;
    shellLink->SetPath(wide(link.target));
    shellLink->SetDescription(wide(link.description));
    shellLink->SetWorkingDirectory(wide(link.workingDirectory));
    shellLink->SetArguments(wide(link.arguments));
    if (!link.iconFile.empty() && link.iconIndex >= 0)
        shellLink->SetIconLocation(wide(link.iconFile), link.iconIndex);
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.out())))
        return false;
    return SUCCEEDED(file->Save(wide(link.linkPath), TRUE));
}

std::optional<std::u16string> Win32ShellSystem::shellLinkTarget(const std::u16string& linkPath)
{
    if (!fileExists(linkPath))
        return std::nullopt;
    ComScope com;
    if (!com.usable())
        return std::nullopt;
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.out()))
        || FAILED(shellLink->QueryInterface(IID_IPersistFile, file.out()))
        || FAILED(file->Load(wide(linkPath), STGM_READ)))
        return std::nullopt;
    // The target as the shortcut's item list names it, which keeps every character of the path;
    // the path text beside it may have gone through the code page (so it does under Wine).
    wchar_t target[MAX_PATH + 1] = {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (shellLink->GetIDList(&items) == S_OK && items) {
        const bool named = SHGetPathFromIDListW(items, target);
        CoTaskMemFree(items);
        if (named)
            return fromWide(target);
    }
    if (shellLink->GetPath(target, MAX_PATH + 1, nullptr, SLGP_RAWPATH) != S_OK)
        return std::nullopt;
    return fromWide(target);
}

bool Win32ShellSystem::fileExists(const std::u16string& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32ShellSystem::deleteFile(const std::u16string& path)
{
    return DeleteFileW(wide(path)) != 0;
}

void Win32ShellSystem::notifyAssociationsChanged()
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool Win32ShellSystem::IsWow64()
{
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    const auto isWow64Process =
        kernel ? reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
               : nullptr;
    if (!isWow64Process)
        return false;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64))
        throw std::runtime_error("IsWow64: bad process handle");
    return wow64 != FALSE;
}

std::u16string currentProgramPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return fromWide(buffer.data(), length);
        // Cut short: the path is longer than the buffer.
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace qp::winshell
