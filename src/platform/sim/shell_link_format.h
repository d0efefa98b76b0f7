// Shell link files (.lnk) in the documented binary format: the header with
// the link class identifier 00021401-0000-0000-C000-000000000046, the link
// flags, the target's attributes and size, an optional item-ID list, the
// LinkInfo block (the target's local base path), the string data
// (description, relative path, working folder, arguments, icon location) and
// the extra data blocks up to the terminal block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

class CodePage;

// What a link holds, as Windows reads it back. Empty texts are not stored.
struct ShellLinkFile {
    std::u16string target;  // LinkInfo: local base path followed by the common path suffix
    std::u16string description;
    std::u16string relativePath;
    std::u16string workingDirectory;
    std::u16string arguments;
    std::u16string iconLocation;
    int32_t iconIndex = 0;
    uint32_t showCommand = 1;  // SW_SHOWNORMAL
    uint32_t fileAttributes = 0;
    uint32_t fileSize = 0;
    // Read back only: whether the file had an item-ID list (written by
    // Windows, never by the machine) and a LinkInfo block.
    bool hasIdList = false;
    bool hasLinkInfo = false;
};

// The link flags this format uses.
enum : uint32_t {
    kLinkHasIdList = 0x01,
    kLinkHasLinkInfo = 0x02,
    kLinkHasName = 0x04,
    kLinkHasRelativePath = 0x08,
    kLinkHasWorkingDir = 0x10,
    kLinkHasArguments = 0x20,
    kLinkHasIconLocation = 0x40,
    kLinkIsUnicode = 0x80,
    kLinkForceNoLinkInfo = 0x100,
};

// The file's bytes: no item-ID list; a LinkInfo block for a target on a
// fixed drive with its path in `ansi` and in UTF-16 (when there is a target);
// the texts in UTF-16. False when a text is too long for the format (more
// than 65535 characters) or the target cannot be written in `ansi`.
bool EncodeShellLink(const ShellLinkFile& link, const CodePage& ansi, std::string* bytes);

// Reads a link file. Texts stored in the ANSI form are decoded with `ansi`.
// False and *error naming the problem when the bytes are no link file or are
// cut short.
bool DecodeShellLink(std::string_view bytes, const CodePage& ansi, ShellLinkFile* link,
                     std::string* error);

}  // namespace sim
