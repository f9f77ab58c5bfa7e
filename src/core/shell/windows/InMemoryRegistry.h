// SPDX-License-Identifier: MIT
#pragma once
// A registry held in memory, with the behaviour of HKEY_CLASSES_ROOT that the shell registration
// depends on: key names without regard to case, a default value per key, deletion of whole
// subtrees, keys that refuse changes (as machine-wide keys do for a user without administrator
// rights) and a record of every change with the registry view it asked for.
#include "core/shell/windows/Registry.h"

#include <memory>
#include <string>
#include <vector>

namespace qp::winshell {

class InMemoryRegistry : public Registry {
public:
    InMemoryRegistry();
    ~InMemoryRegistry() override;

    RegistryKey& root() override;

    // Set-up and inspection, by path from the root.
    void set(const std::u16string& path, const std::u16string& defaultValue);
    bool exists(const std::u16string& path) const;
    std::optional<std::u16string> value(const std::u16string& path) const;
    // The key and everything below it can still be opened for reading but refuse write and full
    // access, new subkeys and deletion.
    void protect(const std::u16string& path);
    // Every key as "path = value" (or just "path" without a default value), one a line, depth first
    // in the order of creation: compares whole states and explains a failed test.
    std::u16string dump() const;

    struct Change {
        enum Kind { Created, Written, Deleted } kind;
        std::u16string path;
        bool view64;
    };
    const std::vector<Change>& changes() const { return m_changes; }

    struct Node;

private:
    friend class InMemoryKey;
    // The node at path, created with its parents when missing (set-up only: not recorded).
    Node* ensure(const std::u16string& path);
    std::shared_ptr<Node> m_root;
    std::unique_ptr<RegistryKey> m_rootKey;
    std::vector<Change> m_changes;
};

} // namespace qp::winshell
