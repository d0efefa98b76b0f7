// The process-wide record of error codes, and the end of the program on
// memory exhaustion.
#pragma once

class ErrorReporter {
  public:
    constexpr ErrorReporter() = default;
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;

    // Records `code`: 1 and 255 only while no code is recorded, 2 over none or
    // 1, any other code always. Every call counts, recorded or not.
    void SetErrorCode(int code);
    // Sends the memory-error notification and throws 8. Nothing catches it:
    // the program ends abnormally.
    [[noreturn]] void MemoryError();
    // Records `code` and throws it as an int.
    [[noreturn]] void Throw(int code);

    int ErrorCode() const { return errorCode_; }
    int ErrorCount() const { return errorCount_; }
    // Back to the state of static construction: no code, no count.
    void Reset();

    // Notifications of the file object; in this program they show nothing.
    void MemoryErrorNotice() {}
    void CloseError(const char* /*fileName*/) {}
    void ReadError(const char* /*fileName*/) {}
    void SeekError(const char* /*fileName*/) {}
    // Whether to retry a failed read: always no.
    bool RetryRead(const char* /*fileName*/) { return false; }

  private:
    int errorCode_ = 0;
    int errorCount_ = 0;
};

// The process-wide reporter.
ErrorReporter& TheErrorReporter();
