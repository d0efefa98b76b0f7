// The files of the installation that lie beside this program.
#pragma once

#include <stddef.h>

// The full path of `name` in the running program's folder into `path` of
// `size` bytes. False, and no usable path, when the program's own path
// cannot be read whole or the result does not fit.
bool ProgramFolderFile(const char* name, char* path, size_t size);
