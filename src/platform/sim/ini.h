// Ini files: the machine's own configuration files (strict, with line numbers
// in errors) and the Windows profile files that WritePrivateProfileStringA edits.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

struct IniSection {
    std::string name;
    int line = 0;
    std::vector<IniEntry> entries;
};

// Parses ini text: "[section]" lines, "key=value" lines (both trimmed of
// blanks), blank lines and comments (";" or "#" first). Entries before the
// first section belong to a section named "". Strict parsing rejects any
// other line with *error naming its line; lenient parsing skips it, as the
// Windows profile functions do.
bool ParseIni(std::string_view text, bool strict, std::vector<IniSection>* sections,
              std::string* error);

// Compares two names without regard to case (the caller's code page).
using NameEquals = std::function<bool(std::string_view, std::string_view)>;

// WritePrivateProfileStringA on the bytes of a profile file: sets `key` of
// `section` to `value` (replacing the value of the first such key, whose name
// stays as written, else adding it after the
// section's last entry, else adding the section at the end), deletes the key
// when `value` is null, and the whole section when `key` is null. Lines that
// are not touched stay byte for byte; new lines end in CR LF.
std::string EditProfile(std::string_view bytes, std::string_view section, const char* key,
                        const char* value, const NameEquals& equals);

}  // namespace sim
