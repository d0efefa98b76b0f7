// Writing, reading and deleting values.
#include <string.h>

#include "common/text.h"
#include "platform/platform.h"
#include "registry/registry.h"

namespace {

// Creates the key, sets the value, closes the key; the write's own result is
// not looked at.
bool SetValue(os::Key root, const char* path, const char* valueName, os::Dword type,
              const void* data, os::Dword size) {
    os::Key key = CreateKey(root, path);
    if (!key) return false;
    os::Reg().SetValueEx(key, valueName, type, data, size);
    return CloseKey(key);
}

// Queries the value's bytes into `data`; `*size` in/out. True on success.
bool QueryValue(os::Key root, const char* path, const char* valueName, void* data,
                os::Dword* size) {
    os::Key key = OpenKeyForRead(root, path);
    if (!key) return false;
    long result = os::Reg().QueryValueEx(key, valueName, nullptr, data, size);
    CloseKey(key);
    return result == os::kErrorSuccess;
}

}  // namespace

bool SetStringValue(os::Key root, const char* path, const char* valueName, const char* text) {
    if (!text) text = "";
    return SetValue(root, path, valueName, os::kRegSz, text,
                    static_cast<os::Dword>(strlen(text) + 1));
}

bool SetDwordValue(os::Key root, const char* path, const char* valueName, os::Dword value) {
    return SetValue(root, path, valueName, os::kRegDword, &value, sizeof value);
}

bool SetBinaryValue(os::Key root, const char* path, const char* valueName, const void* data,
                    os::Dword size) {
    return SetValue(root, path, valueName, os::kRegBinary, data, size);
}

bool GetStringValue(os::Key root, const char* path, const char* valueName, char* buffer,
                    const char* defaultText, os::Dword bufferSize) {
    if (!buffer || bufferSize == 0) return false;
    os::Dword size = bufferSize;
    bool read = QueryValue(root, path, valueName, buffer, &size);
    // Whatever the type, the bytes must end with a terminator inside the
    // buffer; a value that fills it without one does not fit.
    if (read && size < bufferSize) {
        buffer[size] = '\0';
        return true;
    }
    if (read && size == bufferSize && buffer[size - 1] == '\0') return true;
    CopyText(buffer, bufferSize, defaultText ? defaultText : "");
    return false;
}

os::Dword GetDwordValue(os::Key root, const char* path, const char* valueName,
                        os::Dword defaultValue) {
    os::Dword value = 0;
    os::Dword size = sizeof value;
    if (!QueryValue(root, path, valueName, &value, &size) || size != sizeof value) {
        return defaultValue;
    }
    return value;
}

void DeleteValue(os::Key root, const char* path, const char* valueName) {
    char resolved[kKeyPathSize];
    if (!MakeKeyPath(root, path, resolved, sizeof resolved)) return;
    os::Key key = nullptr;
    if (os::Reg().OpenKeyEx(root, resolved, os::kKeyWrite, &key) != os::kErrorSuccess) return;
    os::Reg().DeleteValue(key, valueName);
    CloseKey(key);
}
