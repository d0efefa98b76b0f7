#include "common/save_file_pos.h"

#include "common/file.h"

SaveFilePos::SaveFilePos(File& file)
    : file_(&file), position_(file.Tell()), closeCount_(file.CloseCount()) {}

SaveFilePos::~SaveFilePos() {
    if (file_->CloseCount() == closeCount_) file_->Seek(position_, 0);
}
