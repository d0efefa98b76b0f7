// The file calls: ANSI and UTF-16 names converted to the machine's paths, the
// work done by FileSystem, the last error set as the real calls set it.
#include <cstring>

#include "platform/sim/ini.h"
#include "platform/sim/machine.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace sim {

using os::Dword;

namespace {

constexpr long kCallNotImplemented = 120;

std::string WideToUtf8(const os::Wchar* name) {
    std::u16string text;
    for (const os::Wchar* p = name; *p; ++p) text += static_cast<char16_t>(*p);
    return Utf16ToUtf8(text);
}

// Copies a result text the way GetTempPathA and its kin do: the length
// without the terminator, or the size needed with it when the buffer is short.
Dword CopyOut(const std::string& text, char* buffer, Dword size) {
    if (!buffer || size <= text.size()) return static_cast<Dword>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<Dword>(text.size());
}

std::string AppendBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

}  // namespace

os::Bool SimFiles::Result(const std::string& call, const std::string& args, long error) {
    if (error) m_.lastError = static_cast<Dword>(error);
    m_.Trace().Add(call, args + " -> " + (error ? "0" : "1") + TraceError(error));
    return error ? 0 : 1;
}

os::FileHandle SimFiles::Open(const std::string& call, const std::string& path, Dword access,
                              Dword share, Dword creation, Dword flags) {
    const std::string args = Quote(path) + " access=" + Hex(access) + " share=" + Hex(share) +
                             " creation=" + std::to_string(creation) + " flags=" + Hex(flags);
    os::FileHandle handle = os::InvalidFileHandle();
    bool existed = false;
    const long err = m_.Files().Open(path, access, share, creation, flags, &handle, &existed);
    if (err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add(call, args + " -> INVALID" + TraceError(err));
        return os::InvalidFileHandle();
    }
    const bool reported = existed && (creation == os::kCreateAlways || creation == os::kOpenAlways);
    m_.lastError = reported ? Dword{os::kErrorAlreadyExists} : 0;
    m_.Trace().Add(call, args + " -> " +
                             Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle))) +
                             (reported ? " (existed)" : ""));
    return handle;
}

os::FileHandle SimFiles::CreateFileA(const char* name, Dword access, Dword share, Dword creation,
                                     Dword flags) {
    if (!name) {
        m_.lastError = os::kErrorPathNotFound;
        m_.Trace().Add("CreateFileA", "null -> INVALID err=3");
        return os::InvalidFileHandle();
    }
    return Open("CreateFileA", m_.AnsiToUtf8(name), access, share, creation, flags);
}

os::FileHandle SimFiles::CreateFileW(const os::Wchar* name, Dword access, Dword share,
                                     Dword creation, Dword flags) {
    if (!m_.Config().Nt() || !name) {
        const long err = name ? kCallNotImplemented : os::kErrorPathNotFound;
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("CreateFileW",
                       (name ? Quote(WideToUtf8(name)) : "null") + " -> INVALID" + TraceError(err));
        return os::InvalidFileHandle();
    }
    return Open("CreateFileW", WideToUtf8(name), access, share, creation, flags);
}

os::Bool SimFiles::ReadFile(os::FileHandle file, void* buffer, Dword count, Dword* read) {
    Dword got = 0;
    const long err = m_.Files().Read(file, buffer, count, &got);
    if (read) *read = got;
    return Result("ReadFile",
                  Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file))) + " count=" +
                      std::to_string(count) + (err ? "" : " read=" + std::to_string(got)),
                  err);
}

os::Bool SimFiles::WriteFile(os::FileHandle file, const void* buffer, Dword count, Dword* written) {
    Dword put = 0;
    const long err = m_.Files().Write(file, buffer, count, &put);
    if (written) *written = put;
    return Result("WriteFile",
                  Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file))) +
                      " count=" + std::to_string(count),
                  err);
}

Dword SimFiles::SetFilePointer(os::FileHandle file, long low, long* high, Dword method) {
    const int64_t distance =
        high ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) |
                                    static_cast<uint32_t>(low))
             : static_cast<int64_t>(static_cast<int32_t>(low));
    uint64_t position = 0;
    const long err = m_.Files().Seek(file, distance, method, &position);
    const std::string args = Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file))) +
                             " distance=" + std::to_string(distance) +
                             " method=" + std::to_string(method);
    if (err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("SetFilePointer",
                       args + " -> " + Hex(os::kInvalidSetFilePointer) + TraceError(err));
        return os::kInvalidSetFilePointer;
    }
    if (high) *high = static_cast<long>(static_cast<int32_t>(position >> 32));
    const Dword result = static_cast<Dword>(position & 0xFFFFFFFFu);
    if (result == os::kInvalidSetFilePointer) m_.lastError = 0;
    m_.Trace().Add("SetFilePointer", args + " -> " + std::to_string(position));
    return result;
}

