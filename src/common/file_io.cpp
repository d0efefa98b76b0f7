// File: reading and positioning.
#include "common/error_reporter.h"
#include "common/file.h"
#include "common/save_file_pos.h"
#include "platform/platform.h"

namespace {

// The most a character device or a pipe takes in one read request.
constexpr int kDeviceChunk = 20000;
constexpr int kBadBlockSize = 512;

bool IsDeviceHandle(os::FileHandle handle) {
    if (handle == os::InvalidFileHandle()) return false;
    os::Dword type = os::Fs().GetFileType(handle);
    return type == os::kFileTypeChar || type == os::kFileTypePipe;
}

}  // namespace

bool File::IsDevice() { return IsDeviceHandle(handle_); }

int File::RawRead(void* buffer, int count) {
    if (count < 0) return -1;
    os::FileHandle handle = handle_;
    if (handleKind_ == kHandleStandardInput) {
        handle = os::Fs().GetStdInput();
        if (count > kDeviceChunk) count = kDeviceChunk;
    }
    os::Dword read = 0;
    if (os::Fs().ReadFile(handle, buffer, static_cast<os::Dword>(count), &read)) {
        return static_cast<int>(read);
    }
    os::Dword error = os::Sys().GetLastError();
    if (count > kDeviceChunk && IsDeviceHandle(handle)) return RawRead(buffer, kDeviceChunk);
    if (handleKind_ == kHandleStandardInput &&
        error == static_cast<os::Dword>(os::kErrorBrokenPipe)) {
        return 0;
    }
    return -1;
}

int File::ReadBlockByBlock(void* buffer, int count, int64_t start) {
    char* bytes = static_cast<char*>(buffer);
    int total = 0;
    for (int offset = 0; offset < count; offset += kBadBlockSize) {
        int length = count - offset < kBadBlockSize ? count - offset : kBadBlockSize;
        RawSeek(start + offset, 0);
        int read = RawRead(bytes + offset, length);
        // A block that cannot be read is passed over as if it had been read.
        total += read == -1 ? length : read;
    }
    return total;
}

int File::Read(void* buffer, int count) {
    int64_t start = skipBadBlocks_ ? Tell() : 0;
    for (;;) {
        int read = RawRead(buffer, count);
        if (read != -1) return read;
        errorState_ = kErrorRead;
        if (!reportErrors_) return -1;
        if (skipBadBlocks_) return ReadBlockByBlock(buffer, count, start);
        if (handleKind_ == kHandleOpened && TheErrorReporter().RetryRead(name_)) continue;
        TheErrorReporter().ReadError(name_);
        return -1;
    }
}

bool File::RawSeek(int64_t position, int method) {
    if (!IsOpen()) return true;
    if (position < 0 && method == os::kFileCurrent) {
        position += Tell();
        method = os::kFileBegin;
    } else if (position < 0 && method == os::kFileEnd) {
        position += FileLength();
        method = os::kFileBegin;
    }
    long high = static_cast<long>(position >> 32);
    long low = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(position)));
    os::Sys().SetLastError(0);
    os::Dword result = os::Fs().SetFilePointer(handle_, low, &high, static_cast<os::Dword>(method));
    return result != os::kInvalidSetFilePointer || os::Sys().GetLastError() == 0;
}

void File::Seek(int64_t position, int method) {
    if (!RawSeek(position, method) && reportErrors_) TheErrorReporter().SeekError(name_);
}

int64_t File::Tell() {
    long high = 0;
    os::Sys().SetLastError(0);
    os::Dword low = os::Fs().SetFilePointer(handle_, 0, &high, os::kFileCurrent);
    if (low == os::kInvalidSetFilePointer && os::Sys().GetLastError() != 0) {
        if (reportErrors_) TheErrorReporter().SeekError(name_);
        return -1;
    }
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | low);
}

int64_t File::FileLength() {
    SaveFilePos keep(*this);
    Seek(0, os::kFileEnd);
    return Tell();
}
