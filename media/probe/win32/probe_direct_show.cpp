// The DirectShow family (Windows Media, RealMedia, QuickTime) through the DirectShow readers, with the
// Windows Media reader counting a Windows Media file's video samples; and sound that only DirectShow
// identifies.
#include <cstdlib>
#include "base/message_seam.h"
#include "media/dshow/dshow_audio_reader.h"
#include "media/dshow/dshow_thread_init.h"
#include "media/dshow/dshow_video_reader.h"
#include "media/probe/probe_paths.h"
#include "media/probe/probe_texts.h"
#include "media/probe/win32/probe_win32_paths.h"
#include "media/wmv/wmv_sync_reader.h"

namespace {

// COM and OLE for the readers, for as long as the probe uses them.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(dshow_thread_init())) {}
    ~ComScope() {
        if (ok_) dshow_thread_done();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ok_;
};

DirectShowVideo probe_video(const char* path) {
    DirectShowVideo v;
    CDShowVideoReader reader;
    BITMAPINFOHEADER header = {};
    LONGLONG length = 0;
    DWORD bit_rate = 0;
    v.result = reader.ProbeFile(path, &header, &v.seconds, &length, &bit_rate, &v.frame_rate);
    if (v.result >= 0) {
        v.width = header.biWidth;
        v.height = std::abs(header.biHeight);
        v.bit_rate = bit_rate;
        v.frame_count = reader.frame_count;
    }
    return v;
}

// Compressed video samples over the whole file, counted by frames.
void count_samples(const char* path, DirectShowVideo& v) {
    CWmvSyncReader reader;
    reader.SetReadRange(0, 0, 1, 0, 1, 1);
    if (FAILED(reader.Open(path))) {
        seam::report("", "", seam::kOk);
        return;
    }
    if (SUCCEEDED(reader.ReadSamples())) {
        v.counted = true;
        v.samples = reader.sample_count;
    }
    reader.Close();
}

DirectShowSound probe_sound(const char* path) {
    DirectShowSound s;
    CDShowAudioReader reader;
    WAVEFORMATEX format = {};
    LONGLONG length = 0;
    s.result = reader.ProbeFile(path, &format, &s.seconds, &length);
    if (s.result == 0) {
        s.sample_rate = int(format.nSamplesPerSec);
        s.channels = format.nChannels;
    }
    return s;
}

}  // namespace

int probe_direct_show(ProbeJob& job, DirectShowKind kind) {
    if (job.record.file_size < 100) return probe_refuse(job, probe_text::kOpenFailed, probe_text::kCaptionMp4, -1);
    const int base = direct_show_kind_base(kind);
    ComScope com;
    DirectShowVideo video = probe_video(job.path);
    if (video.result >= 0 && kind == DirectShowKind::WindowsMedia) count_samples(job.path, video);
    if (int refused = finish_direct_show_video(job, base, direct_show_type_name(kind), video)) return refused;
    finish_direct_show_sound(job, base, video, probe_sound(job.path));
    return 0;
}

int probe_sound_only(ProbeJob& job) {
    ComScope com;
    const DirectShowSound sound = probe_sound(job.path);
    if (sound.result != 0) return probe_refuse(job, probe_text::kUnknownType, probe_text::kCaptionMp4, -2);
    MediaFileRecord& r = job.record;
    r.sample_rate = sound.sample_rate;
    r.channels = sound.channels;
    r.duration_s = whole_part(sound.seconds);
    set_type_name(r, "其他");
    set_file_kind(r, 8000);
    return 0;
}
