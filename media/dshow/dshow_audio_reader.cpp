#include "dshow_audio_reader.h"
#include <cmath>
#include <cstring>
#include "media/dshow/dshow_frames.h"
#include "media/dshow/dshow_link.h"

CDShowAudioReader::CDShowAudioReader() : callback_(this) {}

CDShowAudioReader::~CDShowAudioReader() { ReleaseGraph(); }

namespace {
void take_format(const AM_MEDIA_TYPE& type, WAVEFORMATEX* out) {
    const WAVEFORMATEX* w = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    std::memset(out, 0, sizeof *out);
    out->wFormatTag = WAVE_FORMAT_PCM;
    out->nChannels = w->nChannels;
    out->nSamplesPerSec = w->nSamplesPerSec;
    out->nAvgBytesPerSec = w->nAvgBytesPerSec;
    out->nBlockAlign = w->nBlockAlign;
    out->wBitsPerSample = w->wBitsPerSample;
}
}  // namespace

int CDShowAudioReader::ProbeFile(const char* file, WAVEFORMATEX* out_format, double* seconds, LONGLONG* length) {
    if (open.load()) return 0;
    AM_MEDIA_TYPE type;
    const int r = BuildGraph(file, DShowMedia::kSound, L"SampleGrabber1", L"Source1", &callback_, &type);
    if (r != kDShowOk) return r;
    take_format(type, &format);
    FreeConnectedType(&type);
    LONGLONG d = 0;
    seeking->GetDuration(&d);
    SetRate(1.0f);
    seeking->SetTimeFormat(&TIME_FORMAT_FRAME);
    duration = d;
    if (out_format) *out_format = format;
    if (seconds) *seconds = double(d) / double(dshow::kUnitsPerSecond);
    if (length) *length = d;
    ReleaseGraph();
    return kDShowOk;
}

int CDShowAudioReader::OpenFile() {
    AM_MEDIA_TYPE type;
    const int r = BuildGraph(path, DShowMedia::kSound, L"SampleGrabber", L"Source", &callback_, &type);
    if (r != kDShowOk) return r;
    take_format(type, &format);
    FreeConnectedType(&type);
    duration = 0;
    seeking->GetDuration(&duration);
    SetRate(1.0f);
    seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    bytes_delivered = 0;
    return kDShowOk;
}

void CDShowAudioReader::OnBuffer(double time, const BYTE* data, LONG length) {
    if (!dshow_engine_busy()) return;
    previous_position = position.load();
    position = LONGLONG(std::llround(time * double(dshow::kUnitsPerSecond)));
    if (length <= 0 || !data) return;
    bytes_delivered += length;
    const DShowEngineLink* link = dshow_engine_link();
    MediaOutput* out = output;
    if (!out || !out->pcm || !link || !link->pcm_feed) return;
    // Buffers may be larger than the PCM block (a second of 48 kHz stereo is): fed piece by piece.
    size_t remaining = size_t(length);
    const BYTE* p = data;
    while (remaining > 0) {
        const size_t piece = dshow::pcm_piece(remaining, out->pcm_capacity, format.nBlockAlign);
        if (piece == 0) break;
        std::memcpy(out->pcm, p, piece);
        out->pcm_length = piece;
        out->pcm_rate = int(format.nSamplesPerSec);
        out->pcm_channels = format.nChannels;
        link->pcm_feed(out->pcm_block(), rate_ratio);
        p += piece;
        remaining -= piece;
    }
}
