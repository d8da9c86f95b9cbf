// The FLV, SWF and DirectShow input branches' portable parts: the FLV tag reading (header size,
// records, AVC start codes), the ranges by positions and by pictures, the DirectShow graph rate and
// the worker's drain of the picture ring; then the FLV and SWF branches of the conversion over files
// made by ffmpeg (or built here from ffmpeg's tags), through the native decoder cores, with every
// picture and all the sound counted against ffmpeg's decode, damaged files that end the job, and an
// FLV H.264 play's pictures in YUY2.
#include <gtest/gtest.h>
#include <zlib.h>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include "base/picture.h"
#include "engine/audio/audio_path.h"
#include "engine/frame/frame_path.h"
#include "engine/input/conversion_branch.h"
#include "engine/input/dshow_input.h"
#include "engine/input/flv_input.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/input/swf_input.h"
#include "engine/input/tests/native_input_calls.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "media/mpeg/tests/test_tag.h"
#include "media/probe/flv_scan.h"
#include "media/swf/swf_zlib.h"
#include "tests/support/flv_writer.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/swf_writer.h"

namespace {

// ---- FLV tags ----

TEST(FlvTags, HeaderSizeRecordsAndStartCodes) {
    auto header = [](const char* magic, uint32_t size) {
        std::vector<uint8_t> h(9);
        std::memcpy(h.data(), magic, 4);
        h[4] = 5;
        for (int i = 0; i < 4; ++i) h[5 + i] = uint8_t(size >> (24 - 8 * i));
        return h;
    };
    struct HeaderCase {
        const char* why;
        std::vector<uint8_t> bytes;
        int64_t want;
    };
    const HeaderCase headers[] = {
        {"size 9", header("FLV\x01", 9), 9},
        {"size 13: the first record after 4 more bytes", header("FLV\x01", 13), 13},
        {"size below 9 taken as 9", header("FLV\x01", 3), 9},
        {"version 2", header("FLV\x02", 9), -1},
        {"not FLV", header("FWS\x01", 9), -1},
    };
    for (const HeaderCase& c : headers) EXPECT_EQ(flv::header_size(c.bytes.data(), c.bytes.size()), c.want) << c.why;
    EXPECT_EQ(flv::header_size(header("FLV\x01", 9).data(), 8), -1);

    // Previous size, type 9, body 0x000102, time 0x030405 with the extended byte 0x7F, stream id.
    const uint8_t record[15] = {0, 0, 0, 11, 9, 0, 1, 2, 3, 4, 5, 0x7F, 0, 0, 0};
    const flv::TagRecord r = flv::read_record(record);
    EXPECT_EQ(r.type, 9);
    EXPECT_EQ(r.body, 0x102u);
    EXPECT_EQ(r.time_ms, 0x7F030405u);

    struct AvcCase {
        const char* why;
        std::vector<uint8_t> in, want;
        int rewritten;
    };
    const AvcCase avc[] = {
        {"two units", {0, 0, 0, 2, 0x65, 1, 0, 0, 0, 1, 0x41}, {0, 0, 0, 1, 0x65, 1, 0, 0, 0, 1, 0x41}, 2},
        {"start codes already (1)", {0, 0, 0, 1, 0x65, 0, 0, 0, 1, 0x41}, {0, 0, 0, 1, 0x65, 0, 0, 0, 1, 0x41}, 0},
        {"first prefix 0", {0, 0, 0, 0, 0x65, 7}, {0, 0, 0, 0, 0x65, 7}, 0},
        {"truncated last prefix", {0, 0, 0, 1, 0x65, 0, 0}, {0, 0, 0, 1, 0x65, 0, 0}, 0},
        {"a last prefix cut short is left", {0, 0, 0, 2, 0x65, 9, 0, 0}, {0, 0, 0, 1, 0x65, 9, 0, 0}, 1},
        {"length past the sample", {0, 0, 0, 2, 0x65, 9, 0, 0, 0, 50, 0x41}, {0, 0, 0, 1, 0x65, 9, 0, 0, 0, 1, 0x41}, 2},
        {"one huge length", {0x7F, 0xFF, 0xFF, 0xFF, 0x65}, {0, 0, 0, 1, 0x65}, 1},
    };
    for (const AvcCase& c : avc) {
        std::vector<uint8_t> data = c.in;
        EXPECT_EQ(flv::avc_to_start_codes(data.data(), data.size()), c.rewritten) << c.why;
        EXPECT_EQ(data, c.want) << c.why;
    }
}

MediaFile flv_record(const char* marks, int s, int e, int listed = -1) {
    MediaFile f;
    const int n = int(std::strlen(marks));
    f.record.range_start = s;
    f.record.range_end = e;
    f.record.segment_count = listed >= 0 ? listed : n;
    for (int i = 0; i < n; ++i) {
        Segment seg;
        seg.entry.is_key = uint8_t(marks[i] - '0');
        seg.entry.position = 1000 + 100 * i;  // a tag's body + 1
        seg.entry.time_ms = 40 * i;
        f.segments.push_back(seg);
    }
    return f;
}

TEST(FlvRange, ByPositionsFromTheRecord) {
    struct Case {
        const char* why;
        const char* marks;
        int s, e, listed;
        int64_t read_from, start, end;
        int first_frame, start_frame;
    };
    constexpr int64_t kNo = flv::kNoEnd;
    // Entry i lies at 1000 + 100 i; its record 16 bytes before.
    const Case cases[] = {
        {"key before S", "1000120000", 3, 8, -1, 984, 1284, 1800, 0, 3},
        {"frame type 2 is not a key", "1000120000", 5, 8, -1, 1384, 1484, 1800, 4, 5},
        {"S a key itself", "1000100000", 4, 8, -1, 1384, 1384, 1800, 4, 4},
        {"no key at or before S", "0000010000", 3, 8, -1, 984, 1284, 1800, 0, 3},
        {"S past the list: its last entry", "1000100000", 40, 60, -1, 1384, 1884, kNo, 4, 9},
        {"E past the list: to the end", "1000100000", 2, 60, -1, 984, 1184, kNo, 0, 2},
        {"E not after S: to the end", "1000100000", 5, 5, -1, 1384, 1484, kNo, 4, 5},
        {"negative S", "1000100000", -3, 2, -1, 984, 984, 1200, 0, 0},
        {"count below the list", "1000100000", 7, 8, 3, 984, 1184, kNo, 0, 2},
        {"count above the list", "1000100000", 12, 14, 40, 1384, 1884, kNo, 4, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const MediaFile f = flv_record(c.marks, c.s, c.e, c.listed);
        const flv::Range r = flv::range_of(&f, 9);
        EXPECT_EQ(r.read_from, c.read_from);
        EXPECT_EQ(r.start, c.start);
        EXPECT_EQ(r.end, c.end);
        EXPECT_EQ(r.first_frame, c.first_frame);
        EXPECT_EQ(r.start_frame, c.start_frame);
    }
    const flv::Range whole = flv::range_of(nullptr, 13);
    EXPECT_EQ(whole.read_from, 13);
    EXPECT_EQ(whole.start, 13);
    EXPECT_EQ(whole.end, kNo);
    MediaFile empty;
    empty.record.range_start = 5;
    EXPECT_EQ(flv::range_of(&empty, 9).end, kNo);

    // A record of the 180,000 entries the probe keeps, of a file of 190,000 pictures: the lookups stay
    // inside the entries.
    MediaFile big;
    big.segments.resize(180000);
    for (int i = 0; i < 180000; ++i) {
        big.segments[size_t(i)].entry.position = 100 + 20 * i;
        big.segments[size_t(i)].entry.is_key = i % 100 == 0;
    }
    big.record.segment_count = 190000;
    big.record.range_start = 185000;
    big.record.range_end = 189000;
    const flv::Range r = flv::range_of(&big, 9);
    EXPECT_EQ(r.start_frame, 179999);
    EXPECT_EQ(r.first_frame, 179900);
    EXPECT_EQ(r.end, kNo);
}

TEST(SwfRange, ByPicturesFromTheRecord) {
    struct Case {
        const char* why;
        int s, e, listed, frames;
        int start, end;
    };
    const Case cases[] = {
        {"inside", 3, 7, 10, 10, 3, 8},
        {"E past the list", 3, 70, 10, 10, 3, INT_MAX},
        {"S past the movie", 30, 40, 50, 10, 9, INT_MAX},
        {"E not after S", 5, 5, 10, 10, 5, INT_MAX},
        {"negative S", -2, 4, 10, 10, 0, 5},
    };
    for (const Case& c : cases) {
        MediaFile f = flv_record(std::string(size_t(std::max(c.listed, 0)), '0').c_str(), c.s, c.e);
        const swf_input::Range r = swf_input::range_of(&f, c.frames);
        EXPECT_EQ(r.start, c.start) << c.why;
        EXPECT_EQ(r.end, c.end) << c.why;
    }
    EXPECT_EQ(swf_input::range_of(nullptr, 10).end, INT_MAX);
}

// ---- DirectShow ----

TEST(DShowRate, ByOutputAreaSpeedAndFormat) {
    struct Case {
        int w, h;
        bool normal;
        int format;
        double want;
    };
    const Case cases[] = {
        {320, 240, true, kOutMp4, 0.65},   // 76,800: 0.55 + 0.1
        {176, 144, true, kOut3gp, 0.65},   // 25,344
        {176, 144, true, kOutMp4, 0.75},
        {176, 144, true, kOutAvi, 0.75},
        {128, 96, true, kOutMp4, 1.0},     // 12,288: below 12,300
        {123, 100, true, kOut3gp, 0.85},   // 12,300
        {160, 120, true, kOut3gp, 0.85},   // 19,200: the next band starts at 19,201
        {141, 137, true, kOut3gp, 0.75},   // 19,317
        {320, 240, false, kOutMp4, 1.0},   // fast
        {352, 288, true, kOut3gp, 0.45},   // 101,376: the 80,220 .. 101,399 band
        {640, 480, true, kOutAvi, 0.35},   // 307,200: 0.25 + 0.1
        {400, 300, true, kOut3gp, 0.33},   // 120,000
    };
    for (const Case& c : cases)
        EXPECT_NEAR(dshow_input::graph_rate(c.w, c.h, c.normal, c.format), c.want, 1e-9) << c.w << "x" << c.h;
}

// The ring as the video callback fills it, on a thread of its own: it stores numbered pictures and
// waits, once 15 are stored, until the worker has released the ring.
class FakeRing : public dshow_input::PictureRing {
public:
    static constexpr int kSlots = 20, kHoldAt = 15;
    int write_count() override { return write_.load(); }
    int read_count() override { return read_.load(); }
    void set_read_count(int count) override { read_.store(count); }
    const uint8_t* slot(int index, size_t* length) override {
        *length = 4;
        return slots_[index];
    }
    bool held() override { return held_.load() != 0; }
    bool release() override {
        if (!held_.load() || read_.load() < write_.load()) return false;
        write_ = 0;
        read_ = 0;
        held_ = 0;
        ++releases;
        return true;
    }
    bool running() override { return running_.load() != 0; }

    void produce(int pictures) {
        for (int n = 0; n < pictures; ++n) {
            while (write_.load() >= kHoldAt) {
                held_ = 1;
                while (held_.load()) std::this_thread::yield();
            }
            const int w = write_.load();
            std::memcpy(slots_[w], &n, 4);
            write_.store(w + 1);
        }
        running_ = 0;
    }

    std::atomic<int> releases{0};

private:
    uint8_t slots_[kSlots][4] = {};
    std::atomic<int> write_{0}, read_{0};
    std::atomic<uint8_t> held_{0}, running_{1};
};

TEST(DShowRing, DrainHoldAndResumeLoseNoPicture) {
    constexpr int kPictures = 1000;
    FakeRing ring;
    std::vector<int> taken;
    int sound_pauses = 0, sound_resumes = 0;
    bool sound_paused = false;
    dshow_input::SoundHold sound{[&] { return sound_paused; }, [&] { sound_paused = true, ++sound_pauses; },
                                 [&] { sound_paused = false, ++sound_resumes; }};
    std::thread callback([&] { ring.produce(kPictures); });
    dshow_input::DrainStep step;
    do {
        step = dshow_input::drain_ring(
            ring,
            [&](const uint8_t* data, size_t length) {
                int n = -1;
                if (length == 4) std::memcpy(&n, data, 4);
                taken.push_back(n);
                return true;
            },
            &sound);
        if (step == dshow_input::DrainStep::kIdle) std::this_thread::yield();
    } while (step != dshow_input::DrainStep::kEnded);
    callback.join();
    ASSERT_EQ(taken.size(), size_t(kPictures));
    for (int i = 0; i < kPictures; ++i) ASSERT_EQ(taken[size_t(i)], i);
    EXPECT_GE(ring.releases.load(), 1);
    EXPECT_EQ(sound_pauses, sound_resumes);
    EXPECT_FALSE(sound_paused);

    // A take that stops the run ends the drain at once.
    FakeRing stopped;
    std::thread more([&] { stopped.produce(5); });
    more.join();
    int calls = 0;
    EXPECT_EQ(dshow_input::drain_ring(stopped, [&](const uint8_t*, size_t) { return ++calls < 2; }, nullptr),
              dshow_input::DrainStep::kEnded);
    EXPECT_EQ(calls, 2);
}

// ---- the branches over files ----

class RecordingSink : public BranchSink {
public:
    void status(const char* text) override { statuses.push_back(text); }
    intptr_t notify(int code, intptr_t argument) override {
        notices.push_back({code, argument});
        return 0;
    }
    void timeline(intptr_t frame) override { timeline_frames.push_back(int(frame)); }
    void label(const char* text) override { labels.push_back(text); }
    std::vector<std::string> statuses, labels;
    std::vector<std::pair<int, intptr_t>> notices;
    std::vector<int> timeline_frames;
};

struct Source {
    std::string path;
    int video_frames = 0;
    double sound_seconds = 0;
    double fps = 25;
    int width = 0, height = 0, rate = 0, channels = 0;
};

Source look_at(const std::string& path) {
    Source s;
    s.path = path;
    std::string errors;
    const auto decoded = media_test::decoded_frames(path, &errors);
    const auto streams = media_test::probe_streams(path);
    for (size_t i = 0; i < streams.size(); ++i) {
        const auto& f = streams[i];
        const int index = std::stoi(f.at("index"));
        const auto d = decoded.find(index);
        if (f.at("codec_type") == "video" && s.width == 0) {
            s.width = std::stoi(f.at("width"));
            s.height = std::stoi(f.at("height"));
            if (d != decoded.end()) s.video_frames = d->second.frames;
        } else if (f.at("codec_type") == "audio" && s.rate == 0) {
            s.rate = std::stoi(f.at("sample_rate"));
            s.channels = std::stoi(f.at("channels"));
            if (d != decoded.end()) s.sound_seconds = d->second.seconds;
        }
    }
    return s;
}

std::string make(const std::string& name, const std::string& arguments) {
    std::string path;
    mpeg_fixtures::file(arguments, name, &path);
    return path;
}

// 2 s of a 160 x 120 moving picture at 25 a second and a 1 kHz tone, in `codecs`.
std::string source_args(int sample_rate, int channels, const std::string& codecs) {
    std::string a = "-f lavfi -i testsrc=size=160x120:rate=25";
    if (sample_rate > 0)
        a += " -f lavfi -i sine=frequency=1000:sample_rate=" + std::to_string(sample_rate) + " -ac " +
             std::to_string(channels);
    return a + " -t 2 " + codecs;
}

struct BranchRun {
    BranchResult result;
    int64_t pictures = 0;
    double sound_seconds = 0;
};

class FlashInput : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        native_input::install(calls_);
        previous_library_ = swf_set_picture_library(swf_zlib_library());
        cfg_merge_mode = 0;
        cfg_mp4_video_codec = 0;
        cfg_keyframe_interval = 20;
        cfg_aac_sample_rate = 44100;
        cfg_aac_channels = 2;
        cfg_aac_channel_mode = 0;
        g_out_width = 176;
        g_out_height = 144;
        g_out_format = kOutMp4;
        set_flag(g_show_video, false);
        set_flag(g_play_sound, false);
        set_flag(g_scope_feed, false);
        set_flag(g_paused, false);
    }
    void TearDown() override {
        set_flag(g_busy, false);
        g_outside = OutsideCalls{};
        swf_set_picture_library(previous_library_);
    }

