// File access for every reader and writer of the system. In the program paths are Windows paths
// ("C:\...", "Z:\..."), which glibc does not understand, so the program's build goes through Win32;
// the native build (unit tests) uses POSIX calls on the same interface.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fileio {

class File {
public:
    enum class Mode {
        Read,          // existing file, read only
        ReadWrite,     // existing file, read and write
        CreateNew,     // new file; fails when the name exists, so no user file is overwritten
        CreateAlways,  // new or truncated file (own scratch and index files only)
    };

    File() = default;
    ~File() { close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kClosed; }
    File& operator=(File&& other) noexcept;

    bool open(const char* path, Mode mode);
    void close();
    bool is_open() const { return handle_ != kClosed; }

    // Bytes read (0 at the end, -1 on error).
    int64_t read(void* buffer, int64_t count);
    // Reads exactly count bytes or fails.
    bool read_exact(void* buffer, int64_t count) { return count == 0 || read(buffer, count) == count; }
    // Bytes written; anything less than count is an error.
    int64_t write(const void* buffer, int64_t count);
    bool write_all(const void* buffer, int64_t count) { return write(buffer, count) == count; }
    bool seek(int64_t position);
    int64_t tell() const;
    int64_t size() const;
    // Makes the file exactly size bytes long (cut or zero-extended); the position stays where it was.
    bool set_size(int64_t size);

private:
    static constexpr intptr_t kClosed = -1;
    intptr_t handle_ = kClosed;
};

// The whole file in *bytes; false (bytes emptied) when it cannot be read or holds more than max_bytes.
bool read_all(const char* path, std::vector<uint8_t>* bytes, int64_t max_bytes);

bool exists(const char* path);
bool remove(const char* path);
// Puts the file `from` in place of `to`, replacing an existing `to` in one step.
bool replace(const char* from, const char* to);
// Creates a folder; true when it exists afterwards.
bool make_dir(const char* path);
// The path as a Linux library must be given it.
std::string native_path(const char* path);

// Path separator of the platform's paths ('\\' in the program, '/' natively).
char separator();

// Returns `stem + ext` when no such file exists, else the first free `stem_N + ext` (N = 2, 3, ...),
// so that an output never overwrites an existing file. Empty when no free name is found.
std::string unique_name(const std::string& stem, const std::string& ext);
// The same, also passing over every name for which `taken` holds (names given out earlier whose
// files are not there yet).
std::string unique_name(const std::string& stem, const std::string& ext,
                        const std::function<bool(const std::string&)>& taken);

// Folder part of a path up to (not including) the last separator; multibyte-safe for GBK paths,
// whose trail bytes may equal '\\'.
std::string folder_of(const std::string& path);

// The path without a GBK lead byte left alone at its end (half a character, as a damaged settings
// file can hold): appending a separator to it would make that separator the character's second half.
std::string without_broken_last_character(const std::string& path);

}  // namespace fileio
