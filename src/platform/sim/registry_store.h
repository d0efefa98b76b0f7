// The registry of the simulated machine: a tree of keys with values, held as
// Windows holds it (names and string data in UTF-16), and its file form in
// regedit's export format ("Windows Registry Editor Version 5.00").
//
// The hives of a machine: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// HKEY_USERS (the other users' hives, which the program never opens; written
// to the file only when it holds something). HKEY_CLASSES_ROOT is
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes (see sim_registry.cpp) and
// HKEY_CURRENT_CONFIG is HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Hardware
// Profiles\Current, so the file holds their keys there, as regedit exports them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct RegValue {
    std::u16string name;  // "" is the default value
    uint32_t type = 0;
    // The stored bytes; string types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
    // hold UTF-16LE, as on Windows.
    std::vector<uint8_t> data;
};

// One key. Subkeys are kept in the order RegEnumKeyEx gives them: sorted by
// their upper-cased names, as in a Windows hive. Values keep the order in
// which they were first set.
class RegNode {
  public:
    RegNode(std::u16string name, RegNode* parent) : name_(std::move(name)), parent_(parent) {}

    const std::u16string& Name() const { return name_; }
    RegNode* Parent() const { return parent_; }
    // True once the key has been deleted; open handles to it then fail.
    bool Deleted() const { return deleted_; }

    RegNode* Child(std::u16string_view name) const;
    std::shared_ptr<RegNode> ChildShared(std::u16string_view name) const;
    // The existing child, or a new one.
    RegNode* AddChild(std::u16string_view name, bool* created = nullptr);
    size_t ChildCount() const { return children_.size(); }
    // Child by enumeration index, null past the end.
    RegNode* ChildAt(size_t index) const;
    // Removes the child and everything below it (each marked deleted).
    void RemoveChild(RegNode* child);

    const std::vector<RegValue>& Values() const { return values_; }
    RegValue* Value(std::u16string_view name);
    void SetValue(std::u16string_view name, uint32_t type, std::vector<uint8_t> data);
    bool RemoveValue(std::u16string_view name);

    // The path below the hive root ("SOFTWARE\Classes"), empty for the root.
    std::u16string Path() const;

  private:
    void MarkDeleted();

    std::u16string name_;
    RegNode* parent_;
    bool deleted_ = false;
    std::map<std::u16string, std::shared_ptr<RegNode>> children_;  // by upper-cased name
    std::vector<RegValue> values_;
};

class CodePage;

enum class Hive { kLocalMachine, kCurrentUser, kUsers };

// Every hive, in the order of the registry file.
inline constexpr Hive kHives[] = {Hive::kCurrentUser, Hive::kLocalMachine, Hive::kUsers};

// "HKEY_LOCAL_MACHINE" / "HKEY_CURRENT_USER" / "HKEY_USERS".
const char* HiveName(Hive hive);
// "HKLM" / "HKCU" / "HKU".
const char* HiveShortName(Hive hive);

class RegistryStore {
  public:
    RegistryStore();

    RegNode* Root(Hive hive) const;
    std::shared_ptr<RegNode> RootShared(Hive hive) const;

    // The key at `path` (components separated by backslashes, empty ones
    // skipped), or null.
    RegNode* Find(Hive hive, std::u16string_view path) const;
    // The key at `path`, created with any missing keys on the way.
    RegNode* Create(Hive hive, std::u16string_view path);

    // Replaces the whole registry with the contents of a registry file. The
    // file is either form regedit writes: "Windows Registry Editor Version
    // 5.00" in UTF-16LE with its byte-order mark (or in UTF-8, as the machine
    // saves it), or "REGEDIT4" in the ANSI code page `ansi` (null: UTF-8),
    // whose string data in hex form (hex(1), hex(2), hex(7)) is ANSI text too.
    // Keys may be deleted ([-KEY]) and values too ("name"=-). False and
    // *error ("line N: ...") when the file is malformed; the registry is then
    // unchanged.
    bool Load(std::string_view text, std::string* error, const CodePage* ansi = nullptr);
    // The same file merged into the registry as regedit imports it: its keys
    // and values are added or replace what is there, its deletions delete.
    // Nothing changes when the file is malformed.
    bool Import(std::string_view text, std::string* error, const CodePage* ansi = nullptr);
    // The registry file: header, then every key in enumeration order, each
    // with its values; UTF-8 with LF line ends.
    std::string Save() const;

  private:
    bool Parse(std::string_view input, const CodePage* ansi, std::string* error);

    std::shared_ptr<RegNode> machine_;
    std::shared_ptr<RegNode> user_;
    std::shared_ptr<RegNode> users_;
};

// One value as a line of the registry file ("name"=data), without the line
// breaks the file puts into long hex lists.
std::string FormatValue(const RegValue& value);

// Splits a registry path at backslashes, dropping empty components.
std::vector<std::u16string_view> SplitKeyPath(std::u16string_view path);

}  // namespace sim
