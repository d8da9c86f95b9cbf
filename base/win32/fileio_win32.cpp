// Win32 implementation for the program: Windows paths in the ANSI code page.
#include "base/fileio.h"
#include <windows.h>

namespace fileio {

namespace {
HANDLE as_handle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}

bool File::open(const char* path, Mode mode) {
    close();
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
    switch (mode) {
    case Mode::Read: break;
    case Mode::ReadWrite: access |= GENERIC_WRITE; break;
    case Mode::CreateNew: access |= GENERIC_WRITE; disposition = CREATE_NEW; break;
    case Mode::CreateAlways: access |= GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
    }
    HANDLE h = ::CreateFileA(path, access, FILE_SHARE_READ | (mode == Mode::Read ? FILE_SHARE_WRITE : 0), nullptr,
                             disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

void File::close() {
    if (is_open()) ::CloseHandle(as_handle(handle_));
    handle_ = kClosed;
}

int64_t File::read(void* buffer, int64_t count) {
    if (!is_open() || count < 0) return -1;
    int64_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(count - done > (1 << 30) ? (1 << 30) : count - done), got = 0;
        if (!::ReadFile(as_handle(handle_), static_cast<char*>(buffer) + done, chunk, &got, nullptr))
            return done ? done : -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

int64_t File::write(const void* buffer, int64_t count) {
    if (!is_open() || count < 0) return -1;
    int64_t done = 0;
    while (done < count) {
        DWORD chunk = static_cast<DWORD>(count - done > (1 << 30) ? (1 << 30) : count - done), put = 0;
        if (!::WriteFile(as_handle(handle_), static_cast<const char*>(buffer) + done, chunk, &put, nullptr) || put == 0)
            break;
        done += put;
    }
    return done;
}

bool File::seek(int64_t position) {
    LARGE_INTEGER to;
    to.QuadPart = position;
    return is_open() && position >= 0 && ::SetFilePointerEx(as_handle(handle_), to, nullptr, FILE_BEGIN);
}

int64_t File::tell() const {
    LARGE_INTEGER zero, at;
    zero.QuadPart = 0;
    if (!is_open() || !::SetFilePointerEx(as_handle(handle_), zero, &at, FILE_CURRENT)) return -1;
    return at.QuadPart;
}

int64_t File::size() const {
    LARGE_INTEGER s;
    if (!is_open() || !::GetFileSizeEx(as_handle(handle_), &s)) return -1;
    return s.QuadPart;
}

bool File::set_size(int64_t size) {
    // SetEndOfFile cuts at the file pointer, so move it there and back.
    const int64_t position = tell();
    if (position < 0 || size < 0 || !seek(size)) return false;
    const bool ok = ::SetEndOfFile(as_handle(handle_)) != FALSE;
    return seek(position) && ok;
}

bool exists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool remove(const char* path) { return ::DeleteFileA(path) != FALSE; }

bool replace(const char* from, const char* to) {
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool make_dir(const char* path) {
    if (::CreateDirectoryA(path, nullptr)) return true;
    DWORD attr = ::GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::string native_path(const char* path) {
    // Through the wide form: the ANSI path is GBK, the Unix name comes back in the locale's UTF-8.
    int n = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return std::string();
    WCHAR* wide = static_cast<WCHAR*>(::HeapAlloc(::GetProcessHeap(), 0, n * sizeof(WCHAR)));
    if (!wide) return std::string();
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, n);
    char* unix_name = ::wine_get_unix_file_name(wide);
    ::HeapFree(::GetProcessHeap(), 0, wide);
    std::string out = unix_name ? unix_name : "";
    if (unix_name) ::HeapFree(::GetProcessHeap(), 0, unix_name);
    return out;
}

char separator() { return '\\'; }

}  // namespace fileio
