// SPDX-License-Identifier: MIT
#pragma once
// The registry-access object the shell registration works through: rooted at HKEY_CLASSES_ROOT,
// with one current key at a time.
//
// Path rules: a path that does not begin with a backslash is relative to the current key (to the
// root when no key is open); a path that begins with one is relative to the root. Trailing
// backslashes are ignored. Opening a key makes it the current key, closing the one before.
#include "core/shell/windows/Registry.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace qp::winshell {

// A value could not be written; the message names the value ("" for the default value) as
// "Failed to set data for ''".
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RegistryAccess {
public:
    // Every key is opened with this mode: by default full access in the default view.
    explicit RegistryAccess(Registry& registry, KeyMode mode = {});

    // Opens the key at path (creating it when canCreate); on success it becomes the current key.
    bool openKey(const std::u16string& path, bool canCreate);
    void closeKey();
    bool hasCurrentKey() const { return m_current != nullptr; }

    // Whether the key exists (it is opened for reading only, whatever the mode).
    bool keyExists(const std::u16string& path);
    // Deletes the key with all its subkeys.
    bool deleteKey(const std::u16string& path);

    // The current key's string default value; nullopt when no key is open or it has none.
    std::optional<std::u16string> readString();
    // Writes the current key's default value. Throws RegistryError when no key is open or the write
    // is refused.
    void writeString(const std::u16string& value);

private:
    // The key a path starts from and the path with its leading and trailing backslashes removed.
    RegistryKey& base(const std::u16string& path, std::u16string& relative);

    Registry& m_registry;
    KeyMode m_mode;
    std::unique_ptr<RegistryKey> m_current;
};

} // namespace qp::winshell
