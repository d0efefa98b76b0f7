// The terminate handler of uninstall.exe.
//
// The run-time's own handler prints the uncaught exception's demangled type
// and brings the whole demangler into the program (about 50 KB). The program
// throws only its memory-exhaustion code, which nothing catches; ending the
// process is all that is needed. Linked into the executable itself, so it
// replaces the run-time's definition.
#include <stdlib.h>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() { abort(); }

}  // namespace __gnu_cxx
