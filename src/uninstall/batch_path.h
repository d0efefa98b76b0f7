// Paths as the command interpreter reads them in a batch file.
#pragma once

#include <stddef.h>

// Writes the ANSI path `path` into `out` of `size` bytes so that the command
// interpreter, which reads a batch file in the OEM code page, reads the same
// path: in the OEM code page, with every "%" doubled. A path that has no
// exact OEM form (a character that would be replaced, or mapped to a
// look-alike) is written in its short form. False, and the empty text, when
// neither form can be written whole: the path is never cut.
bool BatchPathText(const char* path, char* out, size_t size);
