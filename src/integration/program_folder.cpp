#include "integration/program_folder.h"

#include "localisation/program_path.h"

bool ProgramFolderFile(const char* name, char* path, size_t size) {
    return GetProgramPath(path, size) && ReplaceFileName(path, size, name);
}
