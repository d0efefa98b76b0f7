// The files of the simulated machine: drive folders on the host (drives/C/...)
// seen through Windows rules, with a side table for what the host cannot hold.
//
// Paths are Windows paths in UTF-8 (the ANSI and UTF-16 calls convert before
// they come here): drive letters, "\" and "/" as separators, "." and "..",
// case-insensitive names resolved against the host folders, trailing dots
// and blanks of the last name dropped, 8.3 short names accepted in place of
// long ones. Every operation returns 0 or the Win32 error code the real call
// sets.
//
// Held in the side table (files.ini in the machine folder):
//   [attributes]   read-only, hidden, system, archive, normal per path (the
//                  directory attribute comes from the host); files without an
//                  entry have the archive attribute;
//   [short names]  the 8.3 names given out so far, stable per folder.
// From machine.ini (the configuration):
//   [busy]    files held by other processes: "image" (a running program or a
//             loaded library: readable, renamable, not deletable (5), not
//             writable (32)), "open" (opened for reading, sharing reading
//             only: deletion, renaming and writing fail with 32), "locked"
//             (opened without sharing: everything fails with 32);
//   [denied]  folders where creating, writing, renaming and deleting fail with
//             5: "always", or "nonadmin" (only for a user without
//             administrator rights on the NT family);
//   [disk]    the free bytes of a drive: a write or a move that would need
//             more writes nothing and fails with 112 (ERROR_DISK_FULL);
//             deleting and truncating files give their bytes back.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace sim {

struct MachineConfig;
class CodePage;

class FileSystem {
  public:
    explicit FileSystem(MachineConfig* config) : config_(config) {}
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // The host folder that holds the drive folders (C, D, ...); empty for a
    // machine without drives, where every path is missing (3).
    void SetRoot(const std::string& hostDrives) { root_ = hostDrives; }
    // The OEM code page (short names hold only characters it has).
    void SetOemCodePage(const CodePage* oem) { oem_ = oem; }
    const std::string& Root() const { return root_; }
    bool LoadSideTable(std::string_view text, std::string* error);
    std::string SaveSideTable() const;

    // The normalized full path of `path` (drive, components as given), or an
    // error (3 no such drive form, 123 invalid name, 53 network path).
    long FullPath(std::string_view path, std::string* full) const;
    // The host path of an existing file or folder.
    long HostPath(std::string_view path, std::string* host) const;

    long GetAttributes(std::string_view path, os::Dword* attributes) const;
    long SetAttributes(std::string_view path, os::Dword attributes);
    long DeleteFile(std::string_view path);
    long CreateDirectory(std::string_view path);
    long RemoveDirectory(std::string_view path);
    // MoveFileA / MoveFileExA without the restart flag (flags: 1 replace existing).
    long Move(std::string_view from, std::string_view to, os::Dword flags);
    long ShortPath(std::string_view path, std::string* shortPath);

    long SetCurrentDirectory(std::string_view path);
    // Without a trailing backslash, except for a drive's root.
    const std::string& CurrentDirectory() const { return cwd_; }

    // CreateFileA: *handle is the new handle; *existed tells whether the file
    // was there before (for the 183 that CREATE_ALWAYS and OPEN_ALWAYS set).
    long Open(std::string_view path, os::Dword access, os::Dword share, os::Dword creation,
              os::Dword flags, os::FileHandle* handle, bool* existed);
    long Read(os::FileHandle handle, void* buffer, os::Dword count, os::Dword* read);
    long Write(os::FileHandle handle, const void* buffer, os::Dword count, os::Dword* written);
    long Seek(os::FileHandle handle, int64_t distance, os::Dword method, uint64_t* position);
    long FileType(os::FileHandle handle, os::Dword* type) const;
    long Close(os::FileHandle handle);
    // The path a handle was opened with ("NUL" for the device), empty when invalid.
    std::string HandlePath(os::FileHandle handle) const;
    // Closes every handle, as the end of a process does.
    void CloseAll();

    // A whole file's bytes (read as a reader sharing reading would).
    long ReadAll(std::string_view path, std::string* bytes) const;
    // Replaces a file's bytes (creating it), as a writer opening it for
    // writing with CREATE_ALWAYS would.
    long WriteAll(std::string_view path, std::string_view bytes);

    // A file held as a running program or loaded library by this process
    // (counted; see [busy] "image" above).
    void HoldImage(std::string_view path);
    void ReleaseImage(std::string_view path);
    // The end of this process: every file it held as an image is released
    // (under whatever name it has been renamed to since).
    void ReleaseImages() { images_.clear(); }
    // What a restart does to the files: other processes' holds end.
    void ReleaseAllHolds();

  private:
    struct Resolved;
    struct OpenFile;
    struct Holder {
        os::Dword access;
        os::Dword share;
        bool image;
    };

    long Resolve(std::string_view path, Resolved* out) const;
    std::string Key(const Resolved& r) const;
    std::vector<Holder> Holders(const std::string& key) const;
    bool Denied(const std::string& key) const;
    bool AnyOpenBelow(const std::string& key) const;
    os::Dword StoredAttributes(const std::string& key, bool directory) const;
    void StoreAttributes(const std::string& key, const std::string& path, os::Dword attributes,
                         bool directory);
    void ForgetEntries(const std::string& key);
    void MoveEntries(const std::string& fromKey, const std::string& toPath);
    void AssignShortNames(const std::string& hostFolder, const std::string& folderPath) const;
    std::string ShortNameOf(const std::string& key) const;
    void FinishDelete(const std::string& key, const std::string& host);
    // Adds `bytes` to the free bytes of the drive of `key` when it has a limit.
    void GiveBackSpace(const std::string& key, uint64_t bytes);

    MachineConfig* config_;
    const CodePage* oem_ = nullptr;
    std::string root_;
    std::string cwd_ = "C:\\";
    // Side table, by folded path: the path as written and the value.
    std::map<std::string, std::pair<std::string, os::Dword>> attributes_;
    mutable std::map<std::string, std::pair<std::string, std::string>> shortNames_;
    std::map<uintptr_t, OpenFile*> handles_;
    uintptr_t nextHandle_ = 0x100;
    std::map<std::string, int> images_;    // by folded path
    std::set<std::string> deletePending_;  // by folded path
};

// Win32 path helpers shared with the other services.
bool IsAbsoluteWindowsPath(std::string_view path);
std::string JoinWindowsPath(std::string_view folder, std::string_view name);

}  // namespace sim
