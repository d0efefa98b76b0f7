// The lines of the list of installed files, Uninstall.lst, read from an open
// File in passes.
#pragma once

class File;

class ListReader {
  public:
    enum : int {
        kLineSize = 2048,  // a line holds at most 2047 bytes, its LF included
        kChunkSize = 2048,
    };

    // Reads `file` from its start; the file stays open and the caller's.
    explicit ListReader(File& file);
    ListReader(const ListReader&) = delete;
    ListReader& operator=(const ListReader&) = delete;

    // The next line into `line` of kLineSize bytes, with its LF when it has
    // one; false at the end of the list (or when the list cannot be read
    // further). A line longer than 2047 bytes, or one holding a zero byte, is
    // passed over whole: no part of it is ever handed out as a line.
    bool NextLine(char* line);
    // Back to the start of the list, for the next pass.
    void Rewind();

  private:
    bool Fill();

    File& file_;
    char chunk_[kChunkSize];
    int position_ = 0;
    int length_ = 0;
    bool atEnd_ = false;
};
