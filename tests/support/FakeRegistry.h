#pragma once
// FakeRegistry: the registry interface in memory. Names compare without regard to ASCII case,
// subkeys list in sorted order and values in the order they were first written, as the platform
// does. Tests can refuse access to keys and record every change.
#include "platform/Registry.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace testing_support
{

class FakeRegistry : public platform::Registry
{
public:
    using Root = platform::RegistryRoot;

    std::unique_ptr<platform::RegistryKey> Open(Root root, const std::string& path,
                                                platform::RegistryAccess access) override;
    std::unique_ptr<platform::RegistryKey> Create(Root root, const std::string& path) override;
    bool DeleteTree(Root root, const std::string& path) override;

    // Set-up and inspection, bypassing the access rules and the journal.
    void AddKey(const std::string& path, Root root = Root::ClassesRoot);
    void SetValue(const std::string& path, const platform::RegistryValue& value,
                  Root root = Root::ClassesRoot);
    void SetString(const std::string& path, const std::string& name, const std::string& text,
                   Root root = Root::ClassesRoot);
    bool Exists(const std::string& path, Root root = Root::ClassesRoot) const;
    std::optional<platform::RegistryValue> Value(const std::string& path, const std::string& name,
                                                 Root root = Root::ClassesRoot) const;
    // The string a value holds (without its terminator), or "(absent)".
    std::string Text(const std::string& path, const std::string& name = "",
                     Root root = Root::ClassesRoot) const;
    // Every key and value under root, one line each, in a stable order: for before/after checks.
    std::string Dump(Root root = Root::ClassesRoot) const;

    // Keys (and everything under them) that open only for reading and cannot be created or deleted.
    std::set<std::string> readOnlyTrees;
    // Keys that open fully but refuse every value written to them.
    std::set<std::string> refusingWrites;
    // Every change made through the interface: "create P", "write P:NAME=TEXT", "delete P".
    std::vector<std::string> journal;

    struct Node
    {
        std::string name;
        std::vector<platform::RegistryValue> values;
        std::map<std::string, Node> subkeys; // by lower-case name
    };

    // Used by the fake's keys.
    Node* Find(Root root, const std::string& path);
    bool ReadOnly(const std::string& path) const;
    bool Refuses(const std::string& path) const;

private:
    Node* Make(Root root, const std::string& path, bool journal);
    std::map<Root, Node> m_roots;
};

// A string value's bytes as the platform stores them: UTF-16LE with its terminator.
platform::RegistryValue StringValue(const std::string& name, const std::string& text,
                                    uint32_t type = platform::kRegString, bool terminated = true);

} // namespace testing_support
