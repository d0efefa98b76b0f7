#include "uninstall/list_reader.h"

#include "common/file.h"

ListReader::ListReader(File& file) : file_(file) { Rewind(); }

void ListReader::Rewind() {
    file_.Seek(0, 0);
    position_ = 0;
    length_ = 0;
    atEnd_ = false;
}

bool ListReader::Fill() {
    if (atEnd_) return false;
    const int read = file_.Read(chunk_, kChunkSize);
    if (read <= 0) {
        atEnd_ = true;
        return false;
    }
    position_ = 0;
    length_ = read;
    return true;
}

bool ListReader::NextLine(char* line) {
    for (;;) {
        int length = 0;
        bool any = false;
        bool tooLong = false;
        bool zeroByte = false;
        for (;;) {
            if (position_ == length_ && !Fill()) break;
            const char c = chunk_[position_++];
            any = true;
            if (length < kLineSize - 1) {
                line[length++] = c;
            } else {
                tooLong = true;
            }
            if (c == '\0') zeroByte = true;
            if (c == '\n') break;
        }
        line[length] = '\0';
        if (!any) return false;
        if (!tooLong && !zeroByte) return true;
    }
}
