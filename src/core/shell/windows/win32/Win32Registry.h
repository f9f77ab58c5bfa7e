// SPDX-License-Identifier: MIT
#pragma once
// The registry interface on the Windows registry, rooted at HKEY_CLASSES_ROOT, through the wide
// (UTF-16) registry functions, so that a program path outside the system code page is written as
// it is.
#include "core/shell/windows/Registry.h"

#include <memory>

namespace qp::winshell {

class Win32Registry : public Registry {
public:
    Win32Registry();
    ~Win32Registry() override;
    RegistryKey& root() override;

private:
    std::unique_ptr<RegistryKey> m_root;
};

} // namespace qp::winshell
