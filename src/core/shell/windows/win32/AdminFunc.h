// SPDX-License-Identifier: MIT
#pragma once
// Whether the program runs with administrator rights, and the restart with elevation.
//
// The test tries four methods in a fixed order, each system function looked up at run time (once
// per process), so that it works where some of them are missing: IsUserAnAdmin (shell32),
// SHTestTokenMembership (shell32) for the Administrators group S-1-5-32-544, CheckTokenMembership
// (advapi32), and last an access check of the token against a security descriptor that grants
// access to the group only.
#include <windows.h>

#include <string>

namespace qp::winshell {

enum class AdminMethod { IsUserAnAdmin, TestTokenMembership, CheckTokenMembership, AccessCheck };

bool IsAdmin();
// Is the token (nullptr: the caller's thread or process token) a member of the built-in group
// with that relative id.
bool TestAdminGroupMembership(HANDLE token, DWORD relativeId);
// Whether the test could be made; isMember tells the membership.
bool CheckMembership(HANDLE token, PSID sid, bool& isMember);

// For tests: the methods before `first` count as missing, so each method can be made to answer in
// turn. usedAdminMethod() tells which method gave the last answer.
void setFirstAdminMethod(AdminMethod first);
AdminMethod usedAdminMethod();

// How a restart with the "runas" verb ended: the new instance was started, the user answered
// "No" at the elevation prompt, or the start failed for another reason.
enum class RestartOutcome { Started, Declined, Failed };

// Starts the program file again with the "runas" verb (the elevation prompt, owned by `owner`),
// without arguments and without the shell's error dialogs. The caller keeps running unless the
// outcome is Started.
RestartOutcome RestartAsAdmin(HWND owner, const std::u16string& programPath);

} // namespace qp::winshell
