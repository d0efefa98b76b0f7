// Registry access for the association tests, straight through the installed
// platform (not through the program's registry layer), so that what a test
// prepares and what it reads back do not depend on the code under test.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace assoc_test {

// Writes a value of any type, creating the key.
void PutValue(os::Key root, const std::string& path, const std::string& name, os::Dword type,
              const void* data, os::Dword size);
// Writes a REG_SZ value, creating the key.
void PutString(os::Key root, const std::string& path, const std::string& name,
               const std::string& text);
// Writes a REG_DWORD value, creating the key.
void PutDword(os::Key root, const std::string& path, const std::string& name, os::Dword value);
// Creates the key without values.
void PutKey(os::Key root, const std::string& path);
// A REG_SZ value's text (up to its first terminator); nothing when the key or
// value is missing.
std::optional<std::string> ReadString(os::Key root, const std::string& path,
                                      const std::string& name);
// A value's raw bytes and type; nothing when missing.
struct RawValue {
    os::Dword type;
    std::vector<unsigned char> data;
};
std::optional<RawValue> ReadRaw(os::Key root, const std::string& path, const std::string& name);
// A REG_DWORD value of four bytes; nothing when missing or of another kind.
std::optional<os::Dword> ReadDword(os::Key root, const std::string& path, const std::string& name);
bool HasKey(os::Key root, const std::string& path);
// Deletes the key with everything below it, deepest keys first.
void EraseTree(os::Key root, const std::string& path);

// The key with its values and subkeys as text, one line per key and value,
// names sorted without regard to case so that two registries that enumerate
// in different orders give the same text; the empty text for a missing key.
// Every occurrence of `folder` in a text value is written as "<program>\".
std::string DumpKey(os::Key root, const std::string& path, const std::string& folder = "");

}  // namespace assoc_test
