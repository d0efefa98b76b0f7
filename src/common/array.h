// A growable array of plain values (the language file's line index is an
// Array<int>). Running out of memory ends the program through the
// ErrorReporter.
#pragma once

#include <stdint.h>
#include <stdlib.h>

#include "common/error_reporter.h"

template <class T>
class Array {
  public:
    Array() = default;
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() { free(data_); }

    // Adds `n` elements at the end (their values are undefined). The capacity
    // grows to capacity + capacity / 4 + 32, or to the new count when that is
    // still smaller; appending one at a time gives 32, 72, 122, 184, 262, ...
    void Grow(int n) {
        if (n < 0 || count_ > INT32_MAX - n) TheErrorReporter().MemoryError();
        int newCount = count_ + n;
        if (capacity_ < newCount) {
            int64_t wanted = static_cast<int64_t>(capacity_) + capacity_ / 4 + 32;
            if (wanted < newCount) wanted = newCount;
            if (wanted > INT32_MAX || static_cast<uint64_t>(wanted) > SIZE_MAX / sizeof(T)) {
                TheErrorReporter().MemoryError();
            }
            void* grown = realloc(data_, static_cast<size_t>(wanted) * sizeof(T));
            if (!grown) TheErrorReporter().MemoryError();
            data_ = static_cast<T*>(grown);
            capacity_ = static_cast<int>(wanted);
        }
        count_ = newCount;
    }

    // Appends `value`.
    void Append(const T& value) {
        Grow(1);
        data_[count_ - 1] = value;
    }

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    T* Data() { return data_; }
    const T* Data() const { return data_; }
    T& operator[](int index) { return data_[index]; }
    const T& operator[](int index) const { return data_[index]; }

  private:
    T* data_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};
