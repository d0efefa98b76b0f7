// File: construction, opening, closing and deleting.
#include <string.h>

#include "common/error_reporter.h"
#include "common/file.h"
#include "common/open_file_table.h"
#include "common/system.h"
#include "common/text.h"
#include "platform/platform.h"

File::File() : handle_(os::InvalidFileHandle()) {}

File::~File() {
    if (!IsOpen() || borrowedHandle_) return;
    if (deleteOnDestroy_) {
        Delete();
    } else {
        Close();
    }
}

bool File::StoreNames(const char* name, const os::Wchar* wideName) {
    name_[0] = '\0';
    wideName_[0] = 0;
    if (wideName && !CopyWide(wideName_, kNameSize, wideName)) return false;
    if (name) return CopyText(name_, kNameSize, name);
    // Without an ANSI name the ANSI form of the UTF-16 name stands in; when
    // it cannot be made the name stays empty and only the UTF-16 call can
    // open the file.
    if (wideName) WideToAnsi(wideName, name_, kNameSize);
    return true;
}

bool File::Open(const char* name, const os::Wchar* wideName, bool update, bool shareWrites) {
    if (IsOpen() || handleKind_ != kHandleOpened) Close();
    errorState_ = kErrorNone;
    deleteOnDestroy_ = false;
    handleKind_ = kHandleOpened;
    borrowedHandle_ = false;
    if (!StoreNames(name, wideName)) {
        name_[0] = '\0';
        wideName_[0] = 0;
        return false;
    }

    os::Dword access = os::kGenericRead;
    if (update) access |= os::kGenericWrite;
    os::Dword share = os::kFileShareRead;
    if (shareWrites_ || shareWrites) share |= os::kFileShareWrite;
    os::Dword flags = 0;
    if (!randomAccess_) flags |= os::kFileFlagSequentialScan;
    os::Files& files = os::Fs();
    os::FileHandle handle;
    if (NtFamilyVersion() != 0 && wideName_[0] != 0) {
        handle = files.CreateFileW(wideName_, access, share, os::kOpenExisting, flags);
    } else {
        handle = files.CreateFileA(name_, access, share, os::kOpenExisting, flags);
    }
    if (handle == os::InvalidFileHandle()) {
        if (os::Sys().GetLastError() == static_cast<os::Dword>(os::kErrorFileNotFound)) {
            errorState_ = kErrorNotFound;
        }
        name_[0] = '\0';
        wideName_[0] = 0;
        return false;
    }
    handle_ = handle;
    OpenFiles().Enter(this);
    return true;
}

bool File::Close() {
    bool result = true;
    if (handleKind_ != kHandleOpened) {
        handleKind_ = kHandleOpened;
    } else if (IsOpen()) {
        if (!borrowedHandle_) {
            result = os::Fs().CloseHandle(handle_) != 0;
            OpenFiles().Remove(this);
        }
        handle_ = os::InvalidFileHandle();
        if (!result && reportErrors_) TheErrorReporter().CloseError(name_);
    }
    ++closeCount_;
    return result;
}

bool File::Delete() {
    if (handleKind_ != kHandleOpened || !deletable_) return false;
    if (IsOpen()) Close();
    return RemoveFile(name_, wideName_);
}

void File::UseStandardInput() {
    if (IsOpen()) Close();
    handleKind_ = kHandleStandardInput;
}

void File::Borrow(os::FileHandle handle) {
    if (IsOpen() || handleKind_ != kHandleOpened) Close();
    handle_ = handle;
    borrowedHandle_ = true;
    name_[0] = '\0';
    wideName_[0] = 0;
}