Dword SimFiles::GetFileType(os::FileHandle file) {
    Dword type = os::kFileTypeUnknown;
    const long err = m_.Files().FileType(file, &type);
    if (err) m_.lastError = static_cast<Dword>(err);
    m_.Trace().Add("GetFileType", Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file))) +
                                      " -> " + std::to_string(type) + TraceError(err));
    return type;
}

os::Bool SimFiles::CloseHandle(os::FileHandle file) {
    return Result("CloseHandle", Hex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(file))),
                  m_.Files().Close(file));
}

os::FileHandle SimFiles::GetStdInput() {
    // A GUI program started without a console has no standard handles.
    m_.Trace().Add("GetStdHandle", "STD_INPUT_HANDLE -> 0");
    return nullptr;
}

Dword SimFiles::Attributes(const std::string& call, const std::string& path) {
    Dword attributes = os::kInvalidFileAttributes;
    const long err = m_.Files().GetAttributes(path, &attributes);
    if (err) {
        m_.lastError = static_cast<Dword>(err);
        attributes = os::kInvalidFileAttributes;
    }
    m_.Trace().Add(call, Quote(path) + " -> " + Hex(attributes) + TraceError(err));
    return attributes;
}

Dword SimFiles::GetFileAttributesA(const char* name) {
    if (!name) {
        m_.lastError = os::kErrorPathNotFound;
        m_.Trace().Add("GetFileAttributesA", "null -> 0xffffffff err=3");
        return os::kInvalidFileAttributes;
    }
    return Attributes("GetFileAttributesA", m_.AnsiToUtf8(name));
}

Dword SimFiles::GetFileAttributesW(const os::Wchar* name) {
    if (!m_.Config().Nt() || !name) {
        const long err = name ? kCallNotImplemented : os::kErrorPathNotFound;
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("GetFileAttributesW", (name ? Quote(WideToUtf8(name)) : "null") +
                                                 " -> 0xffffffff" + TraceError(err));
        return os::kInvalidFileAttributes;
    }
    return Attributes("GetFileAttributesW", WideToUtf8(name));
}

os::Bool SimFiles::SetFileAttributesA(const char* name, Dword attributes) {
    const std::string path = name ? m_.AnsiToUtf8(name) : "";
    return Result("SetFileAttributesA", Quote(path) + " " + Hex(attributes),
                  name ? m_.Files().SetAttributes(path, attributes) : os::kErrorPathNotFound);
}

os::Bool SimFiles::Delete(const std::string& call, const std::string& path) {
    return Result(call, Quote(path), m_.Files().DeleteFile(path));
}

os::Bool SimFiles::DeleteFileA(const char* name) {
    if (!name) return Result("DeleteFileA", "null", os::kErrorPathNotFound);
    return Delete("DeleteFileA", m_.AnsiToUtf8(name));
}

os::Bool SimFiles::DeleteFileW(const os::Wchar* name) {
    if (!name) return Result("DeleteFileW", "null", os::kErrorPathNotFound);
    if (!m_.Config().Nt())
        return Result("DeleteFileW", Quote(WideToUtf8(name)), kCallNotImplemented);
    return Delete("DeleteFileW", WideToUtf8(name));
}

os::Bool SimFiles::CreateDirectoryA(const char* name) {
    const std::string path = name ? m_.AnsiToUtf8(name) : "";
    return Result("CreateDirectoryA", Quote(path),
                  name ? m_.Files().CreateDirectory(path) : os::kErrorPathNotFound);
}

os::Bool SimFiles::RemoveDirectoryA(const char* name) {
    const std::string path = name ? m_.AnsiToUtf8(name) : "";
    return Result("RemoveDirectoryA", Quote(path),
                  name ? m_.Files().RemoveDirectory(path) : os::kErrorPathNotFound);
}

os::Bool SimFiles::MoveFileA(const char* from, const char* to) {
    const std::string source = from ? m_.AnsiToUtf8(from) : "";
    const std::string target = to ? m_.AnsiToUtf8(to) : "";
    return Result("MoveFileA", Quote(source) + " " + Quote(target),
                  from && to ? m_.Files().Move(source, target, 0) : os::kErrorPathNotFound);
}

