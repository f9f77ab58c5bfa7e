// SPDX-License-Identifier: MIT
#pragma once
// The registry below HKEY_CLASSES_ROOT as the shell registration sees it: keys opened or created by
// path, a string default value, and deletion of a key with everything below it. Written without Qt
// so that the same code runs against the Windows registry and against an in-memory one.
//
// Paths use "\" between key names and are relative to the key they are opened from; they carry no
// leading or trailing backslash (the registry-access object strips those, see RegistryAccess.h).
// Registry strings are UTF-16 throughout.
#include <memory>
#include <optional>
#include <string>

namespace qp::winshell {

// The rights a key is opened with. None opens a key without any rights (as a create that only asks
// for the registry view does); Read may read values; Write may set values and create subkeys;
// Full may do everything, including deleting subkeys.
enum class KeyAccess { None, Read, Write, Full };

struct KeyMode {
    KeyAccess access = KeyAccess::Full;
    // Ask for the 64-bit registry view (KEY_WOW64_64KEY), as a 32-bit program on 64-bit Windows
    // must to reach the native entries.
    bool view64 = false;
};

// An open key; closed when the object goes.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Opens an existing key below this one ("" opens this key anew); nullptr when it does not
    // exist or may not be opened with that mode.
    virtual std::unique_ptr<RegistryKey> openSubKey(const std::u16string& path, KeyMode mode) = 0;
    // Opens a key below this one, creating it and its missing parents; nullptr when refused.
    virtual std::unique_ptr<RegistryKey> createSubKey(const std::u16string& path, KeyMode mode) = 0;
    // The string default value; nullopt when there is none, it is not a string, or this key was not
    // opened for reading.
    virtual std::optional<std::u16string> readDefault() = 0;
    // Sets the default value as a string; false when refused.
    virtual bool writeDefault(const std::u16string& value) = 0;
    // Deletes the key at path below this one with all its subkeys; false when it does not exist or
    // the deletion is refused.
    virtual bool deleteTree(const std::u16string& path) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // HKEY_CLASSES_ROOT, open for as long as the registry object lives.
    virtual RegistryKey& root() = 0;
};

// Key names compare without regard to case, as the registry does.
bool sameKeyName(std::u16string_view a, std::u16string_view b);

} // namespace qp::winshell
