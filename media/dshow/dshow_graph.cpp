#include "dshow_graph.h"
#include <cstring>
#include "media/dshow/dshow_frames.h"
#include "media/dshow/dshow_grabber_cb.h"
#include "media/dshow/dshow_link.h"

namespace {

const DShowEngineLink* g_link = nullptr;
std::atomic<int> g_abandoned{0};

template <class T>
void release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// Pins of a filter in one direction, in the filter's order (at most 8).
int list_pins(IBaseFilter* filter, PIN_DIRECTION direction, IPin* pins[8]) {
    int n = 0;
    IEnumPins* e = nullptr;
    if (FAILED(filter->EnumPins(&e)) || !e) return 0;
    IPin* pin = nullptr;
    while (n < 8 && e->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction)
            pins[n++] = pin;
        else
            pin->Release();
    }
    e->Release();
    return n;
}

// Connects the first pair of an output pin of `from` and an input pin of `to` that the graph accepts
// (inserting the splitter and decoders it needs).
HRESULT connect_filters(IGraphBuilder* graph, IBaseFilter* from, IBaseFilter* to) {
    IPin* outs[8];
    IPin* ins[8];
    const int n_out = list_pins(from, PINDIR_OUTPUT, outs);
    const int n_in = list_pins(to, PINDIR_INPUT, ins);
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    for (int o = 0; o < n_out && FAILED(hr); ++o)
        for (int i = 0; i < n_in && FAILED(hr); ++i) hr = graph->Connect(outs[o], ins[i]);
    for (int o = 0; o < n_out; ++o) outs[o]->Release();
    for (int i = 0; i < n_in; ++i) ins[i]->Release();
    return hr;
}

// The grabber's media type: 16-bit PCM sound or RGB24 pictures.
void grabber_type(DShowMedia media, AM_MEDIA_TYPE* type) {
    std::memset(type, 0, sizeof *type);
    if (media == DShowMedia::kSound) {
        type->majortype = MEDIATYPE_Audio;
        type->subtype = MEDIASUBTYPE_PCM;
        type->formattype = FORMAT_WaveFormatEx;
        type->bFixedSizeSamples = TRUE;
        type->lSampleSize = 1;
    } else {
        type->majortype = MEDIATYPE_Video;
        type->subtype = MEDIASUBTYPE_RGB24;
        type->formattype = FORMAT_VideoInfo;
    }
}

bool format_matches(DShowMedia media, const AM_MEDIA_TYPE& type) {
    if (media == DShowMedia::kSound)
        return IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) && type.pbFormat &&
               type.cbFormat >= sizeof(WAVEFORMATEX) - sizeof(WORD);
    return IsEqualGUID(type.formattype, FORMAT_VideoInfo) && IsEqualGUID(type.subtype, MEDIASUBTYPE_RGB24) &&
           type.pbFormat && type.cbFormat >= sizeof(VIDEOINFOHEADER);
}

// A running graph handed to a thread of its own to be stopped and released. Both that thread and the
// reader waiting for it hold it; the last one to let go frees it.
struct GraphStop {
    IUnknown* parts[9] = {};  // released in this order once the graph has stopped
    IMediaControl* control = nullptr;
    HANDLE done = nullptr;
    LONG holders = 2;
};

void let_go(GraphStop* stop) {
    if (InterlockedDecrement(&stop->holders) != 0) return;
    CloseHandle(stop->done);
    delete stop;
}

DWORD WINAPI stop_graph(LPVOID param) {
    GraphStop* stop = static_cast<GraphStop*>(param);
    stop->control->Stop();
    for (IUnknown* part : stop->parts)
        if (part) part->Release();
    SetEvent(stop->done);
    let_go(stop);
    return 0;
}

}  // namespace

int CDShowReader::Abandoned() { return g_abandoned.load(); }

const DShowEngineLink* dshow_set_engine_link(const DShowEngineLink* link) {
    const DShowEngineLink* previous = g_link;
    g_link = link;
    return previous;
}

const DShowEngineLink* dshow_engine_link() { return g_link; }

bool dshow_engine_busy() {
    const DShowEngineLink* link = g_link;
    return !link || !link->busy || link->busy->load(std::memory_order_relaxed) != 0;
}

// Each reader stops its graph in its own destructor, while its callback still exists.
CDShowReader::~CDShowReader() = default;

void CDShowReader::FreeConnectedType(AM_MEDIA_TYPE* type) {
    if (type->cbFormat && type->pbFormat) CoTaskMemFree(type->pbFormat);
    if (type->pUnk) type->pUnk->Release();
    std::memset(type, 0, sizeof *type);
}

