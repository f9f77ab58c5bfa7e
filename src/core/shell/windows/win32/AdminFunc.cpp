// SPDX-License-Identifier: MIT
#include "core/shell/windows/win32/AdminFunc.h"

#include "core/shell/windows/win32/Win32Text.h"

#include <shellapi.h>

#include <atomic>
#include <vector>

namespace qp::winshell {

namespace {

std::atomic<AdminMethod> g_firstMethod{AdminMethod::IsUserAnAdmin};
std::atomic<AdminMethod> g_usedMethod{AdminMethod::IsUserAnAdmin};

bool allowed(AdminMethod method)
{
    return method >= g_firstMethod.load();
}

// Each library is loaded once and stays loaded for the life of the process.
HMODULE shell32()
{
    static const HMODULE module = LoadLibraryW(L"SHELL32");
    return module;
}

HMODULE advapi32()
{
    static const HMODULE module = LoadLibraryW(L"ADVAPI32");
    return module;
}

template <typename Function>
Function lookUp(HMODULE module, const char* functionName)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, functionName)))
                  : nullptr;
}

using IsUserAnAdminFunction = BOOL(WINAPI*)();
using SHTestTokenMembershipFunction = BOOL(WINAPI*)(HANDLE, ULONG);
using CheckTokenMembershipFunction = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);

// Each function is looked up on first use and the result, possibly none, kept from then on.
IsUserAnAdminFunction isUserAnAdmin()
{
    static const auto function = lookUp<IsUserAnAdminFunction>(shell32(), "IsUserAnAdmin");
    return function;
}

SHTestTokenMembershipFunction shTestTokenMembership()
{
    static const auto function = lookUp<SHTestTokenMembershipFunction>(shell32(), "SHTestTokenMembership");
    return function;
}

CheckTokenMembershipFunction checkTokenMembership()
{
    static const auto function = lookUp<CheckTokenMembershipFunction>(advapi32(), "CheckTokenMembership");
    return function;
}

struct HandleCloser {
    HANDLE handle = nullptr;
    ~HandleCloser()
    {
        if (handle)
            CloseHandle(handle);
    }
};

struct SidFreer {
    PSID sid = nullptr;
    ~SidFreer()
    {
        if (sid)
            FreeSid(sid);
    }
};

// The thread's impersonation token, or else an impersonation copy of the process token.
HANDLE queryToken()
{
    HANDLE token = nullptr;
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token))
        return token;
    if (GetLastError() != ERROR_NO_TOKEN)
        return nullptr;
    HandleCloser process;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &process.handle))
        return nullptr;
    if (!DuplicateToken(process.handle, SecurityImpersonation, &token))
        return nullptr;
    return token;
}

// CheckTokenMembership where it does not exist: access to a security descriptor whose only entry
// grants the group access is granted exactly to the group's members.
bool emulateCheckMembership(HANDLE token, PSID sid, bool& isMember)
{
    HandleCloser opened;
    if (!token) {
        opened.handle = queryToken();
        if (!opened.handle)
            return false;
        token = opened.handle;
    }
    const DWORD sidLength = GetLengthSid(sid);
    // The descriptor first, then the access list with room for its one entry. The descriptor size
    // is that of the platform (larger in a 64-bit program), so the list never overlaps it.
    const DWORD aclLength = 3 * sidLength + 20;
    std::vector<BYTE> block(SECURITY_DESCRIPTOR_MIN_LENGTH + aclLength, 0);
    const auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(block.data());
    const auto acl = reinterpret_cast<PACL>(block.data() + SECURITY_DESCRIPTOR_MIN_LENGTH);
    const DWORD probe = 1;
    if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION)
        || !SetSecurityDescriptorOwner(descriptor, sid, FALSE) || !SetSecurityDescriptorGroup(descriptor, sid, FALSE)
        || !InitializeAcl(acl, aclLength, ACL_REVISION) || !AddAccessAllowedAce(acl, ACL_REVISION, probe, sid)
        || !SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE))
        return false;

    GENERIC_MAPPING mapping{0x20000, 0x20000, 0x20000, 0x1F0000};
    alignas(PRIVILEGE_SET) BYTE privileges[56] = {};
    DWORD privilegesLength = sizeof privileges;
    DWORD granted = 0;
    BOOL accessGranted = FALSE;
    if (!AccessCheck(descriptor, token, probe, &mapping, reinterpret_cast<PPRIVILEGE_SET>(privileges),
                     &privilegesLength, &granted, &accessGranted))
        return false;
    isMember = accessGranted && granted == probe;
    return true;
}

} // namespace

void setFirstAdminMethod(AdminMethod first)
{
    g_firstMethod = first;
}

AdminMethod usedAdminMethod()
{
    return g_usedMethod;
}

bool IsAdmin()
{
    if (const auto function = isUserAnAdmin(); function && allowed(AdminMethod::IsUserAnAdmin)) {
        g_usedMethod = AdminMethod::IsUserAnAdmin;
        return function() != FALSE;
    }
    return TestAdminGroupMembership(nullptr, DOMAIN_ALIAS_RID_ADMINS);
}

bool TestAdminGroupMembership(HANDLE token, DWORD relativeId)
{
    if (const auto function = shTestTokenMembership(); function && allowed(AdminMethod::TestTokenMembership)) {
        g_usedMethod = AdminMethod::TestTokenMembership;
        return function(token, relativeId) != FALSE;
    }
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    SidFreer group;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, relativeId, 0, 0, 0, 0, 0, 0,
                                  &group.sid))
        return false;
    bool isMember = false;
    // Asked for the caller, as the shell function is.
    return CheckMembership(nullptr, group.sid, isMember) && isMember;
}

bool CheckMembership(HANDLE token, PSID sid, bool& isMember)
{
    isMember = false;
    if (const auto function = checkTokenMembership(); function && allowed(AdminMethod::CheckTokenMembership)) {
        g_usedMethod = AdminMethod::CheckTokenMembership;
        BOOL member = FALSE;
        const bool made = function(token, sid, &member) != FALSE;
        isMember = made && member;
        return made;
    }
    g_usedMethod = AdminMethod::AccessCheck;
    return emulateCheckMembership(token, sid, isMember);
}

RestartOutcome RestartAsAdmin(HWND owner, const std::u16string& programPath)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = wide(programPath);
    info.lpParameters = L"";
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        return RestartOutcome::Started;
    // The user's "No" at the prompt cancels the operation.
    return GetLastError() == ERROR_CANCELLED ? RestartOutcome::Declined : RestartOutcome::Failed;
}

} // namespace qp::winshell
