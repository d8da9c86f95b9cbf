#include "wmv_sync_reader.h"
#include <wmsdk.h>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <new>
#include "media/wmv/file_stream.h"

namespace {

// Wine's import libraries do not carry this interface id.
const GUID kIidWmProfile = {0x96406bdb, 0x2b2b, 0x11d3, {0xb3, 0x6b, 0x00, 0xc0, 0x4f, 0x61, 0x08, 0xff}};

std::atomic<WmvDiagnosticSink> g_sink{nullptr};

void print(const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (WmvDiagnosticSink sink = g_sink.load()) {
        sink(line);
    } else {
        fputs(line, stdout);
        fflush(stdout);
    }
}

unsigned hex(HRESULT hr) { return unsigned(hr); }

// A case-insensitive compare of the first four bytes.
bool starts_with_http(const char* path) {
    for (int i = 0; i < 4; ++i) {
        char c = path[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != "http"[i]) return false;
    }
    return true;
}

}  // namespace

WmvDiagnosticSink wmv_set_diagnostic_sink(WmvDiagnosticSink sink) { return g_sink.exchange(sink); }

CWmvSyncReader::CWmvSyncReader() = default;

CWmvSyncReader::~CWmvSyncReader() {
    // The reader may hold a reference to the stream, so both are released, never deleted.
    if (reader) reader->Release();
    ReleaseStream();
}

void CWmvSyncReader::ReleaseStream() {
    if (stream) stream->Release();
    stream = nullptr;
}

HRESULT CWmvSyncReader::SetReadRange(DWORD start_value, DWORD end_value, int compressed_samples, int audio,
                                     int video, int frames) {
    if (end_value != 0 && start_value >= end_value) return E_INVALIDARG;
    start = start_value;
    end = end_value;
    compressed = compressed_samples;
    audio_on = audio;
    video_on = video;
    by_frame = frames;
    return S_OK;
}

HRESULT CWmvSyncReader::Open(const char* path) {
    if (!path || !path[0]) return E_INVALIDARG;
    if (starts_with_http(path)) {
        print("Wrong input file - streams are not supported : (hr=0x%08x).\n", hex(E_INVALIDARG));
        return E_INVALIDARG;
    }
    HRESULT hr;
    if (!reader) {
        hr = WMCreateSyncReader(nullptr, 0, &reader);
        if (FAILED(hr)) {
            reader = nullptr;
            print("Could not create reader (hr=0x%08x).\n", hex(hr));
            return hr;
        }
    }
    if (stream) {
        reader->Close();
        ReleaseStream();
    }
    stream = new (std::nothrow) CFileStream();
    if (!stream) {
        print("Could not open file (hr=0x%08x).\n", hex(E_OUTOFMEMORY));
        return E_OUTOFMEMORY;
    }
    hr = stream->Open(path);
    if (SUCCEEDED(hr)) hr = reader->OpenStream(stream);
    if (FAILED(hr)) {
        ReleaseStream();
        print("Could not open file (hr=0x%08x).\n", hex(hr));
        return hr;
    }
    IWMProfile* profile = nullptr;
    hr = reader->QueryInterface(kIidWmProfile, reinterpret_cast<void**>(&profile));
    if (FAILED(hr)) {
        print("Could not QI for IWMProfile (hr=0x%08x).\n", hex(hr));
        return hr;
    }
    hr = GetStreamNumbers(profile);
    profile->Release();
    if (FAILED(hr)) {
        print("Could not stream numbers (hr=0x%08x).\n", hex(hr));
        return hr;
    }
    return S_OK;
}