int CDShowReader::BuildGraph(const char* path_text, DShowMedia media, const wchar_t* grabber_name,
                             const wchar_t* source_name, ISampleGrabberCB* callback, AM_MEDIA_TYPE* connected) {
    ReleaseGraph();
    std::memset(connected, 0, sizeof *connected);
    // 1-3: the graph and the grabber with the media type it takes.
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))) ||
        FAILED(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&grabber_filter))) ||
        FAILED(grabber_filter->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&grabber))) ||
        FAILED(graph->AddFilter(grabber_filter, grabber_name))) {
        ReleaseGraph();
        return kDShowNoGraph;
    }
    AM_MEDIA_TYPE type;
    grabber_type(media, &type);
    grabber->SetMediaType(&type);

    // 4: the source filter for the file (the path as UTF-16 from the ANSI code page, 260 at most).
    WCHAR wide[261];
    if (!path_text || !path_text[0] || !MultiByteToWideChar(CP_ACP, 0, path_text, -1, wide, 261) ||
        FAILED(graph->AddSourceFilter(wide, source_name, &source))) {
        ReleaseGraph();
        return kDShowNoSource;
    }
    // 5: the source's output to the grabber, through whatever splitter and decoder the graph finds.
    if (FAILED(connect_filters(graph, source, grabber_filter))) {
        ReleaseGraph();
        return kDShowNoConnection;
    }
    // 6: the Null Renderer behind the grabber (a graph without it still runs, so its result is not
    // tested).
    if (SUCCEEDED(CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   reinterpret_cast<void**>(&null_renderer))) &&
        SUCCEEDED(graph->AddFilter(null_renderer, L"NullRenderer")))
        connect_filters(graph, grabber_filter, null_renderer);
    // 7-8: the buffer callback and the control interfaces.
    grabber->SetCallback(callback, 1);
    grabber->SetBufferSamples(TRUE);
    graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&media_filter));
    graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
    graph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events));
    graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
    // 9: the format the grabber was connected with.
    if (!control || !seeking || FAILED(grabber->GetConnectedMediaType(connected)) || !format_matches(media, *connected)) {
        FreeConnectedType(connected);
        ReleaseGraph();
        return kDShowWrongFormat;
    }
    return kDShowOk;
}

void CDShowReader::ReleaseGraph() {
    if (control && open.load()) {
        OnStop();
        StopRunningGraph();
    } else if (control) {
        OnStop();
        control->Stop();
    }
    if (grabber) grabber->SetCallback(nullptr, 1);
    release(seeking);
    release(events);
    release(control);
    release(media_filter);
    release(null_renderer);
    release(source);
    release(grabber);
    release(grabber_filter);
    release(graph);
    open = 0;
    paused = 0;
    held = 0;
}

void CDShowReader::StopRunningGraph() {
    // No callback starts from here on; one in flight was let go by OnStop.
    if (grabber) grabber->SetCallback(nullptr, 1);
    GraphStop* stop = new GraphStop;
    stop->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    stop->control = control;
    IUnknown* parts[] = {seeking, events, control, media_filter, null_renderer, source, grabber, grabber_filter, graph};
    std::memcpy(stop->parts, parts, sizeof parts);
    seeking = nullptr, events = nullptr, control = nullptr, media_filter = nullptr, null_renderer = nullptr;
    source = nullptr, grabber = nullptr, grabber_filter = nullptr, graph = nullptr;
    HANDLE thread = stop->done ? CreateThread(nullptr, 0, stop_graph, stop, 0, nullptr) : nullptr;
    if (!thread) {
        // No thread: stopped here, as before.
        stop->holders = 1;
        stop_graph(stop);
        return;
    }
    CloseHandle(thread);
    if (WaitForSingleObject(stop->done, kStopWaitMs) != WAIT_OBJECT_0) ++g_abandoned;
    let_go(stop);
    while (in_callback_.load() > 0) Sleep(1);
}

bool CDShowReader::Stalled(DWORD limit_ms) const {
    if (!open.load() || paused.load() || held.load() || in_callback_.load() > 0) return false;
    return GetTickCount() - last_activity_.load() >= limit_ms;
}

int CDShowReader::Run() {
    if (!control) return -1;
    position = 0;
    previous_position = 0;
    open = 1;
    paused = 0;
    held = 0;
    if (!use_clock && media_filter) media_filter->SetSyncSource(nullptr);
    OnRun();
    last_activity_ = GetTickCount();
    control->Run();
    return 0;
}

void CDShowReader::Stop() { ReleaseGraph(); }

void CDShowReader::ApplyPause() {
    if (!open.load() || !control) return;
    if (paused.load() || held.load()) {
        control->Pause();
    } else {
        // The quiet time of a hold is not the graph's.
        last_activity_ = GetTickCount();
        control->Run();
    }
}

void CDShowReader::Pause() {
    if (open.load() && !held.exchange(1)) ApplyPause();
}

void CDShowReader::Resume() {
    if (open.load() && held.exchange(0)) ApplyPause();
}

void CDShowReader::TogglePause() {
    if (!open.load()) return;
    paused = paused.load() ? 0 : 1;
    ApplyPause();
}

void CDShowReader::SetRate(float new_rate) {
    if (!seeking) return;
    if (SUCCEEDED(seeking->SetRate(double(new_rate)))) {
        rate = new_rate;
    } else {
        seeking->SetRate(1.0);
        rate = 1.0;
    }
}

namespace {
// A reader that only builds a sound graph, to learn whether a file has sound.
class CSoundProbe : public CDShowReader {
public:
    CSoundProbe() : callback_(this) {}
    ~CSoundProbe() override { ReleaseGraph(); }
    bool Has(const char* file) {
        AM_MEDIA_TYPE type;
        const int r = BuildGraph(file, DShowMedia::kSound, L"SampleGrabber1", L"Source1", &callback_, &type);
        if (r == kDShowOk) FreeConnectedType(&type);
        ReleaseGraph();
        return r == kDShowOk;
    }
    void OnBuffer(double, const BYTE*, LONG) {}

private:
    CGrabberCB<CSoundProbe> callback_;
};
}  // namespace

bool dshow_file_has_sound(const char* file) {
    CSoundProbe probe;
    return probe.Has(file);
}

bool dshow_file_stalls_when_run(const char* path) {
    if (!path || !path[0]) return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    // The properties header comes right after the 18-byte file header, sometimes after a content one.
    uint8_t head[4096];
    DWORD got = 0;
    const BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    return read && dshow::realmedia_without_index(head, got);
}
