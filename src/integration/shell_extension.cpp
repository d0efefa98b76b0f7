#include "integration/shell_extension.h"

#include "common/text.h"
#include "integration/program_folder.h"
#include "localisation/program_path.h"
#include "platform/platform.h"
#include "registry/registry.h"

const char kShellExtensionLibrary[] = "vlkext.dll";
const char kShellExtensionLibrary64[] = "vlkext64.dll";
const char kShellExtensionClsid[] = "{A3F07C52-1B9D-4E6A-8C21-5D7E90B4F3A8}";
const char kShellExtensionClsid64[] = "{A3F07C52-64E4-4E6A-8C21-5D7E90B4F3A8}";
const char kApprovedExtensionsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

namespace {

const char kClassKey[] = "CLSID\\%s";
const char kServerKey[] = "CLSID\\%s\\InProcServer32";

// Keys named after the class identifier, with an empty default value.
const char* const kPerClsidHandlers[] = {
    "Velkor\\shellex\\ContextMenuHandlers\\%s",
    "Velkor\\shellex\\PropertySheetHandlers\\%s",
    "Velkor.ZIP\\shellex\\ContextMenuHandlers\\%s",
    "Velkor.ZIP\\shellex\\PropertySheetHandlers\\%s",
    "exefile\\shellex\\PropertySheetHandlers\\%s",
};
// Keys whose default value is the class identifier.
const char* const kDropHandlers[] = {
    "Velkor\\shellex\\DropHandler",
    "Velkor.ZIP\\shellex\\DropHandler",
};
const char* const kNamedHandlers[] = {
    "*\\shellex\\ContextMenuHandlers\\Velkor",
    "Folder\\shellex\\ContextMenuHandlers\\Velkor",
    "Folder\\shellex\\DragDropHandlers\\Velkor",
    "Drive\\shellex\\DragDropHandlers\\Velkor",
    "Directory\\shellex\\ContextMenuHandlers\\Velkor",
    "Directory\\shellex\\DragDropHandlers\\Velkor",
};

os::Key Classes() { return os::ClassesRoot(); }

// `format` filled with the class identifier; false when it does not fit.
bool ClsidKey(char* key, const char* format, const char* clsid) {
    return FormatInto(key, kKeyPathSize, format, clsid) != nullptr;
}

bool LibraryPresent(const char* fileName, char* library, size_t size) {
    return ProgramFolderFile(fileName, library, size) &&
           os::Fs().GetFileAttributesA(library) != os::kInvalidFileAttributes;
}

void WriteClassKeys(const char* clsid, const char* library, bool is64) {
    char classKey[kKeyPathSize];
    char serverKey[kKeyPathSize];
    if (!ClsidKey(classKey, kClassKey, clsid) || !ClsidKey(serverKey, kServerKey, clsid)) return;
    if (is64) SetView64(true);
    SetStringValue(Classes(), classKey, "", "Velkor");
    SetStringValue(Classes(), serverKey, "", library);
    SetStringValue(Classes(), serverKey, "ThreadingModel", "Apartment");
    if (is64) SetView64(false);
}

void DeleteClassKeys(const char* clsid, bool is64) {
    char classKey[kKeyPathSize];
    char serverKey[kKeyPathSize];
    if (!ClsidKey(classKey, kClassKey, clsid) || !ClsidKey(serverKey, kServerKey, clsid)) return;
    DeleteKey(Classes(), serverKey);
    DeleteKey(Classes(), classKey);
    // Registration put the 64-bit library's class keys into the 64-bit view,
    // which the deletions above do not reach from this 32-bit program.
    if (is64) {
        DeleteKeyInView64(Classes(), serverKey);
        DeleteKeyInView64(Classes(), classKey);
    }
}

void Register(const char* fileName, const char* clsid, bool is64) {
    char library[kPathSize];
    if (LibraryPresent(fileName, library, sizeof library)) WriteClassKeys(clsid, library, is64);
    char key[kKeyPathSize];
    for (const char* format : kPerClsidHandlers) {
        if (ClsidKey(key, format, clsid)) SetStringValue(Classes(), key, "", "");
    }
    for (const char* handler : kDropHandlers) SetStringValue(Classes(), handler, "", clsid);
    for (const char* handler : kNamedHandlers) SetStringValue(Classes(), handler, "", clsid);
    SetStringValue(os::LocalMachine(), kApprovedExtensionsKey, clsid, "Velkor shell extension");
}

void Remove(const char* clsid, bool is64) {
    DeleteClassKeys(clsid, is64);
    char key[kKeyPathSize];
    for (const char* format : kPerClsidHandlers) {
        if (ClsidKey(key, format, clsid)) DeleteKey(Classes(), key);
    }
    for (const char* handler : kDropHandlers) DeleteKey(Classes(), handler);
    for (const char* handler : kNamedHandlers) DeleteValue(Classes(), handler, "");
    DeleteValue(os::LocalMachine(), kApprovedExtensionsKey, clsid);
}

}  // namespace

void RegisterShellExtension(bool registering, const char* fileName, const char* clsid, bool is64) {
    if (registering) {
        Register(fileName, clsid, is64);
    } else {
        Remove(clsid, is64);
    }
}

void ApplyShellExtension(const IntegrationSettings* settings) {
    bool on = settings->flags[kFlagShellIntegration] != 0;
    RegisterShellExtension(on, kShellExtensionLibrary, kShellExtensionClsid, false);
    if (IsWow64())
        RegisterShellExtension(on, kShellExtensionLibrary64, kShellExtensionClsid64, true);
}
