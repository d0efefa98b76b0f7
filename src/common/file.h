// One operating-system file handle: opening an existing file by ANSI or UTF-16
// path, reading with a policy for read errors, 64-bit positioning, closing and
// deleting.
#pragma once

#include <stdint.h>

#include "platform/types.h"

class File {
  public:
    enum : int { kNameSize = 1024 };
    // The error state after the last open or read.
    enum : int { kErrorNone = 0, kErrorNotFound = 1, kErrorRead = 2 };

    File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    // Closes a held handle that is this object's own, or deletes the file
    // when delete-on-destroy is set.
    virtual ~File();

    // Opens an existing file: by `wideName` with the UTF-16 call on the NT
    // family when it is given and not empty, otherwise by `name` (or, when
    // only a UTF-16 name is given, by its ANSI form). Read access, and write
    // access with `update`; other readers may always read it, other writers
    // may write it with `shareWrites` or the share-writes setting. A name
    // that does not fit the 1024-character name members is refused without
    // trying. A file already open in this object is closed first. On success
    // the object enters the open-file table when the table has room.
    bool Open(const char* name, const os::Wchar* wideName, bool update, bool shareWrites);
    // True when the handle was closed or there was nothing to close; every
    // call adds one to the close count.
    bool Close();
    // Closes the file and deletes it by its stored names. False when this
    // object reads standard input or is not deletable (the file stays open).
    bool Delete();

    // Bytes read, 0 at the end of the file, -1 on error (after the read-error
    // policy: block by block with skip-bad-blocks, else a retry question).
    int Read(void* buffer, int count);
    // One read request. Character devices and pipes take at most 20000 bytes
    // per request; standard input at its end gives 0.
    int RawRead(void* buffer, int count);
    // Sets the position: `method` 0 from the start, 1 from the current
    // position, 2 from the end. A failure is reported to the ErrorReporter.
    void Seek(int64_t position, int method);
    // The same; false when the system refuses the position.
    bool RawSeek(int64_t position, int method);
    // The current position, -1 when it cannot be asked.
    int64_t Tell();
    // The file's length; the position stays where it was.
    int64_t FileLength();
    // True when the handle is a character device or a pipe.
    bool IsDevice();

    bool IsOpen() const { return handle_ != os::InvalidFileHandle(); }
    int ErrorState() const { return errorState_; }
    int CloseCount() const { return closeCount_; }
    const char* Name() const { return name_; }
    const os::Wchar* WideName() const { return wideName_; }

    // Reads the process's standard input from now on; it is never closed.
    void UseStandardInput();
    // Takes over a handle that stays its owner's: Close leaves it open.
    void Borrow(os::FileHandle handle);
    void SetSkipBadBlocks(bool on) { skipBadBlocks_ = on; }
    void SetDeleteOnDestroy(bool on) { deleteOnDestroy_ = on; }
    void SetDeletable(bool on) { deletable_ = on; }
    void SetReportErrors(bool on) { reportErrors_ = on; }
    void SetRandomAccess(bool on) { randomAccess_ = on; }
    void SetShareWrites(bool on) { shareWrites_ = on; }

  private:
    enum : int { kHandleOpened = 0, kHandleStandardInput = 1 };

    bool StoreNames(const char* name, const os::Wchar* wideName);
    int ReadBlockByBlock(void* buffer, int count, int64_t start);

    os::FileHandle handle_;
    int handleKind_ = kHandleOpened;
    bool borrowedHandle_ = false;
    bool skipBadBlocks_ = false;
    bool deleteOnDestroy_ = false;
    bool deletable_ = true;
    bool reportErrors_ = true;
    bool randomAccess_ = false;
    bool shareWrites_ = false;
    char name_[kNameSize] = {};
    os::Wchar wideName_[kNameSize] = {};
    int errorState_ = kErrorNone;
    int closeCount_ = 0;
};
