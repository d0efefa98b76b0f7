#include "integration/new_menu.h"

#include <string.h>

#include "localisation/program_path.h"
#include "platform/platform.h"
#include "registry/registry.h"

unsigned char VlkTemplate[kVlkTemplateSize] = {
    0x00, 0x6C, 0x6B, 0x21, 0x1A, 0x07, 0x00,  // marker "Vlk!" 1A 07 00
    0xCF, 0x90,                                // header checksum
    0x73,                                      // archive header type
    0x00, 0x00,                                // flags
    0x0D, 0x00,                                // header size
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

unsigned char ZipTemplate[kZipTemplateSize] = {
    0x00, 0x4B, 0x05, 0x06,  // end of central directory "PK" 05 06
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
};

void CompleteTemplates() {
    VlkTemplate[0] = 'V';
    ZipTemplate[0] = 'P';
}

bool WriteTemplateFile(const char* path, const unsigned char* bytes, os::Dword size) {
    os::Files& files = os::Fs();
    os::FileHandle file =
        files.CreateFileA(path, os::kGenericWrite, 0, os::kCreateNew, os::kFileAttributeNormal);
    if (file == os::InvalidFileHandle()) return false;
    os::Dword written = 0;
    bool whole = files.WriteFile(file, bytes, size, &written) != 0 && written == size;
    bool closed = files.CloseHandle(file) != 0;
    if (whole && closed) return true;
    files.DeleteFileA(path);
    return false;
}

namespace {

// The "FileName" form came with Windows 4.90 and 5.0; 4.0 and 4.10 take "Data".
bool TemplateAsFile() {
    os::VersionInfo version;
    memset(&version, 0, sizeof version);
    os::Sys().GetVersionExA(&version);
    return version.majorVersion > 4 || version.minorVersion > 10;
}

}  // namespace

void AddNewMenuEntry(const char* shellNewKey, bool isVlk) {
    const unsigned char* bytes = isVlk ? VlkTemplate : ZipTemplate;
    os::Dword size = isVlk ? kVlkTemplateSize : kZipTemplateSize;
    DeleteKey(os::ClassesRoot(), shellNewKey);
    if (!TemplateAsFile()) {
        SetBinaryValue(os::ClassesRoot(), shellNewKey, "Data", bytes, size);
        return;
    }
    // A path that cannot be formed whole names no template at all.
    char path[kPathSize];
    if (!GetProgramPath(path, sizeof path) ||
        !ReplaceFileName(path, sizeof path, isVlk ? "vlknew.dat" : "zipnew.dat")) {
        return;
    }
    WriteTemplateFile(path, bytes, size);
    SetStringValue(os::ClassesRoot(), shellNewKey, "FileName", path);
}
