// POSIX implementation for the native build.
#include "fileio.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace fileio {

bool File::open(const char* path, Mode mode) {
    close();
    int flags = 0;
    switch (mode) {
    case Mode::Read: flags = O_RDONLY; break;
    case Mode::ReadWrite: flags = O_RDWR; break;
    case Mode::CreateNew: flags = O_RDWR | O_CREAT | O_EXCL; break;
    case Mode::CreateAlways: flags = O_RDWR | O_CREAT | O_TRUNC; break;
    }
    int fd = ::open(path, flags | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    handle_ = fd;
    return true;
}

void File::close() {
    if (is_open()) ::close(static_cast<int>(handle_));
    handle_ = kClosed;
}

int64_t File::read(void* buffer, int64_t count) {
    if (!is_open() || count < 0) return -1;
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return done ? done : -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t File::write(const void* buffer, int64_t count) {
    if (!is_open() || count < 0) return -1;
    int64_t done = 0;
    while (done < count) {
        ssize_t n = ::write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

bool File::seek(int64_t position) {
    return is_open() && position >= 0 && ::lseek(static_cast<int>(handle_), position, SEEK_SET) == position;
}

int64_t File::tell() const { return is_open() ? ::lseek(static_cast<int>(handle_), 0, SEEK_CUR) : -1; }

int64_t File::size() const {
    struct stat st;
    if (!is_open() || ::fstat(static_cast<int>(handle_), &st) != 0) return -1;
    return st.st_size;
}

bool File::set_size(int64_t size) {
    return is_open() && size >= 0 && ::ftruncate(static_cast<int>(handle_), size) == 0;
}

bool exists(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0;
}

bool remove(const char* path) { return ::unlink(path) == 0; }

bool replace(const char* from, const char* to) { return ::rename(from, to) == 0; }

bool make_dir(const char* path) {
    struct stat st;
    return ::mkdir(path, 0755) == 0 || (::stat(path, &st) == 0 && S_ISDIR(st.st_mode));
}

std::string native_path(const char* path) { return path ? path : ""; }

char separator() { return '/'; }

}  // namespace fileio
