#include "media/probe/probe_paths.h"
#include <algorithm>
#include <cstring>
#include "media/probe/probe_index.h"
#include "media/probe/probe_texts.h"

using namespace probe_text;

namespace {

int64_t area(int width, int height) { return int64_t(width) * int64_t(height); }

double double_at(const int32_t* ints) {
    double d;
    std::memcpy(&d, ints, sizeof d);
    return d;
}

void clear_picture_and_sound(MediaFileRecord& r) {
    r.frame_rate = 0;
    r.sample_rate = 0;
    r.width = 0;
    r.height = 0;
    r.duration_s = 0;
    r.video_param_a = 0;
    r.video_index_count = 0;
    r.channels = 0;
}

}  // namespace

int finish_mtv(ProbeJob& job, bool amv, const MtvAnswers& a) {
    if (a.init < 0) return probe_refuse(job, kNoCodecInfo, kCaptionMp4, -1);
    const bool accepted = area(a.width, a.height) > 10 && a.frames > 1 && (amv || a.audio_value > 10);
    if (!accepted) return probe_refuse(job, kAnalysisFailed, kCaptionMp4, -2);
    MediaFileRecord& r = job.record;
    set_record_path(r, job.path);
    r.sample_rate = a.sample_rate;
    r.width = a.width;
    r.height = a.height;
    r.frame_rate = a.fps;
    r.channels = a.channels;
    set_file_kind(r, amv ? file_kind::kAmv : file_kind::kMtv);
    r.rate_sum = a.video_value + a.audio_value;
    r.frame_count = a.frames;
    set_type_name(r, amv ? "AMV" : "MTV");
    r.duration_s = whole_part(a.duration);
    r.seek_mode = 1;
    r.index_codec = 0;
    probe_write_index(job, amv ? MediaBranch::Amv : MediaBranch::Mtv,
                      frame_number_index(a.frames, a.width, a.height, a.fps));
    return 0;
}

int probe_swf(ProbeJob& job) {
    SwfParser* swf = swf_new();
    if (!swf) return probe_refuse(job, kSwfNoVideo, kCaptionFlv, -1);
    swf->video_codec = 0;
    swf->video_frames = 0;
    swf->sound_format = -1;
    swf_load(swf, job.path);
    if (!((swf->video_codec == 2 || swf->video_codec == 4) && swf->video_frames > 0)) {
        const char* text = swf->video_frames < 1 ? kSwfNoVideo : kSwfVideoCodec;
        swf_free(swf);
        return probe_refuse(job, text, kCaptionFlv, -1);
    }
    MediaFileRecord& r = job.record;
    set_record_path(r, job.path);
    r.width = swf->video_width;
    r.height = swf->video_height;
    r.frame_rate = swf->frame_rate;
    r.frame_count = swf->video_frames;
    set_file_kind(r, file_kind::swf(swf->video_codec, swf->sound_format));
    r.sample_rate = swf->sound_rate;
    r.channels = swf->sound_channels;
    r.audio_format = swf->sound_format;
    r.audio_bits = swf->sound_bits;
    r.index_codec = swf->video_codec;
    set_type_name(r, "SWF");
    if (swf->frame_rate > 0) r.duration_s = whole_part(swf->video_frames / swf->frame_rate);
    r.seek_mode = 2;
    probe_write_index(job, MediaBranch::Swf, swf_index(*swf));
    swf_free(swf);
    return 0;
}

namespace {

// Steps shared by AVI files and MPEG-4 video in AVI: the description blocks into the record, the
// frame rate check and the fields taken from them. Returns a refusal or 0.
int avi_fields(ProbeJob& job, const AviAnswers& a, const char* rate_caption, bool small_picture_message) {
    MediaFileRecord& r = job.record;
    static_assert(sizeof r.video_info == sizeof a.video_block && sizeof r.audio_info == sizeof a.audio_block);
    std::memcpy(&r.video_info, a.video_block, sizeof a.video_block);
    std::memcpy(&r.audio_info, a.audio_block, sizeof a.audio_block);
    r.video_index_count = a.video_index;
    r.audio_index_count = a.audio_index;
    // Sound that has no chunks is no sound.
    if (a.audio_index == 0) {
        r.audio_info.sample_rate = 0;
        r.audio_info.channels = 0;
    }
    const double fps = r.video_info.frame_rate;
    if (!(fps > 0)) return probe_refuse(job, kMpeg4Rate, rate_caption, -4);
    r.frame_count = whole_part(1200.0 / fps);
    r.sample_rate = r.audio_info.sample_rate;
    r.duration_s = whole_part(a.video_index / fps);
    r.file_size = a.file_length;
    r.frame_rate = fps;
    r.audio_format = r.channels = r.audio_info.channels;
    r.width = r.video_info.width;
    r.height = r.video_info.height;
    r.video_param_a = r.video_param_b = r.video_param_c = 0;
    if (area(r.width, r.height) < 10) {
        if (small_picture_message) probe_refuse(job, kAviTooSmall, kCaptionFlv, -10);
        return -10;
    }
    r.sample_rate = rate_in_hz(r.sample_rate);
    return 0;
}

}  // namespace

