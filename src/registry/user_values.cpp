// The per-user shorthands: values below the product key of HKEY_CURRENT_USER.
#include "registry/registry.h"

bool SetUserString(const char* path, const char* valueName, const char* text) {
    return SetStringValue(os::CurrentUser(), path, valueName, text);
}

bool SetUserDword(const char* path, const char* valueName, os::Dword value) {
    return SetDwordValue(os::CurrentUser(), path, valueName, value);
}

bool GetUserString(const char* path, const char* valueName, char* buffer, const char* defaultText,
                   os::Dword bufferSize) {
    return GetStringValue(os::CurrentUser(), path, valueName, buffer, defaultText, bufferSize);
}

os::Dword GetUserDword(const char* path, const char* valueName, os::Dword defaultValue) {
    return GetDwordValue(os::CurrentUser(), path, valueName, defaultValue);
}
