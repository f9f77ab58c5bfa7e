// SPDX-License-Identifier: MIT
#include "core/shell/windows/InMemoryRegistry.h"

#include <algorithm>

namespace qp::winshell {

namespace {

std::vector<std::u16string> splitPath(const std::u16string& path)
{
    std::vector<std::u16string> parts;
    if (path.empty())
        return parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(u'\\', start);
        parts.push_back(path.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
        if (end == std::u16string::npos)
            break;
        start = end + 1;
    }
    return parts;
}

bool mayChange(KeyAccess access)
{
    return access == KeyAccess::Write || access == KeyAccess::Full;
}

} // namespace

struct InMemoryRegistry::Node {
    std::u16string name;
    Node* parent = nullptr;
    std::optional<std::u16string> value;
    std::vector<std::shared_ptr<Node>> children;
    bool isProtected = false;
    bool deleted = false;

    Node* child(const std::u16string& childName) const
    {
        for (const auto& c : children)
            if (sameKeyName(c->name, childName))
                return c.get();
        return nullptr;
    }
    Node* addChild(const std::u16string& childName)
    {
        auto created = std::make_shared<Node>();
        created->name = childName;
        created->parent = this;
        children.push_back(created);
        return created.get();
    }
    bool protectedHere() const
    {
        for (const Node* n = this; n; n = n->parent)
            if (n->isProtected)
                return true;
        return false;
    }
    std::u16string path() const
    {
        if (!parent)
            return {};
        const std::u16string up = parent->path();
        return up.empty() ? name : up + u'\\' + name;
    }
    void markDeleted()
    {
        deleted = true;
        for (auto& c : children)
            c->markDeleted();
    }
};

using Node = InMemoryRegistry::Node;

class InMemoryKey : public RegistryKey {
public:
    InMemoryKey(InMemoryRegistry& registry, std::shared_ptr<Node> node, KeyMode mode)
        : m_registry(registry), m_node(std::move(node)), m_mode(mode)
    {
    }

    std::unique_ptr<RegistryKey> openSubKey(const std::u16string& path, KeyMode mode) override
    {
        if (m_node->deleted)
            return nullptr;
        Node* n = m_node.get();
        for (const auto& part : splitPath(path))
            if (part.empty() || !(n = n->child(part)))
                return nullptr;
        return keyFor(n, mode);
    }

    std::unique_ptr<RegistryKey> createSubKey(const std::u16string& path, KeyMode mode) override
    {
        if (m_node->deleted)
            return nullptr;
        Node* n = m_node.get();
        for (const auto& part : splitPath(path)) {
            if (part.empty())
                return nullptr;
            Node* next = n->child(part);
            if (!next) {
                if (n->protectedHere())
                    return nullptr;
                next = n->addChild(part);
                m_registry.m_changes.push_back({InMemoryRegistry::Change::Created, next->path(), mode.view64});
            }
            n = next;
        }
        return keyFor(n, mode);
    }

    std::optional<std::u16string> readDefault() override
    {
        if (m_node->deleted || !(m_mode.access == KeyAccess::Read || m_mode.access == KeyAccess::Full))
            return std::nullopt;
        return m_node->value;
    }

    bool writeDefault(const std::u16string& value) override
    {
        if (m_node->deleted || !mayChange(m_mode.access) || m_node->protectedHere())
            return false;
        m_node->value = value;
        m_registry.m_changes.push_back({InMemoryRegistry::Change::Written, m_node->path(), m_mode.view64});
        return true;
    }

    bool deleteTree(const std::u16string& path) override
    {
        if (m_node->deleted || m_mode.access != KeyAccess::Full)
            return false;
        Node* n = m_node.get();
        for (const auto& part : splitPath(path))
            if (part.empty() || !(n = n->child(part)))
                return false;
        if (n == m_node.get() || n->protectedHere() || hasProtectedBelow(*n))
            return false;
        auto& siblings = n->parent->children;
        const auto it = std::find_if(siblings.begin(), siblings.end(), [n](const auto& c) { return c.get() == n; });
        m_registry.m_changes.push_back({InMemoryRegistry::Change::Deleted, n->path(), m_mode.view64});
        (*it)->markDeleted();
        siblings.erase(it);
        return true;
    }

private:
    static bool hasProtectedBelow(const Node& n)
    {
        return std::any_of(n.children.begin(), n.children.end(),
                           [](const auto& c) { return c->isProtected || hasProtectedBelow(*c); });
    }

    std::unique_ptr<RegistryKey> keyFor(Node* n, KeyMode mode)
    {
        if (mayChange(mode.access) && n->protectedHere())
            return nullptr;
        return std::make_unique<InMemoryKey>(m_registry, shared(n), mode);
    }

    // The owning pointer of a node reached by walking down from this key.
    std::shared_ptr<Node> shared(Node* n)
    {
        if (n == m_node.get())
            return m_node;
        for (const auto& c : n->parent->children)
            if (c.get() == n)
                return c;
        return nullptr;
    }

    InMemoryRegistry& m_registry;
    std::shared_ptr<Node> m_node;
    KeyMode m_mode;
};

InMemoryRegistry::InMemoryRegistry()
    : m_root(std::make_shared<Node>()), m_rootKey(std::make_unique<InMemoryKey>(*this, m_root, KeyMode{}))
{
}

InMemoryRegistry::~InMemoryRegistry() = default;

RegistryKey& InMemoryRegistry::root()
{
    return *m_rootKey;
}

namespace {

const Node* find(const Node& root, const std::u16string& path)
{
    const Node* n = &root;
    for (const auto& part : splitPath(path))
        if (!(n = n->child(part)))
            return nullptr;
    return n;
}

} // namespace

InMemoryRegistry::Node* InMemoryRegistry::ensure(const std::u16string& path)
{
    Node* n = m_root.get();
    for (const auto& part : splitPath(path)) {
        Node* next = n->child(part);
        n = next ? next : n->addChild(part);
    }
    return n;
}

void InMemoryRegistry::set(const std::u16string& path, const std::u16string& defaultValue)
{
    ensure(path)->value = defaultValue;
}

bool InMemoryRegistry::exists(const std::u16string& path) const
{
    return find(*m_root, path) != nullptr;
}

std::optional<std::u16string> InMemoryRegistry::value(const std::u16string& path) const
{
    const Node* n = find(*m_root, path);
    return n ? n->value : std::nullopt;
}

void InMemoryRegistry::protect(const std::u16string& path)
{
    ensure(path)->isProtected = true;
}

std::u16string InMemoryRegistry::dump() const
{
    std::u16string out;
    auto walk = [&out](auto&& self, const Node& n) -> void {
        for (const auto& c : n.children) {
            out += c->path();
            if (c->value)
                out += u" = " + *c->value;
            out += u'\n';
            self(self, *c);
        }
    };
    walk(walk, *m_root);
    return out;
}

} // namespace qp::winshell
