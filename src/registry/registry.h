// The registry layer: every registry read, write and deletion of the program
// passes through these functions. Each opens its key, does one thing and
// closes it again; failures are quiet (writes tell only whether the key could
// be created, reads fall back to the caller's default, deletions tell nothing).
//
// Key paths: under HKEY_CURRENT_USER a relative path lies below the product
// key Software\Velkor and a path that begins with "\" is taken from the root;
// under any other root the path is used as it stands. A path longer than 236
// characters, or a null path, is refused under every root and behaves like a
// key that cannot be opened.
#pragma once

#include <stddef.h>

#include "platform/types.h"

// The product's per-user key below HKEY_CURRENT_USER.
extern const char kProductKey[];

enum : size_t {
    // The buffer that a resolved key path is formed in.
    kKeyPathSize = 256,
};

// Resolves the caller's `path` under `root` into `out` of `size` bytes. False,
// and `out` untouched, when the path is null or longer than size - 20.
bool MakeKeyPath(os::Key root, const char* path, char* out, size_t size);

// Creates or opens the key for writing (in the 64-bit view while SetView64 is
// on); null when refused or failed.
os::Key CreateKey(os::Key root, const char* path);
// Opens an existing key to query values and enumerate subkeys; null when missing.
os::Key OpenKeyForRead(os::Key root, const char* path);
// True when `key` was not null and closing it succeeded.
bool CloseKey(os::Key key);
// True when the key can be opened for querying.
bool KeyExists(os::Key root, const char* path);
// Key creation addresses the 64-bit view from now on (on) or the process's
// default view (off). Reads and deletions always use the default view.
void SetView64(bool on);

// Writes a value (REG_SZ, REG_DWORD, REG_BINARY). True when the key could be
// created; the result of the write itself is not looked at.
bool SetStringValue(os::Key root, const char* path, const char* valueName, const char* text);
bool SetDwordValue(os::Key root, const char* path, const char* valueName, os::Dword value);
bool SetBinaryValue(os::Key root, const char* path, const char* valueName, const void* data,
                    os::Dword size);

// Reads a value's bytes, whatever its type, into `buffer` of `bufferSize`
// bytes and makes sure they end with a terminator. False, and `defaultText`
// in the buffer (the empty text when it does not fit), when the key or value
// is missing, the value does not fit with a terminator, or the read fails.
bool GetStringValue(os::Key root, const char* path, const char* valueName, char* buffer,
                    const char* defaultText, os::Dword bufferSize);
// The stored 32-bit number, whatever the value's type; `defaultValue` when it
// cannot be read or does not hold exactly four bytes.
os::Dword GetDwordValue(os::Key root, const char* path, const char* valueName,
                        os::Dword defaultValue);

// Deletes the one key if the system lets it (on the NT family only a key
// without subkeys). A path that resolves to a root deletes nothing.
void DeleteKey(os::Key root, const char* path);
// The same in the 64-bit view (RegDeleteKeyExA with KEY_WOW64_64KEY), for the
// keys that creation wrote there while SetView64 was on. Does nothing on a
// system without that call.
void DeleteKeyInView64(os::Key root, const char* path);
// Deletes a value of the key.
void DeleteValue(os::Key root, const char* path, const char* valueName);
// Deletes the key with all its subkeys, on both Windows families, in passes
// until a pass deletes nothing. A subkey whose name or path is too long for
// the walk is left alone with everything below it (and so is its parent on
// the NT family). A path that resolves to a root deletes nothing.
void DeleteKeyTree(os::Key root, const char* path);

// Per-user shorthands: the same with HKEY_CURRENT_USER.
bool SetUserString(const char* path, const char* valueName, const char* text);
bool SetUserDword(const char* path, const char* valueName, os::Dword value);
bool GetUserString(const char* path, const char* valueName, char* buffer, const char* defaultText,
                   os::Dword bufferSize);
os::Dword GetUserDword(const char* path, const char* valueName, os::Dword defaultValue);

// Back to the state at start: view flag off, deleted-key count 0.
void ResetRegistryState();
