// The Sample Grabber's callback object of a reader: hands each buffer (time, data, length) to the
// reader's OnBuffer on DirectShow's streaming thread. The reader owns it, so there is no reference
// counting (AddRef gives 2, Release 1).
#pragma once
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

template <class Reader>
class CGrabberCB : public ISampleGrabberCB {
public:
    explicit CGrabberCB(Reader* reader) : reader_(reader) {}
    virtual ~CGrabberCB() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_ISampleGrabberCB) || IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<ISampleGrabberCB*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BufferCB(double time, BYTE* data, LONG length) override {
        reader_->EnterCallback();
        reader_->OnBuffer(time, data, length);
        reader_->LeaveCallback();
        return S_OK;
    }

private:
    Reader* reader_;
};
