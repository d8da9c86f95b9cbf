// Bytes read by position, from a file (through a window of buffered bytes, since scans read many small
// heads) or from memory (tests).
#pragma once
#include <cstdint>
#include <vector>
#include "base/fileio.h"

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to n bytes from position pos; returns the count copied (0 at or past the end, -1 on an
    // error).
    virtual int64_t read_at(int64_t pos, void* out, int64_t n) = 0;
    // Exactly n bytes or false.
    bool read_exact_at(int64_t pos, void* out, int64_t n) { return n == 0 || read_at(pos, out, n) == n; }
};

class MemoryByteSource : public ByteSource {
public:
    MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int64_t read_at(int64_t pos, void* out, int64_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
};

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(fileio::File& file) : file_(file) {}
    int64_t read_at(int64_t pos, void* out, int64_t n) override;

private:
    static constexpr int64_t kWindow = 64 * 1024;
    fileio::File& file_;
    std::vector<uint8_t> window_;
    int64_t window_pos_ = -1;
};