double rate_in_hz(double rate) { return rate < 500 ? rate * 1000 : rate; }

int finish_avi(ProbeJob& job, const AviFile& avi, const AviAnswers& a) {
    MediaFileRecord& r = job.record;
    set_type_name(r, "AVI");
    set_file_kind(r, file_kind::kAvi);
    if (int refused = avi_fields(job, a, kCaptionFlv, true)) return refused;
    const bool mjpeg = is_mjpeg_family(r.video_info.fourcc);
    r.seek_mode = mjpeg ? 0 : 1;
    r.index_codec = 0;
    probe_write_index(job, MediaBranch::Avi, avi_index(avi, a.video_index, mjpeg, r.width, r.height, r.frame_rate));
    return 0;
}

int finish_mpeg4_avi(ProbeJob& job, const AviAnswers& a) {
    set_type_name(job.record, "MPEG4 AVI");
    set_file_kind(job.record, file_kind::kAvi);
    return avi_fields(job, a, kCaptionMp4, false);
}

const char* mpeg_type_name(int main_stream) {
    switch (main_stream) {
    case 0: return "MPEG2 TS";
    case 1: return "MPEG1/2 PS";
    case 2: return "MPEG1/2 PES";
    case 3: return "MPEG1/2 ES";
    default: return nullptr;
    }
}

bool mpeg_file_kind(int main_stream, int audio_mode, int video_mode, FileKind* kind) {
    constexpr int kNone = -99;
    switch (main_stream) {
    case 0: *kind = 3; return true;
    case 1:
        if (audio_mode != 0 && audio_mode != 1) return false;
        *kind = audio_mode == 0 ? 6 : 5;
        return true;
    case 2: *kind = 6; return true;
    case 3:
        if (video_mode == 1 && audio_mode == kNone) *kind = 2;
        else if (audio_mode == 0) *kind = 10;
        else if (audio_mode == 1) *kind = 11;
        else return false;
        return true;
    default: return false;
    }
}

int finish_mpeg(ProbeJob& job, const MpegAnswers& a) {
    MediaFileRecord& r = job.record;
    const char* name = mpeg_type_name(a.main_stream);
    if (!name) return probe_refuse(job, kUnknownType, kCaptionMp4, -2);
    set_type_name(r, name);
    r.frame_count = a.play_num;
    r.duration_s = a.play_time;
    r.file_size = a.file_length;
    r.start_value = a.begin;
    r.width = a.video[0];
    r.height = a.video[1];
    r.video_param_c = whole_part(double_at(a.video + 2));
    r.frame_rate = double_at(a.video + 4);
    r.video_param_a = a.video[6];
    r.video_param_b = a.video[7];
    FileKind kind = 0;
    if (!mpeg_file_kind(a.main_stream, a.audio_mode, a.video_mode, &kind))
        return probe_refuse(job, kUnknownType, kCaptionMp4, -2);
    set_file_kind(r, kind);
    if (area(r.width, r.height) < 10) return -10;
    if (kind == 2) return probe_refuse(job, kNoSound, kCaptionMp4, -8);
    if (a.audio[1] > 0) {
        r.rate_sum = a.audio[1];
        r.audio_format = a.audio[4];
        r.sample_rate = double_at(a.audio + 2);
        r.audio_bits = a.audio[0];
    } else if (a.ac3_value > 0) {
        r.rate_sum = a.ac3_value;
        r.sample_rate = a.ac3_rate;
        r.audio_format = a.ac3_channels;
        r.audio_bits = 0;
    } else {
        r.sample_rate = 0;
    }
    r.channels = r.audio_format;
    r.sample_rate = rate_in_hz(r.sample_rate);
    return 0;
}

int finish_flv(ProbeJob& job, const FlvScan& scan, int width, int height) {
    MediaFileRecord& r = job.record;
    std::memset(r.index_path, 0, sizeof r.index_path);
    r.index_written = 0;
    clear_picture_and_sound(r);
    r.seek_mode = 1;
    r.index_reserved = 0;
    if (!scan.is_flv) return probe_refuse(job, kNotFlv, kCaptionFlv, -3);

    const int v = scan.video_codec, a = scan.sound_plus_one;
    r.width = width;
    r.height = height;
    r.sample_rate = scan.sample_rate;
    r.channels = scan.channels;
    r.audio_bits = scan.audio_bits;
    r.frame_rate = scan.frame_rate();
    r.index_codec = v;
    r.index_audio = a;
    probe_write_index(job, MediaBranch::Flv, flv_index(scan, width, height));

    const char* refusal = nullptr;
    int result = 0;
    if (v != kFlvSorenson && v != kFlvVp6 && v != kFlvAvc) refusal = kFlvVideoCodec, result = -3;
    else if (a > kFlvPcmLePlusOne && a != kFlvAacPlusOne) refusal = kFlvAudioCodec, result = -3;
    // Raw PCM of 8 bits is widened by the FLV branch; no coded sound comes in 8 bits.
    else if (r.audio_bits == 8 && a != kFlvPcmPlusOne && a != kFlvPcmLePlusOne) refusal = kFlv8Bit, result = -3;
    else if (scan.video_tags == 0 || area(width, height) <= 0) refusal = kNoCodecInfo, result = -1;
    if (refusal) {
        // A refused file never reaches the media list, which alone removes index files.
        probe_remove_index(job);
        return probe_refuse(job, refusal, kCaptionFlv, result);
    }
    set_type_name(r, "FLV");
    const int stored_video = v == kFlvVp6 ? 1 : v;
    r.frame_count = scan.audio_tags + 1;
    r.duration_s = int32_t(scan.last_time_ms / 1000);
    set_file_kind(r, file_kind::flv(stored_video, a));
    return 0;
}

