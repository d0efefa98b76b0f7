#include "platform/sim/trace.h"

#include <cerrno>
#include <cstring>

namespace sim {

Trace::~Trace() {
    if (file_) fclose(file_);
}

bool Trace::WriteTo(const std::string& path, std::string* error) {
    FILE* f = fopen(path.c_str(), "w");
    if (!f) {
        *error = "cannot write the trace file " + path + ": " + strerror(errno);
        return false;
    }
    if (file_) fclose(file_);
    file_ = f;
    return true;
}

void Trace::Add(const std::string& call, const std::string& rest) {
    std::string line = rest.empty() ? call : call + " " + rest;
    ++counts_[call];
    if (file_) {
        fputs(line.c_str(), file_);
        fputc('\n', file_);
        fflush(file_);
    }
    lines_.push_back(std::move(line));
}

long Trace::Count(const std::string& call) const {
    auto it = counts_.find(call);
    return it == counts_.end() ? 0 : it->second;
}

void Trace::Clear() {
    lines_.clear();
    counts_.clear();
}

void Trace::Continue(Trace& earlier) {
    lines_.insert(lines_.begin(), earlier.lines_.begin(), earlier.lines_.end());
    for (const auto& [call, count] : earlier.counts_) counts_[call] += count;
    if (earlier.file_) {
        if (file_) fclose(file_);
        file_ = earlier.file_;
        earlier.file_ = nullptr;
    }
    earlier.Clear();
}

}  // namespace sim
