// SPDX-License-Identifier: MIT
#include "core/shell/windows/RegistryAccess.h"

namespace qp::winshell {

RegistryAccess::RegistryAccess(Registry& registry, KeyMode mode) : m_registry(registry), m_mode(mode) {}

RegistryKey& RegistryAccess::base(const std::u16string& path, std::u16string& relative)
{
    const bool absolute = !path.empty() && path.front() == u'\\';
    relative = absolute ? path.substr(1) : path;
    while (!relative.empty() && relative.back() == u'\\')
        relative.pop_back();
    if (absolute || !m_current)
        return m_registry.root();
    return *m_current;
}

bool RegistryAccess::openKey(const std::u16string& path, bool canCreate)
{
    std::u16string relative;
    RegistryKey& from = base(path, relative);
    auto key = canCreate && !relative.empty() ? from.createSubKey(relative, m_mode) : from.openSubKey(relative, m_mode);
    if (!key)
        return false;
    m_current = std::move(key);
    return true;
}

void RegistryAccess::closeKey()
{
    m_current.reset();
}

bool RegistryAccess::keyExists(const std::u16string& path)
{
    std::u16string relative;
    RegistryKey& from = base(path, relative);
    return from.openSubKey(relative, {KeyAccess::Read, m_mode.view64}) != nullptr;
}

bool RegistryAccess::deleteKey(const std::u16string& path)
{
    std::u16string relative;
    RegistryKey& from = base(path, relative);
    return !relative.empty() && from.deleteTree(relative);
}

std::optional<std::u16string> RegistryAccess::readString()
{
    if (!m_current)
        return std::nullopt;
    return m_current->readDefault();
}

void RegistryAccess::writeString(const std::u16string& value)
{
    if (!m_current || !m_current->writeDefault(value))
        throw RegistryError("Failed to set data for ''");
}

} // namespace qp::winshell
