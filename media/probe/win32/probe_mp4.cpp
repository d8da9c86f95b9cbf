// MP4, 3GP and ISO F4V files through tolmmp4decode (and tolmaac_decode for the AAC output format).
#include <vector>
#include "media/probe/probe_index.h"
#include "media/probe/probe_paths.h"
#include "media/probe/probe_texts.h"
#include "media/probe/win32/probe_libraries.h"
#include "media/probe/win32/probe_win32_paths.h"

bool aac_output_format(const unsigned char* config, int length, int rate_hint, int* rate, int* channels) {
    if (!PROBE_LIBRARY(tolmaac_decode)) return false;
    int r = 0, c = 0;
    if (probe_lib::aacdecodebuf_init(config, length, 1000, rate_hint, &r, &c) < 0) return false;
    probe_lib::aacdecodebuf_close();
    *rate = r;
    *channels = c;
    return true;
}

namespace {

void read_tracks(Mp4Answers& a) {
    char handler[8] = {}, codec[8] = {};
    int value = 0;
    a.track0_samples = probe_lib::mp4_gettrackinfo(0, handler, codec, &value);
    const int tracks = probe_lib::mp4_gettracknum();
    for (int i = 0; i < tracks; ++i) {
        handler[0] = codec[0] = 0;
        value = 0;
        probe_lib::mp4_gettrackinfo(i, handler, codec, &value);
        handler[sizeof handler - 1] = codec[sizeof codec - 1] = 0;
        mp4_track(handler, codec, value, a);
    }
}

void read_video(Mp4Answers& a) {
    a.video = probe_lib::mp4_getvideonum(&a.samples, &a.start);
    if (a.video <= 0) return;
    int other = 0;
    std::vector<unsigned char> config(1024);
    probe_lib::mp4_getvideo(&a.width, &a.height, &a.fps, &a.video_value, &a.video_ms, &other, config.data());
}

void read_sound(Mp4Answers& a) {
    if (a.audio_type <= 0) return;
    probe_lib::mp4_getaudio(&a.sample_rate, &a.channels, &a.audio_value, &a.audio_ms);
    unsigned char config[1024];
    const int length = probe_lib::mp4_getmp4aconfig(config, sizeof config);
    if (length > 0 && length <= int(sizeof config))
        aac_output_format(config, length, a.sample_rate, &a.sample_rate, &a.channels);
}

IndexFile sample_index(const Mp4Answers& a) {
    IndexFile index;
    index.codec = a.video;
    index.width = a.width;
    index.height = a.height;
    index.frame_rate = a.fps;
    std::vector<unsigned char> buffer(size_t(mp4_sample_buffer_bytes(a)));
    index.segments.reserve(size_t(a.samples > 0 ? a.samples : 0));
    for (int i = 0; i < a.samples; ++i) {
        int time = 0, size = 0;
        unsigned char key = 0;
        const int value = probe_lib::mp4_readvideo(buffer.data(), i, &time, &size, &key);
        Segment segment;
        segment.entry = mp4_index_entry(i, value, time, size, key);
        index.segments.push_back(std::move(segment));
    }
    return index;
}

}  // namespace

int probe_mp4(ProbeJob& job) {
    if (!PROBE_LIBRARY(tolmmp4decode)) return -2;
    if (probe_lib::mp4de_init(job.path) < 0)
        return probe_refuse(job, probe_text::kMp4Open, probe_text::kCaptionFlv, -1);
    Mp4Answers a;
    read_tracks(a);
    read_video(a);
    read_sound(a);
    if (int refused = check_mp4(job, a)) {
        probe_lib::mp4de_close();
        return refused;
    }
    fill_mp4(job, a);
    probe_write_index(job, MediaBranch::Mp4, sample_index(a));
    probe_lib::mp4de_close();
    return 0;
}
