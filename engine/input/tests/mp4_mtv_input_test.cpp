// The MP4/3GP and MTV/AMV readers over fakes of their libraries (tables of samples with times and
// bytes): the AMR-NB cut, the H.264 prefix rewrite, the range's key-frame walk-back and first sound
// sample, the turns by time (sound ending early, no AAC configuration), the decoders picked by codec
// and track name, H.264 pictures in YUY2 for a play, MTV pixels, the per-job binding, the offered
// picture length and a broken AMV frame.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <cstring>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "base/picture.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/input/mp4_input.h"
#include "engine/input/mtv_input.h"
#include "media/jpeg/jpegfile.h"

namespace {

// ---- AMR-NB ----

TEST(AmrCut, FrameLengthOfTheFirstFramesTypeCutsTheWholeSample) {
    // Payload bytes of the 3GPP storage format: ceil(bits / 8) of 95, 103, 118, 134, 148, 159, 204,
    // 244 and 39 bits (SID).
    const int kBits[9] = {95, 103, 118, 134, 148, 159, 204, 244, 39};
    for (int type = 0; type < 16; ++type) {
        SCOPED_TRACE(type);
        const int payload = type < 9 ? (kBits[type] + 7) / 8 : 0;
        EXPECT_EQ(payload, amr_nb_payload(type));
        std::vector<uint8_t> sample(size_t(3 * (1 + payload) + 2), 0);
        sample[0] = uint8_t(type << 3 | 4);
        const AmrCut cut = amr_cut(sample.data(), int(sample.size()));
        EXPECT_EQ(payload ? 3 : 0, cut.frames);
        EXPECT_EQ(payload ? 1 + payload : 0, cut.frame_length);
    }
    // Mixed types: a 12.2 kbit/s frame (32 bytes) first, then 4.75 kbit/s frames; cut by 32 bytes.
    std::vector<uint8_t> mixed(32 + 13 * 4, 0);
    mixed[0] = 7 << 3;
    for (int i = 0; i < 4; ++i) mixed[size_t(32 + 13 * i)] = 0 << 3;
    const AmrCut cut = amr_cut(mixed.data(), int(mixed.size()));
    EXPECT_EQ(32, cut.frame_length);
    EXPECT_EQ(int(mixed.size()) / 32, cut.frames);
    EXPECT_EQ(0, amr_cut(nullptr, 10).frames);
    EXPECT_EQ(0, amr_cut(mixed.data(), 0).frames);
}

// ---- H.264 length prefixes ----

TEST(H264Prefixes, RewrittenIntoStartCodesWithinTheSample) {
    struct Case {
        const char* why;
        std::vector<uint8_t> in;
        std::vector<uint8_t> want;  // the bytes kept, after the rewrite
        bool start_codes;
    };
    const std::vector<Case> cases = {
        {"two units", {0, 0, 0, 2, 0x65, 0xAA, 0, 0, 0, 1, 0x41}, {0, 0, 0, 1, 0x65, 0xAA, 0, 0, 0, 1, 0x41}, false},
        {"first prefix 1: start codes already", {0, 0, 0, 1, 0x65, 0xAA}, {0, 0, 0, 1, 0x65, 0xAA}, true},
        {"first prefix 0", {0, 0, 0, 0, 0x65}, {}, true},
        {"last prefix cut short", {0, 0, 0, 2, 0x65, 0x66, 0, 0, 1}, {0, 0, 0, 1, 0x65, 0x66}, false},
        {"length past the sample", {0, 0, 0, 2, 0x65, 0x66, 0, 0, 0, 9, 0x41, 0x42}, {0, 0, 0, 1, 0x65, 0x66}, false},
        {"first length past the sample", {0, 0, 0x10, 0, 0x65}, {}, false},
        {"huge length", {0xFF, 0xFF, 0xFF, 0xFF, 0x65}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<uint8_t> bytes = c.in;
        EXPECT_EQ(c.start_codes, h264_has_start_codes(bytes.data(), int(bytes.size())));
        if (c.start_codes) continue;
        const int kept = h264_prefix_rewrite(bytes.data(), int(bytes.size()));
        ASSERT_EQ(c.want.size(), size_t(kept));
        EXPECT_TRUE(std::equal(c.want.begin(), c.want.end(), bytes.begin()));
    }
}

// ---- range ----

MediaFile marked(const char* marks, int s, int e, int seek_mode = 0) {
    MediaFile f;
    f.record.range_start = s;
    f.record.range_end = e;
    f.record.seek_mode = uint8_t(seek_mode);
    f.record.segment_count = int(std::strlen(marks));
    for (const char* m = marks; *m; ++m) {
        Segment seg;
        seg.entry.is_key = uint8_t(*m - '0');
        f.segments.push_back(seg);
    }
    return f;
}

TEST(Mp4Range, AlwaysWalksBackToTheMarkedPicture) {
    struct Case {
        const char* why;
        const char* marks;
        int s, e, seek_mode, count;
        AviRange want;
    };
    const Case cases[] = {
        {"between marks", "1000100000", 6, 9, 0, 10, {4, 6, 9}},
        {"seek mode 2 walks back too", "1000100000", 6, 9, 2, 10, {4, 6, 9}},
        {"no mark before S", "0000010000", 3, 9, 0, 10, {0, 3, 9}},
        {"E past the samples", "1000100000", 2, 60, 0, 6, {0, 2, 6}},
        {"S past the list", "1000100000", 40, 60, 0, 10, {4, 9, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const MediaFile f = marked(c.marks, c.s, c.e, c.seek_mode);
        const AviRange r = mp4_range(&f, c.count);
        EXPECT_EQ(c.want.start, r.start);
        EXPECT_EQ(c.want.announce_from, r.announce_from);
        EXPECT_EQ(c.want.end, r.end);
    }
    const AviRange whole = mp4_range(nullptr, 0);
    EXPECT_EQ(0, whole.end);
}

// ---- a fake MP4 library ----

struct Sample {
    int time;
    std::vector<uint8_t> bytes;
};

struct FakeMp4 {
    int video_codec = 2;
    std::vector<Sample> video;
    int audio_type = 3;
    std::vector<Sample> audio;
    std::string audio_name = "MPEG-4 Audio (14496-3)";
    std::vector<uint8_t> aac_config = {0x12, 0x10};
    int aac_rate = 44100, aac_channels = 2;
    std::vector<std::string> log;        // "v<n>", "a<n>" for each sample read after open
    bool logging = false;
    int size_change_at = -1, new_width = 0, new_height = 0;  // MPEG-4: -88 at this sample
    int width = 16, height = 8;           // the MPEG-4 decoder's size in force
    int held = 0;                          // H.264: pictures held back at the end
    int rgb_calls = 0, yuy2_calls = 0;     // H.264: decodes into B,G,R and into YUY2
    std::vector<std::string> opened;       // decoders opened and closed
    int mpeg_audio_calls = 0;
};
FakeMp4 g_mp4;

Sample picture_sample(int time, uint8_t fill) { return {time, {0, 0, 1, 0xB6, fill, 0, 0}}; }
// An H.264 sample: one unit behind a 4-byte length, the fill value first in it.
Sample h264_sample(int time, uint8_t fill) { return {time, {0, 0, 0, 3, fill, 0x11, 0x22}}; }

int picture_fill(uint8_t* frame, int bytes, uint8_t fill) {
    std::memset(frame, fill, size_t(bytes));
    return bytes;
}

void install_mp4(InputCalls& c) {
    c = InputCalls{};
    c.mp4de_init = [](const char*) { return 0; };
    c.mp4de_close = [] { return 0; };
    c.mp4_getvideonum = [](int* count, int* largest) {
        *count = int(g_mp4.video.size());
        *largest = 0;
        for (const Sample& s : g_mp4.video) *largest = std::max(*largest, int(s.bytes.size()));
        return g_mp4.video_codec;
    };
    c.mp4_getaudionum = [](int* count, int* largest) {
        *count = int(g_mp4.audio.size());
        *largest = 0;
        for (const Sample& s : g_mp4.audio) *largest = std::max(*largest, int(s.bytes.size()));
        return g_mp4.audio.empty() ? 0 : g_mp4.audio_type;
    };
    c.mp4_getaudio = [](int* rate, int* channels, int*, double*) {
        *rate = 22050;  // the container's: the decoder reports otherwise
        *channels = 1;
        return 0;
    };
    c.mp4_getaudioname = [](char* name) {
        std::snprintf(name, 64, "%s", g_mp4.audio_name.c_str());
        return int(g_mp4.audio_name.size());
    };
    c.mp4_getmp4aconfig = [](unsigned char* config, int capacity) {
        const int n = int(g_mp4.aac_config.size());
        if (n > capacity) return 0;
        std::memcpy(config, g_mp4.aac_config.data(), size_t(n));
        return n;
    };
    c.mp4_getvideo = [](int* w, int* h, double*, int*, double*, int*, unsigned char* config) {
        *w = 16;
        *h = 8;
        config[0] = 0;
        return 0;
    };
    c.mp4_readvideo = [](unsigned char* buffer, int sample, int* time, int* second, unsigned char* key) {
        if (sample < 0 || sample >= int(g_mp4.video.size())) return -1;
        const Sample& s = g_mp4.video[size_t(sample)];
        std::memcpy(buffer, s.bytes.data(), s.bytes.size());
        *time = s.time;
        *second = int(s.bytes.size());
        *key = 0;
        if (g_mp4.logging) g_mp4.log.push_back("v" + std::to_string(sample));
        return int(s.bytes.size());
    };
    c.mp4_readaudio = [](unsigned char* buffer, int sample, int* time, int* second) {
        if (sample < 0 || sample >= int(g_mp4.audio.size())) return -1;
        const Sample& s = g_mp4.audio[size_t(sample)];
        std::memcpy(buffer, s.bytes.data(), s.bytes.size());
        *time = s.time;
        *second = int(s.bytes.size());
        if (g_mp4.logging) g_mp4.log.push_back("a" + std::to_string(sample));
        return int(s.bytes.size());
    };
    c.h263de_init = [] { return g_mp4.opened.push_back("h263"), 0; };
    c.h263de_exit = [] { return g_mp4.opened.push_back("~h263"), 0; };
    c.h263de_frame = [](const unsigned char* data, int n, unsigned char* picture, int bytes) {
        return n >= 5 ? picture_fill(picture, bytes, data[4]) : 0;
    };
    c.mpeg4_init = [](int w, int h) {
        g_mp4.width = w;
        g_mp4.height = h;
        return g_mp4.opened.push_back("mpeg4"), 0;
    };
    c.mpeg4_close = [] { return g_mp4.opened.push_back("~mpeg4"), 0; };
    c.mpeg4_getwh = [](int* w, int* h) {
        *w = g_mp4.width;
        *h = g_mp4.height;
        return 0;
    };
    c.mpeg4_decode = [](const unsigned char* data, int n, unsigned char* picture, int bytes, int*) {
        if (n < 5 || data[3] != 0xB6) return 0;
        if (data[4] == g_mp4.size_change_at && g_mp4.width != g_mp4.new_width) {
            g_mp4.width = g_mp4.new_width;
            g_mp4.height = g_mp4.new_height;
            return -88;
        }
        const int need = picture::bgr24_stride(g_mp4.width) * g_mp4.height;
        return need <= bytes ? picture_fill(picture, need, data[4]) : 0;
    };
    c.h264_open = [](int w, int h) {
        g_mp4.width = w;
        g_mp4.height = h;
        return g_mp4.opened.push_back("h264"), 0;
    };
    c.h264_close = [] { return g_mp4.opened.push_back("~h264"), 0; };
    c.h264_decode = [](const unsigned char* data, int n, unsigned char* frame) {
        ++g_mp4.rgb_calls;
        const int bytes = picture::bgr24_stride(g_mp4.width) * g_mp4.height;
        if (!data) return g_mp4.held > 0 ? picture_fill(frame, bytes, uint8_t(200 + --g_mp4.held)) : 0;
        // Only start codes reach the decoder.
        if (n < 5 || data[0] || data[1] || data[2] || data[3] != 1) return -1;
        return picture_fill(frame, bytes, data[4]);
    };
    c.h264_decodeyuv = [](const unsigned char* data, int n, unsigned char* frame) {
        ++g_mp4.yuy2_calls;
        const int bytes = picture::natural_stride(PixelFormat::kYuy2, g_mp4.width) * g_mp4.height;
        if (!data) return g_mp4.held > 0 ? picture_fill(frame, bytes, uint8_t(200 + --g_mp4.held)) : 0;
        if (n < 5 || data[0] || data[1] || data[2] || data[3] != 1) return -1;
        return picture_fill(frame, bytes, data[4]);
    };
    c.amrdecode_init = [] { return g_mp4.opened.push_back("amr"), 0; };
    c.amrdecode_close = [] { return g_mp4.opened.push_back("~amr"), 0; };
    c.amr_decode = [](const unsigned char* frame, int, unsigned char* pcm) { return picture_fill(pcm, 320, frame[0]); };
    c.aacdecodebuf_init = [](const unsigned char*, int n, int, int, int* rate, int* channels) {
        if (n < 2) return -1;
        *rate = g_mp4.aac_rate;
        *channels = g_mp4.aac_channels;
        return g_mp4.opened.push_back("aac"), 0;
    };
    c.aacdecodebuf_close = [] { return g_mp4.opened.push_back("~aac"), 0; };
    c.aacbuf_decode = [](const unsigned char* data, int, int, unsigned char* pcm) { return picture_fill(pcm, 4096, data[0]); };
    c.demux_links.mp3_open = [](const uint8_t*) { return ++g_mp4.mpeg_audio_calls, -1; };
}

struct Mp4Run {
    std::vector<int> pictures;  // the fill value of each picture handed over
    std::vector<std::pair<int, int>> sizes;
    std::vector<PixelFormat> formats;
    std::vector<int> strides;
    size_t sound_bytes = 0;
    ReadStatus last = ReadStatus::kOk;
    std::string notice;
};

// Opens the reader on the fake, seeks when asked, reads to the end and flushes.
// `playing`: the reader plays the file rather than converting it.
Mp4Run run_mp4(int first_read = -1, int first_shown = -1, int width = 16, int height = 8, bool playing = false) {
    static InputCalls calls;
    install_mp4(calls);
    g_mp4.log.clear();
    g_mp4.opened.clear();
    std::unique_ptr<InputReader> reader = make_mp4_reader();
    reader->set_playing(playing);
    MediaJob job{};
    std::snprintf(job.path, sizeof job.path, "fake.mp4");
    job.width = width;
    job.height = height;
    job.sample_rate = 22050;
    job.channels = 1;
    std::string error;
    Mp4Run run;
    EXPECT_TRUE(reader->open(job, calls, &error)) << error;
    run.notice = reader->notice();
    std::vector<uint8_t> frame(reader->frame_capacity()), pcm(20000);
    MediaOutput out;
    out.frame.data = frame.data();
    out.frame_capacity = frame.size();
    out.pcm = pcm.data();
    out.pcm_capacity = pcm.size();
    out.pcm_channels = 1;
    out.pcm_rate = 8000;
    out.on_picture = [&](const PictureView& p) {
        run.pictures.push_back(p.data[0]);
        run.sizes.push_back({p.width, p.height});
        run.formats.push_back(p.format);
        run.strides.push_back(p.stride);
    };
    out.on_sound = [&](const SoundBlock& b) { run.sound_bytes += b.byte_size(); };
    if (first_read >= 0) {
        EXPECT_TRUE(reader->seek_range(first_read, first_shown));
    }
    g_mp4.logging = true;
    for (int guard = 0; guard < 10000; ++guard) {
        run.last = reader->read_next(out);
        if (run.last != ReadStatus::kOk) break;
    }
    reader->flush(out);
    out.flush_sound();
    g_mp4.logging = false;
    reader->close();
    return run;
}

std::string joined(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& i : items) s += (s.empty() ? "" : " ") + i;
    return s;
}

TEST(Mp4Reader, SoundAndPicturesTakeTurnsByTime) {
    // Worked by hand: a sound sample is read while the sound's time is below the pictures'; after the
    // last picture the sound up to one picture's step past it.
    g_mp4 = FakeMp4{};
    g_mp4.video = {picture_sample(0, 10), picture_sample(40, 11), picture_sample(80, 12)};
    g_mp4.audio = {{0, {1}}, {30, {2}}, {60, {3}}, {90, {4}}, {200, {5}}};
    const Mp4Run run = run_mp4();
    // a4 (200 ms) is looked at after the last picture and left: it starts past 80 + 40 ms.
    EXPECT_EQ("v0 v1 a0 a1 a2 v2 a3 a4", joined(g_mp4.log));
    EXPECT_EQ((std::vector<int>{10, 11, 12}), run.pictures);
    EXPECT_EQ(4u * 4096, run.sound_bytes);
    EXPECT_EQ("mpeg4 aac ~mpeg4 ~aac", joined(g_mp4.opened));
}

TEST(Mp4Reader, PicturesGoOnWhenTheSoundEndsOrCannotBeDecoded) {
    struct Case {
        const char* why;
        std::vector<Sample> audio;
        int audio_type;
        std::vector<uint8_t> config;
        size_t sound_bytes;
        bool notice;
    };
    const std::vector<Case> cases = {
        {"sound shorter than the pictures", {{0, {1}}, {20, {2}}}, 3, {0x12, 0x10}, 2 * 4096, false},
        {"no AAC configuration", {{0, {1}}, {20, {2}}, {40, {3}}}, 3, {}, 0, true},
        {"AMR-WB is left out", {{0, {1}}, {20, {2}}}, 2, {}, 0, true},
        {"no sound track", {}, 0, {}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        g_mp4 = FakeMp4{};
        for (int i = 0; i < 12; ++i) g_mp4.video.push_back(picture_sample(40 * i, uint8_t(i)));
        g_mp4.audio = c.audio;
        g_mp4.audio_type = c.audio_type;
        g_mp4.aac_config = c.config;
        const Mp4Run run = run_mp4();
        EXPECT_EQ(12u, run.pictures.size());
        EXPECT_EQ(c.sound_bytes, run.sound_bytes);
        EXPECT_EQ(c.notice ? std::string(input_text::kNoSound) : std::string(), run.notice);
    }
}

TEST(Mp4Reader, DecodersByCodecAndTrackName) {
    struct Case {
        const char* why;
        int video_codec, audio_type;
        const char* name;
        const char* opened;
    };
    const Case cases[] = {
        {"3GP: H.263 and AMR-NB", 1, 1, "AMR-NB", "h263 amr ~h263 ~amr"},
        {"MPEG-4 and AAC", 2, 3, "MPEG-4 Audio (14496-3)", "mpeg4 aac ~mpeg4 ~aac"},
        {"H.264 and MPEG-1 audio", 3, 3, "MPEG-1 Audio (11172-3)", "h264 ~h264"},
        {"H.264 and MPEG-2 audio", 3, 3, "MPEG-2 Audio (13818-3)", "h264 ~h264"},
        {"a name that only starts like MPEG audio", 3, 3, "MPEG-1 Audio (11172-3) x", "h264 aac ~h264 ~aac"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        g_mp4 = FakeMp4{};
        g_mp4.video_codec = c.video_codec;
        for (int i = 0; i < 3; ++i)
            g_mp4.video.push_back(c.video_codec == 3 ? h264_sample(40 * i, uint8_t(i)) : picture_sample(40 * i, uint8_t(i)));
        // Sound samples: an AMR-NB 12.2 kbit/s pair of frames, or a byte for the others.
        std::vector<uint8_t> amr(64, 0);
        amr[0] = 7 << 3;
        g_mp4.audio = {{0, c.audio_type == 1 ? amr : std::vector<uint8_t>{0xFF, 0xFB, 0x90, 0}}};
        g_mp4.audio_type = c.audio_type;
        g_mp4.audio_name = c.name;
        const Mp4Run run = run_mp4();
        EXPECT_EQ(c.opened, joined(g_mp4.opened));
        EXPECT_EQ(3u, run.pictures.size());
        if (c.audio_type == 1) {
            EXPECT_EQ(2u * 320, run.sound_bytes);
        }
    }
}

TEST(Mp4Reader, RangeReadsFromTheKeyShowsFromTheStartAndSoundFromItsTime) {
    g_mp4 = FakeMp4{};
    for (int i = 0; i < 10; ++i) g_mp4.video.push_back(picture_sample(40 * i, uint8_t(i)));
    for (int i = 0; i < 20; ++i) g_mp4.audio.push_back({23 * i, {uint8_t(i)}});
    const Mp4Run run = run_mp4(4, 6);
    EXPECT_EQ((std::vector<int>{6, 7, 8, 9}), run.pictures);
    // Pictures 4 and 5 are read and decoded first; the sound starts at 240 ms: sample 11 (253 ms).
    ASSERT_GE(g_mp4.log.size(), 4u);
    EXPECT_EQ("v4", g_mp4.log[0]);
    EXPECT_EQ("v5", g_mp4.log[1]);
    EXPECT_EQ("v6", g_mp4.log[2]);
    size_t first_sound = 0;
    while (first_sound < g_mp4.log.size() && g_mp4.log[first_sound][0] != 'a') ++first_sound;
    ASSERT_LT(first_sound, g_mp4.log.size());
    EXPECT_EQ("a11", g_mp4.log[first_sound]);
}

TEST(Mp4Reader, SizeChangeHeldPicturesAndHostileSamples) {
    // MPEG-4: the picture that announces a new size is written at that size, none lost.
    g_mp4 = FakeMp4{};
    for (int i = 0; i < 6; ++i) g_mp4.video.push_back(picture_sample(40 * i, uint8_t(i)));
    g_mp4.size_change_at = 3;
    g_mp4.new_width = 32;
    g_mp4.new_height = 24;
    Mp4Run run = run_mp4();
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), run.pictures);
    ASSERT_EQ(6u, run.sizes.size());
    EXPECT_EQ(std::make_pair(16, 8), run.sizes[2]);
    EXPECT_EQ(std::make_pair(32, 24), run.sizes[3]);

    // H.264: what the decoder holds back comes out at the end; a unit longer than its sample and
    // samples that carry start codes already.
    g_mp4 = FakeMp4{};
    g_mp4.video_codec = 3;
    g_mp4.video = {h264_sample(0, 1), {40, {0, 0, 0, 1, 2, 0x33}}, {80, {0, 0, 0x7F, 0xFF, 3, 0}}, h264_sample(120, 4)};
    g_mp4.held = 1;
    run = run_mp4();
    EXPECT_EQ((std::vector<int>{1, 2, 4, 200}), run.pictures);

    // No video samples: the reader ends at once.
    g_mp4 = FakeMp4{};
    g_mp4.audio = {{0, {1}}};
    run = run_mp4();
    EXPECT_TRUE(run.pictures.empty());
    EXPECT_EQ(ReadStatus::kEnd, run.last);
}

// A play takes the H.264 pictures as YUY2, as the video window shows them (the held-back ones too); a
// conversion takes B,G,R. Other codecs give B,G,R in both.
TEST(Mp4Reader, PlayTakesH264PicturesAsYuy2) {
    for (bool playing : {true, false}) {
        SCOPED_TRACE(playing ? "play" : "convert");
        g_mp4 = FakeMp4{};
        g_mp4.video_codec = 3;
        // The second sample's unit runs past it: nothing of it reaches the decoder, which holds one
        // picture back until the end.
        g_mp4.video = {h264_sample(0, 1), {40, {0, 0, 0x7F, 0xFF, 3, 0}}, h264_sample(80, 2)};
        g_mp4.held = 1;
        const Mp4Run run = run_mp4(-1, -1, 16, 8, playing);
        EXPECT_EQ((std::vector<int>{1, 2, 200}), run.pictures);
        const PixelFormat want = playing ? PixelFormat::kYuy2 : PixelFormat::kBgr24;
        EXPECT_EQ(std::vector<PixelFormat>(3, want), run.formats);
        EXPECT_EQ(std::vector<int>(3, playing ? 32 : 48), run.strides);
        EXPECT_EQ(playing ? 0 : 4, g_mp4.rgb_calls);
        EXPECT_EQ(playing ? 4 : 0, g_mp4.yuy2_calls);
    }
    g_mp4 = FakeMp4{};
    for (int i = 0; i < 3; ++i) g_mp4.video.push_back(picture_sample(40 * i, uint8_t(i)));
    const Mp4Run mpeg4 = run_mp4(-1, -1, 16, 8, true);
    EXPECT_EQ(std::vector<PixelFormat>(3, PixelFormat::kBgr24), mpeg4.formats);
}

TEST(Mp4Reader, UnsupportedVideoAndUnopenableFile) {
    static InputCalls calls;
    g_mp4 = FakeMp4{};
    g_mp4.video_codec = 4;
    install_mp4(calls);
    MediaJob job{};
    job.width = 16;
    job.height = 8;
    std::string error;
    std::unique_ptr<InputReader> reader = make_mp4_reader();
    EXPECT_FALSE(reader->open(job, calls, &error));
    EXPECT_EQ(input_text::kUnsupported, error);
    calls.mp4de_init = [](const char*) { return -1; };
    EXPECT_FALSE(reader->open(job, calls, &error));
    EXPECT_EQ(input_text::kOpenFailed, error);
}

TEST(Mp4Reader, AacRateAndChannelsFromTheDecoder) {
    static InputCalls calls;
    g_mp4 = FakeMp4{};
    g_mp4.video = {picture_sample(0, 1)};
    g_mp4.audio = {{0, {1}}};
    g_mp4.aac_rate = 48000;  // SBR: twice the container's 24 kHz
    g_mp4.aac_channels = 2;
    install_mp4(calls);
    MediaJob job{};
    job.width = 16;
    job.height = 8;
    job.sample_rate = 24000;
    job.channels = 1;
    std::string error;
    std::unique_ptr<InputReader> reader = make_mp4_reader();
    ASSERT_TRUE(reader->open(job, calls, &error));
    int rate = 0, channels = 0;
    ASSERT_TRUE(reader->sound_format(&rate, &channels));
    EXPECT_EQ(48000, rate);
    EXPECT_EQ(2, channels);
}

// ---- MTV pixels ----

TEST(MtvPixels, BothFormatsAndTheRowOrder) {
    struct Case {
        uint16_t v;
        int format;
        uint8_t b, g, r;  // from the formats' bit fields, worked by hand
    };
    const Case cases[] = {
        {0xFFFF, 0, 248, 252, 248}, {0xFFFF, kMtvPixels555, 248, 248, 248}, {0xF800, 0, 0, 0, 248},
        {0x07E0, 0, 0, 252, 0},     {0x001F, 0, 248, 0, 0},                 {0x7C00, kMtvPixels555, 0, 0, 248},
        {0x03E0, kMtvPixels555, 0, 248, 0}, {0x8000, kMtvPixels555, 0, 0, 0}, {0x0000, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        uint8_t bgr[3];
        mtv_pixel_bgr(uint8_t(c.v >> 8), uint8_t(c.v), c.format, bgr);
        EXPECT_EQ(c.b, bgr[0]);
        EXPECT_EQ(c.g, bgr[1]);
        EXPECT_EQ(c.r, bgr[2]);
    }
    // 2 x 3 pixels: stored row 0 white, rows 1 and 2 black; row 0 ends up last.
    const int w = 2, h = 3, stride = picture::bgr24_stride(w);
    std::vector<uint8_t> stored(size_t(2 * w * h), 0);
    for (int x = 0; x < 2 * w; ++x) stored[size_t(x)] = 0xFF;
    std::vector<uint8_t> out(size_t(stride * h), 7);
    ASSERT_TRUE(mtv_picture_bgr(stored.data(), stored.size(), w, h, 0, out.data(), stride));
    EXPECT_EQ(248, out[size_t(2 * stride)]);
    EXPECT_EQ(252, out[size_t(2 * stride + 1)]);
    EXPECT_EQ(0, out[0]);
    EXPECT_FALSE(mtv_picture_bgr(stored.data(), stored.size() - 1, w, h, 0, out.data(), stride));
    // The picture buffer never below 2 x w x h, whatever the bits per pixel say.
    EXPECT_EQ(size_t(2 * 320 * 240), mtv_offered_bytes(0, 320, 240));
    EXPECT_EQ(size_t(2 * 320 * 240), mtv_offered_bytes(8, 320, 240));
    EXPECT_EQ(size_t(4 * 320 * 240), mtv_offered_bytes(32, 320, 240));
    EXPECT_TRUE(mtv_size_allowed(320, 240));
    EXPECT_FALSE(mtv_size_allowed(65500, 65500));
    EXPECT_FALSE(mtv_size_allowed(0, 240));
}

// ---- a fake MTV/AMV library ----

struct FakeMtv {
    int bind_result = 0;
    int init_result = 0;
    int width = 4, height = 2, frames = 3, blocks = 0;
    int rate = 0, channels = 0;
    int bits = 16, format = 0;
    std::vector<std::vector<uint8_t>> pictures;  // per frame, as stored
    std::vector<int> offered;                    // the in-value of each getdata
    std::vector<std::string> log;
    std::vector<uint8_t> sound;                  // every frame's sound
};
FakeMtv g_mtv;

int fake_getdata(int frame, unsigned char* sound, int capacity, unsigned char* picture, int* length) {
    g_mtv.offered.push_back(*length);
    const std::vector<uint8_t>& p = g_mtv.pictures[size_t(frame) % g_mtv.pictures.size()];
    // Writes no more than it was offered, as the library does.
    if (int(p.size()) <= *length) {
        if (!p.empty()) std::memcpy(picture, p.data(), p.size());
        *length = int(p.size());
    } else {
        *length = 0;
    }
    const int n = std::min(int(g_mtv.sound.size()), capacity);
    if (n > 0) std::memcpy(sound, g_mtv.sound.data(), size_t(n));
    return n;
}

void install_mtv(InputCalls& c) {
    c = InputCalls{};
    c.mtv_bind = [] { return g_mtv.log.push_back("bind"), g_mtv.bind_result; };
    c.mtv_unbind = [] { g_mtv.log.push_back("unbind"); };
    c.mtv_init = c.amv_init = [](const char*) { return g_mtv.log.push_back("init"), g_mtv.init_result; };
    c.mtv_close = c.amv_close = [] { return g_mtv.log.push_back("close"), 0; };
    c.mtv_getvideo = c.amv_getvideo = [](int* w, int* h, double*, int*, double*) {
        *w = g_mtv.width;
        *h = g_mtv.height;
        return g_mtv.frames;
    };
    c.mtv_getaudio = c.amv_getaudio = [](int* rate, int* channels, int*) {
        *rate = g_mtv.rate;
        *channels = g_mtv.channels;
        return g_mtv.blocks;
    };
    c.mtv_getpicinfo = [](int* format, int* bits) {
        *format = g_mtv.format;
        *bits = g_mtv.bits;
        return 0;
    };
    c.mtv_getdata = c.amv_getdata = fake_getdata;
}

struct MtvRun {
    bool opened = false;
    std::string error;
    std::vector<std::vector<uint8_t>> pictures;
    size_t sound_bytes = 0;
};

MtvRun run_mtv(bool amv) {
    static InputCalls calls;
    install_mtv(calls);
    g_mtv.log.clear();
    g_mtv.offered.clear();
    std::unique_ptr<InputReader> reader = amv ? make_amv_reader() : make_mtv_reader();
    MediaJob job{};
    MtvRun run;
    run.opened = reader->open(job, calls, &run.error);
    if (run.opened) {
        std::vector<uint8_t> frame(reader->frame_capacity()), pcm(40000);
        MediaOutput out;
        out.frame.data = frame.data();
        out.frame_capacity = frame.size();
        out.pcm = pcm.data();
        out.pcm_capacity = pcm.size();
        out.pcm_channels = 1;
        out.pcm_rate = 22050;
        out.on_picture = [&](const PictureView& p) {
            run.pictures.emplace_back(p.data, p.data + size_t(p.stride) * size_t(p.height));
        };
        out.on_sound = [&](const SoundBlock& b) { run.sound_bytes += b.byte_size(); };
        for (int guard = 0; guard < 1000 && reader->read_next(out) == ReadStatus::kOk; ++guard) {
        }
        out.flush_sound();
    }
    reader->close();
    return run;
}

TEST(MtvReader, BindingIsTestedAndReleasedInEveryCase) {
    struct Case {
        const char* why;
        int bind, init;
        bool opened;
        const char* error;
        const char* log;
    };
    const Case cases[] = {
        {"library missing", -1, 0, false, input_text::kLibrariesFailed, "bind unbind"},
        {"file refused", 0, -1, false, input_text::kOpenFailed, "bind init unbind"},
        {"read through", 0, 0, true, "", "bind init close unbind"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        g_mtv = FakeMtv{};
        g_mtv.bind_result = c.bind;
        g_mtv.init_result = c.init;
        g_mtv.pictures = {std::vector<uint8_t>(size_t(2 * g_mtv.width * g_mtv.height), 0)};
        const MtvRun run = run_mtv(false);
        EXPECT_EQ(c.opened, run.opened);
        EXPECT_EQ(c.error, run.error);
        EXPECT_EQ(c.log, joined(g_mtv.log));
    }
}

TEST(MtvReader, HostileHeadersAndTheOfferedLength) {
    // A size beyond the players' is refused before anything is allocated.
    g_mtv = FakeMtv{};
    g_mtv.width = g_mtv.height = 65500;
    g_mtv.pictures = {{1}};
    MtvRun run = run_mtv(false);
    EXPECT_FALSE(run.opened);
    EXPECT_EQ(input_text::kUnsupported, run.error);

    // 0 bits per pixel: the buffer still takes a whole picture; a short frame does not shorten the
    // length offered to the next.
    g_mtv = FakeMtv{};
    g_mtv.bits = 0;
    g_mtv.frames = 3;
    g_mtv.pictures = {std::vector<uint8_t>(16, 0xFF), std::vector<uint8_t>(12, 0), std::vector<uint8_t>(16, 0)};
    run = run_mtv(false);
    ASSERT_TRUE(run.opened);
    EXPECT_EQ((std::vector<int>{16, 16, 16}), g_mtv.offered);
    // The 12-byte frame is no whole picture.
    EXPECT_EQ(2u, run.pictures.size());
}

// An AMV frame as the format stores it: the scan of a baseline JPEG after SOI (the header's tables).
std::vector<uint8_t> amv_frame(int w, int h, uint8_t level) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 60, TRUE);  // the tables AMV frames are coded with
    c.write_JFIF_header = FALSE;
    c.restart_interval = 1000;
    for (int i = 0; i < 3; ++i) c.comp_info[i].component_id = i;
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(3 * w), level);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> jpeg(mem, mem + size);
    std::free(mem);
    jpeg_destroy_compress(&c);
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        const size_t length = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        if (jpeg[pos + 1] == 0xDA) {
            std::vector<uint8_t> frame = {0xFF, 0xD8};
            frame.insert(frame.end(), jpeg.begin() + long(pos + 2 + length), jpeg.end());
            return frame;
        }
        pos += 2 + length;
    }
    return {};
}

int g_boxes = 0;
int count_box(const char*, const char*, unsigned, void*) { return ++g_boxes, seam::kAnswerOk; }

TEST(AmvReader, ABrokenPictureRepeatsTheLastWithoutABoxAndSoundIsImaAdpcm) {
    g_mtv = FakeMtv{};
    g_mtv.width = 32;
    g_mtv.height = 16;
    g_mtv.frames = 3;
    g_mtv.blocks = 4;  // more sound blocks than pictures: four frames
    g_mtv.rate = 22050;
    g_mtv.channels = 1;
    // A frame header inside the frame: libjpeg gives up on it.
    const std::vector<uint8_t> garbage = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17, 8, 0, 16, 0, 32, 3, 0, 0x22, 0,
                                          1, 0x11, 1, 2, 0x11, 1};
    g_mtv.pictures = {amv_frame(32, 16, 200), garbage, amv_frame(32, 16, 40), {}};
    // One IMA block: 8 header bytes and 100 bytes of codes (200 samples).
    g_mtv.sound.assign(108, 0x11);
    g_boxes = 0;
    seam::Reporter previous = seam::set_reporter(count_box, nullptr);
    const MtvRun run = run_mtv(true);
    seam::set_reporter(previous, nullptr);
    ASSERT_TRUE(run.opened);
    EXPECT_EQ(0, g_boxes);
    ASSERT_EQ(3u, run.pictures.size());
    EXPECT_EQ(run.pictures[0], run.pictures[1]);
    EXPECT_NEAR(200, run.pictures[0][0], 6);
    EXPECT_NEAR(40, run.pictures[2][0], 6);
    EXPECT_EQ(4u * 200 * 2, run.sound_bytes);
    EXPECT_EQ(4u, g_mtv.offered.size());
}

}  // namespace
