// SPDX-License-Identifier: MIT
#pragma once
// The shell functions of the registration on Windows: the "Send to" folder, shortcut files through
// the Shell Link object (wide interface), the association-change notification and the WOW64 test.
#include "core/shell/windows/ShellSystem.h"

namespace qp::winshell {

class Win32ShellSystem : public ShellSystem {
public:
    std::u16string GetSendToFolder() override;
    bool CreateShellLink(const ShellLink& link) override;
    std::optional<std::u16string> shellLinkTarget(const std::u16string& linkPath) override;
    bool fileExists(const std::u16string& path) override;
    bool deleteFile(const std::u16string& path) override;
    void notifyAssociationsChanged() override;
    // IsWow64Process of kernel32, looked up at run time; false where it does not exist.
    bool IsWow64() override;
};

// The full path of the running program file (its module file name), however long.
std::u16string currentProgramPath();

} // namespace qp::winshell
