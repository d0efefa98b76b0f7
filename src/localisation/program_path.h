// The running program's own path and the files beside it.
#pragma once

#include <stddef.h>

// Paths and folders are held in buffers of this many bytes.
enum : size_t { kPathSize = 1024 };

// The program's full path, as the system reports it, into `path` of `size`
// bytes. False, and the empty text, when the system gives none or the path
// does not fit: a cut path would name another file.
bool GetProgramPath(char* path, size_t size);

// Replaces the file-name part of `path` (from NameInPath on) with `name`.
// False, leaving `path` unchanged, when the path has no folder part or the
// result does not fit into `size` bytes.
bool ReplaceFileName(char* path, size_t size, const char* name);
