// Counts the video samples of a WMA, WMV or ASF file with the Windows Media sync reader, fed from a
// local file through CFileStream. Runs on the caller's thread; COM must be initialised there.
//
// Every failure is returned as an HRESULT and also written as one diagnostic line (to standard output
// unless a sink is installed); no message box is shown here.
//
// <wmsdk.h> defines its GUIDs in every translation unit that includes it, so only the reader's own
// source includes it; this header names the interfaces alone.
#pragma once
#include <windows.h>
#include <cstdint>

class CFileStream;
struct IWMSyncReader;
struct IWMProfile;

class CWmvSyncReader {
public:
    CWmvSyncReader();
    virtual ~CWmvSyncReader();
    CWmvSyncReader(const CWmvSyncReader&) = delete;
    CWmvSyncReader& operator=(const CWmvSyncReader&) = delete;

    // The range (milliseconds, or frame numbers with by_frame; end 0 = to the end), compressed
    // samples, and which streams are read. E_INVALIDARG (nothing changed) when end is not 0 and
    // start >= end, else S_OK.
    HRESULT SetReadRange(DWORD start, DWORD end, int compressed, int audio_on, int video_on, int by_frame);
    // E_INVALIDARG for a null or empty path and for "http..." (streams are not read), before any file
    // is touched. A second Open closes the first file.
    HRESULT Open(const char* path);
    HRESULT GetStreamNumbers(IWMProfile* profile);
    // Reads every sample of the range; sample_count gets the video samples. S_OK at the end of the
    // samples.
    HRESULT ReadSamples();
    // Closes the file; a failure is returned and the reader kept.
    HRESULT Close();

    IWMSyncReader* reader = nullptr;
    WORD audio_stream = 0, video_stream = 0;  // 0 = none
    uint64_t start = 0, end = 0;
    int compressed = 0;
    int audio_on = 1, video_on = 1;
    int by_frame = 0;
    CFileStream* stream = nullptr;
    int sample_count = 0;

private:
    void ReleaseStream();
};

// Where the diagnostic lines go: null restores standard output. Returns the previous sink.
using WmvDiagnosticSink = void (*)(const char* line);
WmvDiagnosticSink wmv_set_diagnostic_sink(WmvDiagnosticSink sink);