    MediaJob job_for(const Source& s, FileKind kind) {
        MediaJob job = test_job(s.path.c_str(), s.width, s.height, s.fps, s.rate, s.channels);
        job.file_kind = kind;
        job.duration_s = 2;
        job.file_size = int(media_test::read_file(s.path).size());
        return job;
    }

    BranchRun convert(const MediaJob& job, const MediaFile* file = nullptr) {
        BranchRun run;
        sink_ = RecordingSink();
        g_output.begin_run(kOutMp4, chosen_video_codec(kOutMp4), false);
        EXPECT_TRUE(g_output.set_up_sound(false));
        EXPECT_TRUE(pcm_buffer_allocate());
        EXPECT_TRUE(g_output.set_up_video(job));
        set_flag(g_write_output, true);
        set_flag(g_busy, true);
        g_frame_path.begin_run(ui_, g_outside.clock, false, 1);
        EXPECT_TRUE(g_output.create("out.mp4", job, job.channels > 0 && job.sample_rate > 0));
        audio_set_up_job(job.sample_rate, job.channels);
        ConversionContext context;
        context.job = &job;
        context.file = file;
        context.sink = &sink_;
        context.frames = &g_frame_path;
        context.calls = &calls_;
        run.result = run_conversion_branch(job.file_kind, context);
        audio_end_of_output();
        run.pictures = g_frame_path.decoded_pictures();
        run.sound_seconds = double(g_output.sound_bytes()) / (2.0 * g_out_rate * g_out_channels);
        EXPECT_EQ(g_busy.load(), 1) << "the branch leaves the run flag to the thread";
        set_flag(g_busy, false);
        g_output.close_at_end();
        g_output.end_run();
        set_flag(g_write_output, false);
        audio_release();
        pcm_buffer_free();
        frame_buffer_free();
        return run;
    }

