// Basic types and constants shared by the program and the platform backends.
//
// The program's code never includes <windows.h>; it sees Windows through the
// interfaces in this folder. The types and constants here keep the Win32
// meanings and values so the program reads as the Windows program it is.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace os {

using Dword = uint32_t;
using Word = uint16_t;
using Wchar = uint16_t;  // one UTF-16 code unit
using Bool = int;

// Opaque handles. The backends give them meaning; the program only passes them on.
struct KeyObject;
using Key = KeyObject*;
struct ModuleObject;
using Module = ModuleObject*;
struct IconObject;
using Icon = IconObject*;
struct WindowObject;
using Window = WindowObject*;
using FileHandle = void*;

inline FileHandle InvalidFileHandle() {
    return reinterpret_cast<FileHandle>(static_cast<intptr_t>(-1));
}

// Predefined registry roots, with their Win32 values.
inline Key RootKey(uintptr_t v) { return reinterpret_cast<Key>(v); }
inline Key ClassesRoot() { return RootKey(0x80000000u); }
inline Key CurrentUser() { return RootKey(0x80000001u); }
inline Key LocalMachine() { return RootKey(0x80000002u); }

// Win32 error codes the program and the backends use.
enum : long {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorWriteProtect = 19,
    kErrorSharingViolation = 32,
    kErrorHandleDiskFull = 39,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorBrokenPipe = 109,
    kErrorCallNotImplemented = 120,
    kErrorInsufficientBuffer = 122,
    kErrorDirNotEmpty = 145,
    kErrorAlreadyExists = 183,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorResourceTypeNotFound = 1813,
    kErrorResourceNameNotFound = 1814,
    kErrorBadFormat = 11,
};

// Registry access rights and value types.
enum : Dword {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kKeyCreateSubKey = 0x0004,
    kKeyEnumerateSubKeys = 0x0008,
    kKeyWow64_64Key = 0x0100,
    kKeyWow64_32Key = 0x0200,
    kKeyRead = 0x20019,
    kKeyWrite = 0x20006,
    kKeyAllAccess = 0xF003F,
    kRegOptionNonVolatile = 0,
};
enum : Dword {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// File access, sharing, creation, attributes.
enum : Dword {
    kGenericRead = 0x80000000u,
    kGenericWrite = 0x40000000u,
    kFileShareRead = 1,
    kFileShareWrite = 2,
    kFileShareDelete = 4,
    kCreateNew = 1,
    kCreateAlways = 2,
    kOpenExisting = 3,
    kOpenAlways = 4,
    kFileAttributeReadOnly = 0x01,
    kFileAttributeHidden = 0x02,
    kFileAttributeSystem = 0x04,
    kFileAttributeDirectory = 0x10,
    kFileAttributeArchive = 0x20,
    kFileAttributeNormal = 0x80,
    kFileFlagSequentialScan = 0x08000000u,
    kInvalidFileAttributes = 0xFFFFFFFFu,
    kMoveFileReplaceExisting = 1,
    kMoveFileDelayUntilReboot = 4,
    kFileTypeUnknown = 0,
    kFileTypeDisk = 1,
    kFileTypeChar = 2,
    kFileTypePipe = 3,
    kFileBegin = 0,
    kFileCurrent = 1,
    kFileEnd = 2,
    kInvalidSetFilePointer = 0xFFFFFFFFu,
};

// Version and code pages.
enum : Dword {
    kPlatformWin32Windows = 1,
    kPlatformWin32Nt = 2,
    kCpAcp = 0,
    kCpOemcp = 1,
};
enum : Dword {
    kNormIgnoreCase = 0x00000001,
    kSortStringSort = 0x00001000,
    kLocaleUserDefault = 0x0400,
};

struct VersionInfo {
    Dword majorVersion;
    Dword minorVersion;
    Dword buildNumber;
    Dword platformId;
    char csdVersion[128];
};

struct CpInfo {
    unsigned maxCharSize;
    unsigned char defaultChar[2];
    unsigned char leadByte[12];
};

// Message boxes: the flags and answers the program uses.
enum : unsigned {
    kMbOk = 0x0,
    kMbOkCancel = 0x1,
    kMbYesNo = 0x4,
    kMbIconError = 0x10,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
    kMbSetForeground = 0x10000,
};
enum : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdYes = 6,
    kIdNo = 7,
};

}  // namespace os
