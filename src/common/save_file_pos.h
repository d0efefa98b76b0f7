// Keeps a File's position and puts it back at the end of a scope, unless the
// file was closed in between.
#pragma once

#include <stdint.h>

class File;

class SaveFilePos {
  public:
    explicit SaveFilePos(File& file);
    SaveFilePos(const SaveFilePos&) = delete;
    SaveFilePos& operator=(const SaveFilePos&) = delete;
    ~SaveFilePos();

  private:
    File* file_;
    int64_t position_;
    int closeCount_;
};
