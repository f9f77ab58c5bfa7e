// SPDX-License-Identifier: MIT
#include "core/shell/windows/win32/Win32Registry.h"

#include "core/shell/windows/win32/Win32Text.h"

#include <windows.h>

#include <vector>

namespace qp::winshell {

namespace {

REGSAM samFor(KeyMode mode)
{
    REGSAM sam = 0;
    switch (mode.access) {
    case KeyAccess::None:
        break;
    case KeyAccess::Read:
        sam = KEY_READ;
        break;
    case KeyAccess::Write:
        sam = KEY_WRITE;
        break;
    case KeyAccess::Full:
        sam = KEY_ALL_ACCESS;
        break;
    }
    return mode.view64 ? sam | KEY_WOW64_64KEY : sam;
}

class Win32Key : public RegistryKey {
public:
    // A predefined root key is not owned and never closed.
    Win32Key(HKEY key, bool owned) : m_key(key), m_owned(owned) {}
    ~Win32Key() override
    {
        if (m_owned)
            RegCloseKey(m_key);
    }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    std::unique_ptr<RegistryKey> openSubKey(const std::u16string& path, KeyMode mode) override
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_key, wide(path), 0, samFor(mode), &key) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32Key>(key, true);
    }

    std::unique_ptr<RegistryKey> createSubKey(const std::u16string& path, KeyMode mode) override
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(m_key, wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, samFor(mode), nullptr, &key,
                            nullptr)
            != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32Key>(key, true);
    }

    std::optional<std::u16string> readDefault() override
    {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(m_key, nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS
            || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        // The value may change between the two calls: ask again while it grows.
        for (;;) {
            std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
            DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
            const LONG result =
                RegQueryValueExW(m_key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
            if (result == ERROR_MORE_DATA) {
                bytes = size;
                continue;
            }
            if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
                return std::nullopt;
            // A stored string need not end with a zero, or may hold several.
            std::size_t length = size / sizeof(wchar_t);
            while (length > 0 && buffer[length - 1] == L'\0')
                --length;
            return fromWide(buffer.data(), length);
        }
    }

    bool writeDefault(const std::u16string& value) override
    {
        const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
        return RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes)
            == ERROR_SUCCESS;
    }

    bool deleteTree(const std::u16string& path) override
    {
        return !path.empty() && RegDeleteTreeW(m_key, wide(path)) == ERROR_SUCCESS;
    }

private:
    HKEY m_key;
    bool m_owned;
};

} // namespace

Win32Registry::Win32Registry() : m_root(std::make_unique<Win32Key>(HKEY_CLASSES_ROOT, false)) {}

Win32Registry::~Win32Registry() = default;

RegistryKey& Win32Registry::root()
{
    return *m_root;
}

} // namespace qp::winshell