HRESULT CWmvSyncReader::GetStreamNumbers(IWMProfile* profile) {
    if (!profile) return E_INVALIDARG;
    audio_stream = video_stream = 0;
    DWORD count = 0;
    HRESULT hr = profile->GetStreamCount(&count);
    if (FAILED(hr)) {
        print("GetStreamCount on IWMProfile failed (hr=0x%08x).\n", hex(hr));
        return hr;
    }
    for (DWORD i = 0; i < count; ++i) {
        IWMStreamConfig* config = nullptr;
        hr = profile->GetStream(i, &config);
        if (FAILED(hr)) {
            print("Could not get Stream %d of %d from IWMProfile (hr=0x%08x).\n", int(i), int(count), hex(hr));
            return hr;
        }
        WORD number = 0;
        hr = config->GetStreamNumber(&number);
        if (FAILED(hr)) {
            config->Release();
            print("Could not get stream number from IWMStreamConfig %d of %d (hr=0x%08x).\n", int(i), int(count),
                  hex(hr));
            return hr;
        }
        GUID type;
        hr = config->GetStreamType(&type);
        config->Release();
        if (FAILED(hr)) {
            print("Could not get stream type of stream %d of %d from IWMStreamConfig (hr=0x%08x).\n", int(i),
                  int(count), hex(hr));
            return hr;
        }
        if (IsEqualGUID(type, WMMEDIATYPE_Audio)) audio_stream = number;
        if (IsEqualGUID(type, WMMEDIATYPE_Video)) video_stream = number;
    }
    return S_OK;
}

HRESULT CWmvSyncReader::ReadSamples() {
    if (!reader || !stream) return E_UNEXPECTED;
    HRESULT hr;
    const struct {
        WORD number;
        int on;
    } streams[2] = {{audio_stream, audio_on}, {video_stream, video_on}};
    for (const auto& s : streams) {
        if (!s.number) continue;
        WORD number = s.number;
        WMT_STREAM_SELECTION selection = s.on ? WMT_ON : WMT_OFF;
        hr = reader->SetStreamsSelected(1, &number, &selection);
        if (FAILED(hr)) {
            print("SetStreamsSelected (hr=0x%08x).\n", hex(hr));
            return hr;
        }
        hr = reader->SetReadStreamSamples(number, compressed ? TRUE : FALSE);
        if (FAILED(hr)) {
            print("SetReadStreamSamples (hr=0x%08x).\n", hex(hr));
            return hr;
        }
    }

    // A frame range the reader cannot set itself (Wine's SetRangeByFrame is not implemented) is read
    // from the start, counting only the frames of the range; the whole file needs no range at all.
    uint64_t count_from = 0, count_to = UINT64_MAX;
    if (video_stream && by_frame) {
        if (start != 0 || end != 0) {
            hr = reader->SetRangeByFrame(video_stream, start, end ? end - start : 0);
            if (hr == E_NOTIMPL) {
                count_from = start;
                if (end) count_to = end;
            } else if (FAILED(hr)) {
                print("SetRangeByFrame (hr=0x%08x).\n", hex(hr));
                return hr;
            }
        }
    } else {
        hr = reader->SetRange(start * 10000, end ? (end - start) * 10000 : 0);
        if (FAILED(hr)) {
            print("SetRange (hr=0x%08x).\n", hex(hr));
            return hr;
        }
    }

    sample_count = 0;
    int video_count = 0, audio_count = 0;
    uint64_t frame = 0;
    QWORD last_time = 0;
    bool first = true;
    print("\nGetting samples ...\n");
    for (;;) {
        INSSBuffer* sample = nullptr;
        QWORD time = 0, duration = 0;
        DWORD flags = 0, output = 0;
        WORD number = 0;
        hr = reader->GetNextSample(0, &sample, &time, &duration, &flags, &output, &number);
        if (FAILED(hr)) break;
        if (first) {
            print("\nFirst sample time : %lu ms\n", (unsigned long)(time / 10000));
            first = false;
        }
        last_time = time;
        if (number == video_stream && video_stream) {
            if (frame >= count_from && frame < count_to && ++video_count % 4 == 0) print("v");
            ++frame;
        } else if (number == audio_stream && audio_stream) {
            if (++audio_count % 4 == 0) print("a");
        }
        sample->Release();
    }
    sample_count = video_count;
    if (hr != NS_E_NO_MORE_SAMPLES) {
        print("GetNextSample() failed : (hr=0x%08x).\n", hex(hr));
        return hr;
    }
    print("\nLast sample reached.\n");
    print("\nLast sample time : %lu ms\n", (unsigned long)(last_time / 10000));
    return S_OK;
}

HRESULT CWmvSyncReader::Close() {
    if (!reader) return S_OK;
    const HRESULT hr = reader->Close();
    if (FAILED(hr)) return hr;
    reader->Release();
    reader = nullptr;
    ReleaseStream();
    return S_OK;
}