os::Bool SimFiles::MoveFileExA(const char* from, const char* to, Dword flags) {
    const std::string source = from ? m_.AnsiToUtf8(from) : "";
    const std::string target = to ? m_.AnsiToUtf8(to) : "";
    const std::string args =
        Quote(source) + " " + (to ? Quote(target) : "null") + " flags=" + Hex(flags);
    if (!m_.Config().Nt()) return Result("MoveFileExA", args, kCallNotImplemented);
    if (!from) return Result("MoveFileExA", args, os::kErrorPathNotFound);
    if (!(flags & os::kMoveFileDelayUntilReboot)) {
        if (!to) return Result("MoveFileExA", args, os::kErrorInvalidParameter);
        return Result("MoveFileExA", args, m_.Files().Move(source, target, flags));
    }
    // Recorded where the session manager reads it at the next start.
    if (!m_.Config().admin) return Result("MoveFileExA", args, os::kErrorAccessDenied);
    std::string fullSource, fullTarget;
    if (long err = m_.Files().FullPath(source, &fullSource))
        return Result("MoveFileExA", args, err);
    if (to && *to) {
        if (long err = m_.Files().FullPath(target, &fullTarget))
            return Result("MoveFileExA", args, err);
        fullTarget = ((flags & os::kMoveFileReplaceExisting) ? "!\\??\\" : "\\??\\") + fullTarget;
    }
    m_.AddPendingFileRename("\\??\\" + fullSource, fullTarget);
    return Result("MoveFileExA", args, 0);
}

Dword SimFiles::GetShortPathNameA(const char* longPath, char* shortPath, Dword size) {
    const std::string path = longPath ? m_.AnsiToUtf8(longPath) : "";
    const std::string args = Quote(path) + " size=" + std::to_string(size);
    std::string result;
    const long err = longPath ? m_.Files().ShortPath(path, &result) : os::kErrorInvalidParameter;
    if (err) {
        m_.lastError = static_cast<Dword>(err);
        m_.Trace().Add("GetShortPathNameA", args + " -> 0" + TraceError(err));
        return 0;
    }
    const Dword n = CopyOut(m_.Utf8ToAnsi(result), shortPath, size);
    m_.Trace().Add("GetShortPathNameA", args + " -> " + std::to_string(n) + " " + Quote(result));
    return n;
}

Dword SimFiles::GetTempPathA(Dword size, char* buffer) {
    std::string path;
    for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
        if (const std::string* value = m_.Environment(name); value && !value->empty()) {
            path = *value;
            break;
        }
    }
    if (path.empty()) path = m_.WindowsFolder();
    path = AppendBackslash(path);
    const Dword n = CopyOut(m_.Utf8ToAnsi(path), buffer, size);
    m_.Trace().Add("GetTempPathA",
                   "size=" + std::to_string(size) + " -> " + std::to_string(n) + " " + Quote(path));
    return n;
}

unsigned SimFiles::GetWindowsDirectoryA(char* buffer, unsigned size) {
    const std::string path = m_.WindowsFolder();
    const Dword n = CopyOut(m_.Utf8ToAnsi(path), buffer, size);
    m_.Trace().Add("GetWindowsDirectoryA",
                   "size=" + std::to_string(size) + " -> " + std::to_string(n) + " " + Quote(path));
    return n;
}

Dword SimFiles::GetCurrentDirectoryA(Dword size, char* buffer) {
    const std::string path = m_.Files().CurrentDirectory();
    const Dword n = CopyOut(m_.Utf8ToAnsi(path), buffer, size);
    m_.Trace().Add("GetCurrentDirectoryA",
                   "size=" + std::to_string(size) + " -> " + std::to_string(n) + " " + Quote(path));
    return n;
}

os::Bool SimFiles::SetCurrentDirectoryA(const char* path) {
    const std::string p = path ? m_.AnsiToUtf8(path) : "";
    return Result("SetCurrentDirectoryA", Quote(p),
                  path ? m_.Files().SetCurrentDirectory(p) : os::kErrorInvalidParameter);
}

os::Bool SimFiles::WritePrivateProfileStringA(const char* section, const char* key,
                                              const char* value, const char* fileName) {
    const std::string args = TraceText(m_, section) + " " + TraceText(m_, key) + " " +
                             TraceText(m_, value) + " " + TraceText(m_, fileName);
    if (!fileName) return Result("WritePrivateProfileStringA", args, os::kErrorInvalidParameter);
    if (!section) return Result("WritePrivateProfileStringA", args, 0);  // flushes the cache
    // A bare name is a file in the Windows folder.
    std::string path = m_.AnsiToUtf8(fileName);
    if (path.find('\\') == std::string::npos && path.find('/') == std::string::npos)
        path = JoinWindowsPath(m_.WindowsFolder(), path);
    std::string bytes;
    long err = m_.Files().ReadAll(path, &bytes);
    const bool existed = err == 0;
    if (err && err != os::kErrorFileNotFound)
        return Result("WritePrivateProfileStringA", args, err);
    const CodePage& ansi = m_.Ansi();
    const std::string edited =
        EditProfile(bytes, section, key, value, [&ansi](std::string_view a, std::string_view b) {
            return Upcase(ansi.ToWide(a)) == Upcase(ansi.ToWide(b));
        });
    if (edited == bytes && (existed || !value))
        return Result("WritePrivateProfileStringA", args, 0);
    return Result("WritePrivateProfileStringA", args, m_.Files().WriteAll(path, edited));
}

}  // namespace sim
