// The list of files that a what-if run puts on a machine (uninstall
// --what-if ... --files LIST): one Windows path a line, as "dir /s /b" lists
// them, in UTF-8 or in the machine's ANSI code page (or UTF-16LE with its
// byte-order mark):
//
//   C:\Program Files\WinArc\WinArc.exe | 1048576    a file of that many bytes
//   C:\Documents and Settings\User\Desktop\notes.txt    an empty file
//   C:\Games\                                        a folder (ends in "\")
//
// Blank lines and lines that begin with ";" or "#" are skipped; "/" may stand
// for "\". A path is a full path with a drive letter whose names Windows
// allows (no < > : " | ? * or control characters, no "." or ".." and no name
// ending in a dot or a blank), at most 259 characters long.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class CodePage;

struct ListedFile {
    std::string path;  // UTF-8, "\" separators, no trailing "\" (a drive's root keeps it)
    bool folder = false;
    uint64_t size = 0;  // the file's bytes (zeros)
    int line = 0;
};

// The largest size a listed file may have (1 TiB; the host keeps the file
// sparse).
inline constexpr uint64_t kMaxListedFileSize = uint64_t{1} << 40;

// Parses a file list; false and *error ("line N: ...") on the first bad line.
bool ParseFileList(std::string_view bytes, const CodePage& ansi, std::vector<ListedFile>* files,
                   std::string* error);

}  // namespace sim
