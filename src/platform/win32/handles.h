// Conversions between the platform layer's handles and the Win32 ones.
//
// The platform's opaque handles are the Win32 handles themselves. The one
// exception is the predefined registry roots: the platform spells them as the
// 32-bit values 0x80000000..., while a 64-bit Windows defines them sign-extended
// (HKEY_CLASSES_ROOT is 0xFFFFFFFF80000000 there), so they are mapped here.
#pragma once

#include <windows.h>

#include "platform/types.h"

namespace os::win {

inline HKEY ToHkey(Key key) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(key);
    if (value >= 0x80000000u && value <= 0x80000006u) {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
    }
    return reinterpret_cast<HKEY>(key);
}
// RegOpenKeyEx with an empty subkey hands a predefined root back as it is;
// it is given to the program in the platform's spelling.
inline Key FromHkey(HKEY key) {
    const LONG_PTR value = reinterpret_cast<LONG_PTR>(key);
    if (value >= static_cast<LONG>(0x80000000u) && value <= static_cast<LONG>(0x80000006u)) {
        return RootKey(static_cast<uint32_t>(value));
    }
    return reinterpret_cast<Key>(key);
}

inline HMODULE ToHmodule(Module module) { return reinterpret_cast<HMODULE>(module); }
inline Module FromHmodule(HMODULE module) { return reinterpret_cast<Module>(module); }

inline HWND ToHwnd(Window window) { return reinterpret_cast<HWND>(window); }

static_assert(sizeof(Wchar) == sizeof(WCHAR), "UTF-16 code units");
static_assert(sizeof(Bool) == sizeof(BOOL), "Win32 BOOL");
static_assert(sizeof(FileHandle) == sizeof(HANDLE), "Win32 HANDLE");

inline const WCHAR* ToWide(const Wchar* text) { return reinterpret_cast<const WCHAR*>(text); }
inline WCHAR* ToWide(Wchar* text) { return reinterpret_cast<WCHAR*>(text); }

}  // namespace os::win
