#include "integration/archive_types.h"

#include <string.h>

const ArchiveType ArchiveTypeTable[kArchiveTypeCount] = {
    {"VLK", 5101, ".vlk", ".vlk", kVelkorClass},
    {"ZIP", 5102, ".zip", ".zip", kVelkorZipClass},
    {"CAB", 5103, ".cab", ".cab", kVelkorClass},
    {"ARJ", 5104, ".arj", ".arj", kVelkorClass},
    {"LZH", 5105, ".lzh", ".lzh.lha", kVelkorClass},
    {"ACE", 5106, ".ace", ".ace", kVelkorClass},
    {"7-Zip", 5107, ".7z", ".7z", kVelkorClass},
    {"TAR", 5108, ".tar", ".tar", kVelkorClass},
    {"GZip", 5109, ".gz", ".gz.tgz", kVelkorClass},
    {"UUE", 5110, ".uue", ".uue.xxe.uu", kVelkorClass},
    {"BZ2", 5111, ".bz2", ".bz2.tbz2.bz.tbz", kVelkorClass},
    {"JAR", 5112, ".jar", ".jar", kVelkorClass},
    {"ISO", 5113, ".iso", ".iso", kVelkorClass},
    {"Z", 5114, ".z", ".z.taz", kVelkorClass},
};

const char* NextExtension(const char* list, char* extension, size_t size) {
    while (list != nullptr && *list != '\0') {
        const char* dot = strchr(list + 1, '.');
        size_t length = dot != nullptr ? static_cast<size_t>(dot - list) : strlen(list);
        if (length < size) {
            memcpy(extension, list, length);
            extension[length] = '\0';
            return dot != nullptr ? dot : list + length;
        }
        list = dot;
    }
    return nullptr;
}