    InputCalls calls_;
    RecordingUi ui_;
    RecordingSink sink_;
    const SwfPictureLibrary* previous_library_ = nullptr;
};

// The sound format + 1 of the kind, from the file's first audio tag (as the probe forms it).
FileKind flv_kind_of(const std::string& path) {
    const std::vector<uint8_t> bytes = media_test::read_file(path);
    MemoryByteSource source(bytes.data(), bytes.size());
    const FlvScan scan = scan_flv(source);
    return file_kind::flv(scan.video_codec == kFlvVp6 ? 1 : scan.video_codec, scan.sound_plus_one);
}

// The file with its header grown to `size` bytes (zeros after the nine header bytes).
std::string with_header_size(const std::string& path, uint32_t size, const std::string& name) {
    std::vector<uint8_t> bytes = media_test::read_file(path);
    bytes.insert(bytes.begin() + 9, size - 9, 0);
    for (int i = 0; i < 4; ++i) bytes[size_t(5 + i)] = uint8_t(size >> (24 - 8 * i));
    const std::string out = media_test::fresh_path(name);
    media_test::write_file(out, bytes);
    return out;
}

TEST_F(FlashInput, FlvEveryPictureAndAllTheSound) {
    struct Case {
        const char* name;
        int rate, channels;
        const char* codecs;
        const char* decoder;  // the count that shows the picture decoder used
        // A sound the branch has no decoder for: no sound, and this text on the label.
        const char* no_sound = nullptr;
    };
    const Case cases[] = {
        {"sorenson_mp3", 44100, 2, "-c:v flv1 -q:v 4 -c:a libmp3lame -b:a 128k", "sh263de_frame"},
        {"sorenson_adpcm_stereo", 22050, 2, "-c:v flv1 -q:v 4 -c:a adpcm_swf", "sh263de_frame"},
        {"sorenson_pcm16", 22050, 1, "-c:v flv1 -q:v 4 -c:a pcm_s16le", "sh263de_frame"},
        {"sorenson_pcm8", 11025, 2, "-c:v flv1 -q:v 4 -c:a pcm_u8", "sh263de_frame"},
        {"h264_aac_no_index", 44100, 2, "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 128k",
         "h264_decode"},
        {"sorenson_nellymoser", 22050, 1, "-c:v flv1 -q:v 4 -c:a nellymoser", "sh263de_frame", "该多媒体文件无音频"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Source s = look_at(make(std::string(c.name) + ".flv", source_args(c.rate, c.channels, c.codecs) + " -f flv"));
        ASSERT_EQ(s.video_frames, 50);
        ASSERT_GT(s.sound_seconds, 1.9);
        native_input::install(calls_);
        const BranchRun run = convert(job_for(s, flv_kind_of(s.path)));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
        EXPECT_EQ(run.pictures, s.video_frames);
        EXPECT_NEAR(run.sound_seconds, c.no_sound ? 0.0 : s.sound_seconds, 1.0 / s.fps);
        EXPECT_EQ(c.no_sound ? std::vector<std::string>{c.no_sound} : std::vector<std::string>{}, sink_.labels);
        EXPECT_GT(native_input::counts[c.decoder], 0);
        // No record: no 8889, every picture on the timeline in order.
        EXPECT_TRUE(sink_.notices.empty());
        // H.264: the sequence header and the end of sequence are video tags too.
        ASSERT_GE(sink_.timeline_frames.size(), size_t(s.video_frames));
        ASSERT_LE(sink_.timeline_frames.size(), size_t(s.video_frames) + 2);
        for (size_t i = 0; i < sink_.timeline_frames.size(); ++i) ASSERT_EQ(sink_.timeline_frames[i], int(i));
        EXPECT_EQ(sink_.statuses.back(), "转换" + s.path + "结束");
    }

    // A header of 13 bytes: the first record is read where the header says.
    const Source plain = look_at(make("header9.flv", source_args(44100, 2, cases[0].codecs) + " -f flv"));
    Source grown = plain;
    grown.path = with_header_size(plain.path, 13, "header13.flv");
    native_input::install(calls_);
    const BranchRun run = convert(job_for(grown, flv_kind_of(plain.path)));
    EXPECT_EQ(run.pictures, plain.video_frames);
    EXPECT_NEAR(run.sound_seconds, plain.sound_seconds, 1.0 / plain.fps);

    // Script and other tags are stepped over; H.264 already in start codes goes to the decoder as it is.
    flv_test::FlvWriter w;
    w.tag(18, 0, std::vector<uint8_t>(300, 7));
    w.tag(15, 0, std::vector<uint8_t>(20, 1));
    const std::vector<uint8_t> unit = {0x17, 1, 0, 0, 0, 0, 0, 0, 1, 0x65, 0x88, 0x84, 0, 0x33};
    w.video(0, unit);
    w.video(0x01000010, unit);  // a time with its extended byte
    const std::string made = media_test::fresh_path("start_codes.flv");
    media_test::write_file(made, w.file());
    Source tiny;
    tiny.path = made;
    tiny.width = 160;
    tiny.height = 120;
    native_input::install(calls_);
    convert(job_for(tiny, file_kind::flv(7, 0)));
    ASSERT_EQ(native_input::video_inputs.size(), 2u);
    EXPECT_EQ(native_input::video_inputs[0], std::vector<uint8_t>(unit.begin() + 5, unit.end()));
    EXPECT_EQ(sink_.timeline_frames, (std::vector<int>{0, 1}));
}

// A play takes the FLV's H.264 pictures as YUY2 for the video window, as ffmpeg decodes the file into
// YUY2: the luma byte for byte, U and V in their places (within 4 on average). A conversion takes
// B,G,R.
TEST_F(FlashInput, FlvH264PlayTakesYuy2Pictures) {
    const Source s = look_at(make("play_yuy2.flv", source_args(44100, 2, "-c:v libx264 -preset veryfast -pix_fmt yuv420p "
                                                                       "-c:a aac -b:a 128k -f flv")));
    ASSERT_EQ(s.video_frames, 50);
    const std::string yuy2 =
        media_test::run("ffmpeg -nostdin -v error -i '" + s.path + "' -map 0:v:0 -vsync passthrough -f rawvideo -pix_fmt yuyv422 - "
                        "2>/dev/null");
    const size_t row = size_t(s.width) * 2, picture_bytes = row * size_t(s.height);
    ASSERT_EQ(yuy2.size(), picture_bytes * 50);
    for (bool playing : {true, false}) {
        SCOPED_TRACE(playing ? "play" : "convert");
        native_input::install(calls_);
        std::unique_ptr<InputReader> reader = make_flv_reader();
        reader->set_playing(playing);
        std::string error;
        ASSERT_TRUE(reader->open(job_for(s, flv_kind_of(s.path)), calls_, &error)) << error;
        std::vector<uint8_t> pcm(65536);
        MediaOutput out;
        out.pcm = pcm.data();
        out.pcm_capacity = pcm.size();
        out.pcm_rate = s.rate;
        out.pcm_channels = s.channels;
        out.on_sound = [](const SoundBlock&) {};
        size_t index = 0, wrong_format = 0, luma_differs = 0;
        double chroma_difference = 0;
        out.on_picture = [&](const PictureView& p) {
            const PixelFormat want = playing ? PixelFormat::kYuy2 : PixelFormat::kBgr24;
            if (p.format != want || p.width != s.width || p.height != s.height ||
                p.stride != picture::natural_stride(want, s.width))
                ++wrong_format;
            else if (playing && index < 50)
                for (size_t y = 0; y < size_t(p.height); ++y)
                    for (size_t x = 0; x < row; ++x) {
                        const int got = p.data[y * size_t(p.stride) + x];
                        const int want = uint8_t(yuy2[index * picture_bytes + y * row + x]);
                        if (x % 2 == 0) luma_differs += got != want;
                        else chroma_difference += std::abs(got - want);
                    }
            ++index;
        };
        for (int guard = 0; guard < 10000 && reader->read_next(out) == ReadStatus::kOk; ++guard) {
        }
        reader->flush(out);
        reader->close();
        EXPECT_EQ(index, 50u);
        EXPECT_EQ(wrong_format, 0u);
        EXPECT_EQ(luma_differs, 0u);
        // The stand-in and ffmpeg's command line fill the 4:2:2 rows from the 4:2:0 chroma differently
        // (1.6 on average, measured); U and V swapped or misplaced give tens.
        EXPECT_LE(chroma_difference / (50.0 * double(picture_bytes) / 2), 4.0);
        EXPECT_EQ(native_input::counts["h264_decodeyuv"] > 0, playing);
    }
}

TEST_F(FlashInput, FlvH264WithARecordFromTheKeyFrameBeforeItsStart) {
    const Source s = look_at(make("indexed.flv", source_args(44100, 2, "-c:v libx264 -preset veryfast -g 10 -bf 0 "
                                                                       "-pix_fmt yuv420p -c:a aac -b:a 128k -f flv")));
    ASSERT_EQ(s.video_frames, 50);
    // The record as the probe makes it: one entry a video tag, the parameter sets and the AAC
    // configuration as its two blocks.
    const std::vector<uint8_t> bytes = media_test::read_file(s.path);
    MemoryByteSource source(bytes.data(), bytes.size());
    const FlvScan scan = scan_flv(source);
    MediaFile file;
    ASSERT_FALSE(scan.avc_parameter_sets.empty());
    ASSERT_FALSE(scan.aac_config.empty());
    file.record.param_len1 = int(scan.avc_parameter_sets.size());
    std::memcpy(file.record.param_block1, scan.avc_parameter_sets.data(), scan.avc_parameter_sets.size());
    file.record.param_len2 = int(scan.aac_config.size());
    std::memcpy(file.record.param_block2, scan.aac_config.data(), scan.aac_config.size());
    // The sequence header (and the end of sequence) are video tags too: pictures are entries 1 ... 50.
    for (const IndexEntry& e : scan.entries) {
        Segment seg;
        seg.entry = e;
        file.segments.push_back(seg);
    }
    ASSERT_GE(file.segments.size(), 51u);
    ASSERT_EQ(file.segments[21].entry.is_key, 1);
    ASSERT_NE(file.segments[25].entry.is_key, 1);
    file.record.segment_count = int(file.segments.size());
    file.record.range_start = 25;
    file.record.range_end = 40;
    MediaJob job = job_for(s, flv_kind_of(s.path));
    job.file_index = 2;
    native_input::install(calls_);
    const BranchRun run = convert(job, &file);
    EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
    // Pictures 25 ... 40 (entry E is read, the tags after it are not), the sound from the start's time.
    EXPECT_EQ(run.pictures, 16);
    EXPECT_NEAR(run.sound_seconds, 16 / s.fps, 1.5 / s.fps);
    EXPECT_EQ(native_input::counts["aacdecodebuf_init"], 1);
    ASSERT_FALSE(sink_.notices.empty());
    EXPECT_EQ(sink_.notices[0], (std::pair<int, intptr_t>{kNoticeSaveSettings, 2}));
    std::vector<int> announced;
    for (int f = 25; f <= 40; ++f) announced.push_back(f);
    EXPECT_EQ(sink_.timeline_frames, announced);
    std::vector<std::pair<int, intptr_t>> thumbnails(sink_.notices.begin() + 1, sink_.notices.end());
    EXPECT_EQ(thumbnails, (std::vector<std::pair<int, intptr_t>>{{kNoticeThumbnail + 2, 31}}));
}

TEST_F(FlashInput, Flv190000TagsAgainstARecordOf180000Entries) {
    // Tiny video tags that do not decode, each a frame index of the file.
    constexpr int kTags = 190000;
    flv_test::FlvWriter w(1);
    for (int i = 0; i < kTags; ++i) w.video(uint32_t(i * 40), {uint8_t(i % 50 == 0 ? 0x12 : 0x22), 0});
    const std::string path = media_test::fresh_path("many.flv");
    media_test::write_file(path, w.file());
    MediaFile file;
    file.segments.resize(size_t(kFlvMaxIndexed));
    for (int i = 0; i < kFlvMaxIndexed; ++i) {
        file.segments[size_t(i)].entry.position = int32_t(9 + 4 + 17 * i + 12);
        file.segments[size_t(i)].entry.is_key = i % 50 == 0 ? 1 : 2;
    }
    file.record.segment_count = kTags;  // more than the list holds
    file.record.range_start = 0;
    file.record.range_end = 0;
    Source s;
    s.path = path;
    s.width = 160;
    s.height = 120;
    MediaJob job = job_for(s, file_kind::flv(2, 0));
    job.file_index = 0;
    set_flag(g_show_video, false);
    const BranchRun run = convert(job, &file);
    EXPECT_EQ(run.pictures, 0);
    ASSERT_EQ(sink_.timeline_frames.size(), size_t(kTags));
    EXPECT_EQ(sink_.timeline_frames.back(), kTags - 1);
    // Thumbnails only from the entries held.
    int thumbnails = 0, last = -1;
    for (const auto& n : sink_.notices)
        if (n.first == kNoticeThumbnail) ++thumbnails, last = int(n.second);
    EXPECT_EQ(thumbnails, kFlvMaxIndexed / 50);
    EXPECT_LT(last, kFlvMaxIndexed);
}

TEST_F(FlashInput, DamagedFlvEndsTheJob) {
    const Source s = look_at(make("whole.flv", source_args(44100, 2, "-c:v flv1 -q:v 4 -c:a libmp3lame -b:a 128k -f flv")));
    const std::vector<uint8_t> bytes = media_test::read_file(s.path);
    auto written = [](const std::string& name, const std::vector<uint8_t>& b) {
        const std::string p = media_test::fresh_path(name);
        media_test::write_file(p, b);
        return p;
    };
    std::vector<uint8_t> third(bytes.begin(), bytes.begin() + long(bytes.size() / 3));
    // Bodies under their own headers: a video tag of 1 byte, sound tags of 0 and 1 byte, AAC of 1 byte.
    flv_test::FlvWriter shorts;
    shorts.video(0, {0x22});
    shorts.audio(0, {});
    shorts.audio(0, {0x2F});
    shorts.video(0, {});
    flv_test::FlvWriter aac;
    aac.audio(0, {0xAF});
    aac.video(0, {0x17, 1});
    // A length past the file, and one of 16 MB in the middle.
    flv_test::FlvWriter past;
    past.tag(9, 0, std::vector<uint8_t>(40, 0), 0xFFFFFF);
    std::vector<uint8_t> middle = bytes;
    middle[size_t(9 + 5)] = 0xFF;  // the first record's body length
    struct Case {
        const char* why;
        std::string path;
        FileKind kind;
        BranchOutcome outcome;
    };
    const Case cases[] = {
        {"cut at a third", written("third.flv", third), flv_kind_of(s.path), BranchOutcome::kDone},
        {"bodies under their header", written("shorts.flv", shorts.file()), file_kind::flv(2, 3), BranchOutcome::kFailed},
        {"AAC and H.264 under their header", written("aac.flv", aac.file()), file_kind::flv(7, 11),
         BranchOutcome::kFailed},
        {"a length past the file", written("past.flv", past.file()), file_kind::flv(2, 0), BranchOutcome::kFailed},
        {"a first length of 16 MB", written("middle.flv", middle), flv_kind_of(s.path), BranchOutcome::kFailed},
        {"not FLV", written("not.flv", std::vector<uint8_t>(bytes.begin() + 3, bytes.end())), flv_kind_of(s.path),
         BranchOutcome::kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Source d = s;
        d.path = c.path;
        native_input::install(calls_);
        const BranchRun run = convert(job_for(d, c.kind));
        EXPECT_EQ(run.result.outcome, c.outcome) << run.result.text;
        if (c.outcome == BranchOutcome::kFailed) {
            EXPECT_EQ(run.result.text, input_text::kUnsupported);
        }
        if (c.path.find("third") != std::string::npos) {
            EXPECT_GT(run.pictures, 5);
            EXPECT_LT(run.pictures, s.video_frames / 2);
        }
    }
}

// ---- SWF ----

TEST_F(FlashInput, SwfEveryPictureAndAllTheSound) {
    // ffmpeg's swf muxer: Sorenson and MP3; the same movie compressed by this test.
    const Source mp3 = look_at(make("movie.swf", source_args(44100, 2, "-c:v flv1 -q:v 4 -c:a libmp3lame -b:a 128k -f swf")));
    ASSERT_EQ(mp3.video_frames, 50);
    std::vector<uint8_t> bytes = media_test::read_file(mp3.path);
    ASSERT_EQ(bytes[0], 'F');
    std::vector<uint8_t> body(bytes.begin() + 8, bytes.end());
    uLongf packed = compressBound(uLong(body.size()));
    std::vector<uint8_t> cws(8 + packed);
    std::memcpy(cws.data(), bytes.data(), 8);
    cws[0] = 'C';
    ASSERT_EQ(compress(cws.data() + 8, &packed, body.data(), uLong(body.size())), Z_OK);
    cws.resize(8 + packed);
    const std::string cws_path = media_test::fresh_path("movie_cws.swf");
    media_test::write_file(cws_path, cws);

    // Stereo SWF ADPCM: the pictures and sound of an FLV made by ffmpeg, put into a movie here.
    const Source flv = look_at(make("adpcm.flv", source_args(22050, 2, "-c:v flv1 -q:v 4 -c:a adpcm_swf -f flv")));
    std::vector<std::vector<uint8_t>> pictures, sounds;
    swf_test::flv_bodies(media_test::read_file(flv.path), &pictures, &sounds);
    ASSERT_EQ(pictures.size(), 50u);
    ASSERT_FALSE(sounds.empty());
    const std::string adpcm_path = media_test::fresh_path("adpcm.swf");
    media_test::write_file(adpcm_path, swf_test::adpcm_movie(160, 120, pictures, sounds));

    struct Case {
        const char* why;
        std::string path;
        FileKind kind;
        const Source* reference;
    };
    const Case cases[] = {
        {"Sorenson + MP3", mp3.path, file_kind::swf(2, 2), &mp3},
        {"the same compressed", cws_path, file_kind::swf(2, 2), &mp3},
        {"Sorenson + stereo ADPCM", adpcm_path, file_kind::swf(2, 1), &flv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Source s = *c.reference;
        s.path = c.path;
        native_input::install(calls_);
        const BranchRun run = convert(job_for(s, c.kind));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
        EXPECT_EQ(run.pictures, c.reference->video_frames);
        EXPECT_NEAR(run.sound_seconds, c.reference->sound_seconds, 1.0 / 25);
        EXPECT_EQ(native_input::counts["sh263de_exit"], 1);
    }

    // A range over the movie's pictures: 10 ... 29, with the sound of those frames.
    MediaFile file = flv_record(std::string(50, '0').c_str(), 10, 29);
    MediaJob job = job_for(mp3, file_kind::swf(2, 2));
    job.file_index = 1;
    native_input::install(calls_);
    const BranchRun range = convert(job, &file);
    EXPECT_EQ(range.pictures, 20);
    EXPECT_NEAR(range.sound_seconds, 20 / 25.0, 2.0 / 25);
    ASSERT_FALSE(sink_.timeline_frames.empty());
    EXPECT_EQ(sink_.timeline_frames.front(), 10);
    EXPECT_EQ(sink_.timeline_frames.back(), 29);

    // Damaged: cut at a third (the reader keeps the tags that are whole), and a body under its header.
    std::vector<uint8_t> third(bytes.begin(), bytes.begin() + long(bytes.size() / 3));
    const std::string third_path = media_test::fresh_path("third.swf");
    media_test::write_file(third_path, third);
    swf_test::SwfWriter shorts(160, 120, 25, 2);
    shorts.tag(61, {1, 0});
    shorts.tag(19, {});
    const std::string shorts_path = media_test::fresh_path("shorts.swf");
    media_test::write_file(shorts_path, shorts.file());
    for (const std::string& p : {third_path, shorts_path}) {
        Source d = mp3;
        d.path = p;
        native_input::install(calls_);
        const BranchRun run = convert(job_for(d, file_kind::swf(2, 2)));
        EXPECT_NE(run.result.outcome, BranchOutcome::kStopped) << p;
        EXPECT_LT(run.pictures, mp3.video_frames / 2) << p;
    }
}

}  // namespace
