// The process-wide table of the File objects that hold a handle of their own.
#pragma once

class File;

class OpenFileTable {
  public:
    enum : int { kSlots = 256 };

    // Puts `file` into the first empty slot; false when all slots are taken.
    bool Enter(File* file);
    // Empties the first slot that holds `file`.
    void Remove(const File* file);
    bool Contains(const File* file) const;
    // The number of slots in use.
    int Count() const;
    // Empties every slot.
    void Clear();

  private:
    File* slots_[kSlots] = {};
};

// The process-wide table.
OpenFileTable& OpenFiles();
