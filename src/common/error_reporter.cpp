#include "common/error_reporter.h"

#include <stdlib.h>

namespace {
// Constant-initialised, so it exists before any other process-wide object.
constinit ErrorReporter g_errorReporter;
}  // namespace

ErrorReporter& TheErrorReporter() { return g_errorReporter; }

void ErrorReporter::SetErrorCode(int code) {
    ++errorCount_;
    if (code == 1 || code == 255) {
        if (errorCode_ == 0) errorCode_ = code;
    } else if (code == 2) {
        if (errorCode_ == 0 || errorCode_ == 1) errorCode_ = code;
    } else {
        errorCode_ = code;
    }
}

void ErrorReporter::MemoryError() {
    MemoryErrorNotice();
    Throw(8);
}

void ErrorReporter::Throw(int code) {
    SetErrorCode(code);
#if defined(__cpp_exceptions)
    throw code;
#else
    // The shipped program is built without exception support: nothing in it
    // catches this code, so a throw could only end in terminate. Ending here
    // is the same abnormal end without the unwinder and its tables (about
    // 40 KB of a program whose budget is 100 KB).
    abort();
#endif
}

void ErrorReporter::Reset() {
    errorCode_ = 0;
    errorCount_ = 0;
}
