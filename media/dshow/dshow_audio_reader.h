// Sound through DirectShow: probes a file's sound format and duration, or plays the file's sound
// into the audio path. Each delivered buffer goes to the engine's PCM feed in pieces that fit the
// PCM block of `output` (whole sample frames, never past its capacity).
#pragma once
#include "media/dshow/dshow_graph.h"
#include "media/dshow/dshow_grabber_cb.h"
#include "base/media_output.h"

class CDShowAudioReader;
using CAudioGrabberCB = CGrabberCB<CDShowAudioReader>;

class CDShowAudioReader : public CDShowReader {
public:
    CDShowAudioReader();
    ~CDShowAudioReader() override;

    // The file's sound as 16-bit PCM: format (tag 1 with the connected channels, rate, byte rate, block
    // align and bits), seconds and 100-ns duration. 0, or -1..-4 (DShowResult); a reader already open
    // returns 0 and changes nothing. The graph is torn down again.
    int ProbeFile(const char* file, WAVEFORMATEX* format, double* seconds, LONGLONG* length);
    // Builds the graph for `path` and keeps it: 0 or -1..-4.
    int OpenFile();

    // Where the sound goes: the PCM block the engine's feed reads (output->pcm, pcm_capacity).
    MediaOutput* output = nullptr;
    double rate_ratio = 1.0;  // handed to the feed with every piece
    WAVEFORMATEX format = {};
    std::atomic<int64_t> bytes_delivered{0};

    void OnBuffer(double time, const BYTE* data, LONG length);

private:
    CAudioGrabberCB callback_;
};
