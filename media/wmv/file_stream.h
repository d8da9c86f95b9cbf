// An IStream over a local file, read only, for the Windows Media reader. Positions and the size are
// 64-bit, so files past 4 GiB are read right.
#pragma once
#include <windows.h>
#include <objidl.h>

class CFileStream : public IStream {
public:
    CFileStream() = default;
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Opens an existing disk file for reading (others may read it too). E_FAIL for anything that is
    // not a disk file (a device such as NUL), else the Win32 error as an HRESULT.
    HRESULT Open(const char* path);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

    // IUnknown: IID_IStream and IID_IUnknown only; the object deletes itself at its last Release.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;

    // IStream: Seek (origins 0 set, 1 current, 2 end) and Stat (STATFLAG_NONAME only); the rest is
    // E_NOTIMPL.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

private:
    virtual ~CFileStream();
    HANDLE file_ = INVALID_HANDLE_VALUE;
    LONG references_ = 1;
};
