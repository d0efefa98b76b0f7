// The Explorer "New" menu entries of the VLK and ZIP types: the two
// new-archive templates and the ShellNew values that point at them.
#pragma once

#include "platform/types.h"

enum : os::Dword {
    kVlkTemplateSize = 20,
    kZipTemplateSize = 22,
};

// The empty archives that "New" creates: a VLK marker and an archive header
// with no files; a ZIP end-of-central-directory record with no entries. Each
// first byte is held as 0 so that the program file itself carries no archive
// marker that an archive scanner would find in it; CompleteTemplates() puts
// it in place before any use.
extern unsigned char VlkTemplate[kVlkTemplateSize];
extern unsigned char ZipTemplate[kZipTemplateSize];
void CompleteTemplates();

// Writes the template into a new file at `path`. A file (or anything else)
// already at that path is left as it is. A file that could not be written
// whole is deleted again, so that a later setup can make it afresh.
// True when the file was created and written.
bool WriteTemplateFile(const char* path, const unsigned char* bytes, os::Dword size);

// Replaces the ShellNew key `shellNewKey` (below HKEY_CLASSES_ROOT) with the
// entry for the VLK (isVlk) or ZIP template. From Windows 4.90 and 5.0 on the
// template is a file beside the program ("vlknew.dat", "zipnew.dat") named by
// "FileName"; on 4.0 and 4.10 the bytes themselves are the "Data" value.
void AddNewMenuEntry(const char* shellNewKey, bool isVlk);
