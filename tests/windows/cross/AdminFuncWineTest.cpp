// SPDX-License-Identifier: MIT
// The administrator test with each method made to answer in turn, and the restart through the
// "runas" verb (run under Wine).
#include "core/shell/windows/win32/AdminFunc.h"
#include "core/shell/windows/win32/Win32ShellSystem.h"
#include "core/shell/windows/win32/Win32Text.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

using namespace qp::winshell;

namespace {

class AdminFuncTest : public ::testing::Test {
protected:
    void TearDown() override { setFirstAdminMethod(AdminMethod::IsUserAnAdmin); }
};

struct Sid {
    PSID sid = nullptr;
    Sid(DWORD count, DWORD a, DWORD b, DWORD c = 0, DWORD d = 0)
    {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        AllocateAndInitializeSid(&nt, static_cast<BYTE>(count), a, b, c, d, 0, 0, 0, 0, &sid);
    }
    ~Sid() { FreeSid(sid); }
};

bool exported(const wchar_t* library, const char* function)
{
    const HMODULE module = LoadLibraryW(library);
    return module && GetProcAddress(module, function);
}

TEST_F(AdminFuncTest, EveryMethodGivesTheSameAnswerAndAMissingOneFallsThrough)
{
    // Wine's shell32 exports SHTestTokenMembership by ordinal only, as older Windows did: asked for
    // by name it is missing, and the next method answers.
    const bool testTokenMembershipByName = exported(L"SHELL32", "SHTestTokenMembership");
    const bool expected = IsUserAnAdmin() != FALSE;
    for (auto method : {AdminMethod::IsUserAnAdmin, AdminMethod::TestTokenMembership,
                        AdminMethod::CheckTokenMembership, AdminMethod::AccessCheck}) {
        setFirstAdminMethod(method);
        EXPECT_EQ(IsAdmin(), expected) << static_cast<int>(method);
        const AdminMethod answering = method == AdminMethod::TestTokenMembership && !testTokenMembershipByName
                                          ? AdminMethod::CheckTokenMembership
                                          : method;
        EXPECT_EQ(static_cast<int>(usedAdminMethod()), static_cast<int>(answering));
    }
}

TEST_F(AdminFuncTest, TheAccessCheckTellsMembersFromOthers)
{
    const Sid administrators(2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    const Sid stranger(4, SECURITY_NT_NON_UNIQUE, 1111, 2222, 3333);
    ASSERT_TRUE(administrators.sid && stranger.sid);
    for (PSID sid : {administrators.sid, stranger.sid}) {
        BOOL reference = FALSE;
        ASSERT_TRUE(CheckTokenMembership(nullptr, sid, &reference));
        setFirstAdminMethod(AdminMethod::AccessCheck);
        bool member = !reference;
        ASSERT_TRUE(CheckMembership(nullptr, sid, member));
        EXPECT_EQ(usedAdminMethod(), AdminMethod::AccessCheck);
        EXPECT_EQ(member, reference != FALSE);

        // The same with an impersonation token on the thread, which is then used instead of a
        // copy of the process token.
        ASSERT_TRUE(ImpersonateSelf(SecurityImpersonation));
        member = !reference;
        EXPECT_TRUE(CheckMembership(nullptr, sid, member));
        EXPECT_EQ(member, reference != FALSE);
        RevertToSelf();
    }
    EXPECT_TRUE(IsUserAnAdmin()) << "the test prefix runs as administrator, so one SID above was a member";
}

std::wstring besideThisProgram(const wchar_t* name)
{
    const std::u16string self = currentProgramPath();
    const std::wstring path(wide(self));
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

TEST(RestartAsAdminTest, StartsTheProgramAndTellsWhenItCannot)
{
    const std::wstring probe = besideThisProgram(L"restart_probe.exe");
    const std::wstring marker = probe + L".started";
    DeleteFileW(marker.c_str());
    ASSERT_NE(GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(RestartAsAdmin(nullptr, fromWide(probe.c_str())), RestartOutcome::Started);
    bool started = false;
    for (int i = 0; i < 300 && !started; ++i) {
        started = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!started)
            Sleep(100);
    }
    EXPECT_TRUE(started);
    DeleteFileW(marker.c_str());

    // A start that fails is reported as a failure, not as the user's "No", so the caller keeps
    // running and says so.
    EXPECT_EQ(RestartAsAdmin(nullptr, fromWide(besideThisProgram(L"missing.exe").c_str())), RestartOutcome::Failed);
}

} // namespace
