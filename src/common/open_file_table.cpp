#include "common/open_file_table.h"

namespace {
constinit OpenFileTable g_openFiles;
}

OpenFileTable& OpenFiles() { return g_openFiles; }

bool OpenFileTable::Enter(File* file) {
    for (File*& slot : slots_) {
        if (!slot) {
            slot = file;
            return true;
        }
    }
    return false;
}

void OpenFileTable::Remove(const File* file) {
    for (File*& slot : slots_) {
        if (slot == file) {
            slot = nullptr;
            return;
        }
    }
}

bool OpenFileTable::Contains(const File* file) const {
    for (const File* slot : slots_) {
        if (slot == file) return true;
    }
    return false;
}

int OpenFileTable::Count() const {
    int count = 0;
    for (const File* slot : slots_) {
        if (slot) ++count;
    }
    return count;
}

void OpenFileTable::Clear() {
    for (File*& slot : slots_) slot = nullptr;
}