namespace {
bool same_code_ignoring_case(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        const char x = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
        const char y = (*b >= 'A' && *b <= 'Z') ? char(*b - 'A' + 'a') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}
}  // namespace

void mp4_track(const char* handler, const char* codec, int value, Mp4Answers& a) {
    if (std::strcmp(handler, "soun") != 0) return;
    if (same_code_ignoring_case(codec, "samr")) a.audio_type = 1;
    else if (same_code_ignoring_case(codec, "sawb")) a.audio_type = 2;
    else if (same_code_ignoring_case(codec, "mp4a")) a.audio_type = 3;
    if (a.audio_type > 0) a.sound_track_value = value;
}

int check_mp4(ProbeJob& job, const Mp4Answers& a) {
    if (a.video <= 0 && a.audio_type <= 0) return probe_refuse(job, kNoCodecInfo, kCaptionFlv, -1);
    if (a.width < 1 || a.height < 1) return probe_refuse(job, kMp4Size, kCaptionFlv, -1);
    return 0;
}

void fill_mp4(ProbeJob& job, const Mp4Answers& a) {
    MediaFileRecord& r = job.record;
    r.channels = a.audio_type < 3 ? 1 : a.channels;
    r.width = a.width;
    r.height = a.height;
    r.sample_rate = a.sample_rate;
    r.frame_rate = a.fps;
    set_type_name(r, "MP4");
    r.rate_sum = a.video_value + a.audio_value;
    r.frame_count = a.audio_type;
    r.audio_index_count = a.audio_type > 0 ? a.track0_samples : 0;
    r.duration_s = whole_part(0.001 * (a.video > 0 ? a.video_ms : a.audio_ms));
    r.start_value = a.start;
    r.video_index_count = a.samples;
    set_file_kind(r, file_kind::mp4(a.video, a.audio_type));
    r.seek_mode = 1;
    r.index_codec = a.video;
    r.index_audio = a.audio_type;
}

int mp4_sample_buffer_bytes(const Mp4Answers& a) {
    int64_t m = std::max(a.start, a.sound_track_value);
    if (m < 3000) m = 4090;
    // (m + 8) x 16 bytes, though never more than a megabyte beyond the largest sample.
    return int(std::min<int64_t>((m + 8) * 16, m + (1 << 20)));
}

int finish_direct_show_video(ProbeJob& job, int kind_base, const char* type_name, const DirectShowVideo& v) {
    MediaFileRecord& r = job.record;
    clear_picture_and_sound(r);
    if (v.result >= 0) {
        r.width = v.width;
        r.height = v.height;
        r.duration_s = whole_part(v.seconds);
        r.frame_rate = v.frame_rate;
        r.video_param_a = int32_t(v.bit_rate > 0x7FFFFFFFu ? 0x7FFFFFFFu : v.bit_rate);
        r.video_index_count = int32_t(std::clamp<int64_t>(v.frame_count, 0, 0x7FFFFFFF));
        set_type_name(r, type_name);
        set_file_kind(r, kind_base);
        // The sample counter's count replaces DirectShow's only when it counted something. The rate
        // from the count is taken only when DirectShow has none: over the whole file's duration
        // (which includes the last picture's time and the sound's tail) it comes out low.
        if (v.counted && v.samples > 0) {
            if (!(r.frame_rate > 0) && v.seconds > 0) r.frame_rate = v.samples / v.seconds;
            r.video_index_count = v.samples;
        }
    }
    if (v.result == -1) return probe_refuse(job, kNoDirectShow, kCaptionMp4, -1);
    if (v.result == -2) return probe_refuse(job, kNoDecoder, kCaptionMp4, -2);
    if (v.result < 0) return -3;
    if (area(r.width, r.height) < 10) return -10;
    return 0;
}

void finish_direct_show_sound(ProbeJob& job, int kind_base, const DirectShowVideo& v, const DirectShowSound& s) {
    MediaFileRecord& r = job.record;
    r.rate_sum = 0;
    if (s.result == 0) {
        r.sample_rate = s.sample_rate;
        r.channels = s.channels;
        r.duration_s = whole_part(s.seconds);
        set_file_kind(r, kind_base + 3);
    } else {
        r.sample_rate = 0;
        r.channels = 0;
        r.duration_s = whole_part(v.seconds);
        set_file_kind(r, kind_base + 2);
    }
}
