#include "file_stream.h"
#include <cstring>

namespace {
HRESULT last_error() {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}
}  // namespace

CFileStream::~CFileStream() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

HRESULT CFileStream::Open(const char* path) {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return last_error();
    if (GetFileType(file_) != FILE_TYPE_DISK) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CFileStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IStream) || IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CFileStream::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

ULONG CFileStream::Release() {
    const LONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return ULONG(count);
}

HRESULT CFileStream::Read(void* buffer, ULONG count, ULONG* read) {
    DWORD done = 0;
    const BOOL ok = ReadFile(file_, buffer, count, &done, nullptr);
    if (read) *read = done;
    return ok ? S_OK : last_error();
}

HRESULT CFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    static const DWORD kMethods[3] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin > 2) return E_INVALIDARG;
    LARGE_INTEGER reached;
    if (!SetFilePointerEx(file_, move, &reached, kMethods[origin])) return last_error();
    if (position) position->QuadPart = ULONGLONG(reached.QuadPart);
    return S_OK;
}

HRESULT CFileStream::Stat(STATSTG* stat, DWORD flags) {
    if (!stat || flags != STATFLAG_NONAME) return E_INVALIDARG;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size)) return last_error();
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = ULONGLONG(size.QuadPart);
    return S_OK;
}

HRESULT CFileStream::Write(const void*, ULONG, ULONG*) { return E_NOTIMPL; }
HRESULT CFileStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }
HRESULT CFileStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT CFileStream::Commit(DWORD) { return E_NOTIMPL; }
HRESULT CFileStream::Revert() { return E_NOTIMPL; }
HRESULT CFileStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT CFileStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT CFileStream::Clone(IStream**) { return E_NOTIMPL; }
