// The AVI and MPEG input branches of the conversion over the native cores (stream parser, libavcodec
// pictures, ADPCM, MPEG audio, AC-3) and recording fakes of the encoders and the dialog: every picture
// and all the sound arrive (counted against ffprobe), the AVI range and its notices, the PCM expansion,
// and damaged, truncated and foreign input.
#include <gtest/gtest.h>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include "engine/audio/audio_path.h"
#include "engine/frame/frame_path.h"
#include "engine/input/avi_input.h"
#include "engine/input/conversion_branch.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/input/tests/native_input_calls.h"
#include "engine/output/output_session.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/testing/conversion_driver.h"
#include "engine/testing/recording_calls.h"
#include "engine/testing/recording_ui.h"
#include "media/avi/avilib.h"
#include "media/mpeg/tests/test_tag.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/signal_check.h"

namespace {

using media_test::le32;
using media_test::put_le32;

// ---- the AVI range ----

MediaFile file_with(const char* marks, int seek_mode, int s, int e, int segment_count = -1) {
    MediaFile f;
    const int n = int(std::strlen(marks));
    f.record.seek_mode = uint8_t(seek_mode);
    f.record.range_start = s;
    f.record.range_end = e;
    f.record.segment_count = segment_count >= 0 ? segment_count : n;
    for (int i = 0; i < n; ++i) {
        Segment seg;
        seg.entry.is_key = uint8_t(marks[i] - '0');
        seg.entry.position = 1000 * i;
        f.segments.push_back(seg);
    }
    return f;
}

TEST(AviRange, StartAnnounceAndEndFromTheRecord) {
    struct Case {
        const char* name;
        const char* marks;
        int seek_mode, s, e, segment_count, frames;
        AviRange want;
    };
    const Case cases[] = {
        {"seek mode 0: the marked frame before S", "1000100000", 0, 6, 9, -1, 10, {4, 6, 9}},
        {"seek mode 0: S itself marked", "1000100000", 0, 4, 9, -1, 10, {4, 4, 9}},
        {"seek mode 1 counts as 0", "1000100000", 1, 6, 9, -1, 10, {4, 6, 9}},
        {"seek mode 2: S as it is", "1000100000", 2, 6, 9, -1, 10, {6, 6, 9}},
        {"no mark at or before S: from 0", "0000010000", 0, 3, 9, -1, 10, {0, 3, 9}},
        {"no marks at all", "0000000000", 0, 7, 9, -1, 10, {0, 7, 9}},
        {"S past the list: its last entry", "1000100000", 0, 50, 60, -1, 10, {4, 9, 10}},
        {"E past the list: the list's end", "1000100000", 0, 2, 60, -1, 10, {0, 2, 10}},
        {"E past the video index", "1000100000", 0, 2, 9, -1, 6, {0, 2, 6}},
        {"E not after S: to the end", "1000100000", 0, 5, 5, -1, 10, {4, 5, 10}},
        {"negative S", "1000100000", 0, -5, 3, -1, 10, {0, 0, 3}},
        {"count above the stored list", "1000100000", 0, 12, 14, 40, 20, {4, 9, 10}},
        {"count below the list: entries past it unmarked", "1000100000", 0, 4, 4, 3, 10, {0, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MediaFile f = file_with(c.marks, c.seek_mode, c.s, c.e, c.segment_count);
        const AviRange r = avi_range(&f, c.frames);
        EXPECT_EQ(r.start, c.want.start);
        EXPECT_EQ(r.announce_from, c.want.announce_from);
        EXPECT_EQ(r.end, c.want.end);
    }
    const AviRange whole = avi_range(nullptr, 17);
    EXPECT_EQ(whole.start, 0);
    EXPECT_EQ(whole.announce_from, 0);
    EXPECT_EQ(whole.end, 17);
}

TEST(AviRange, MarksOutsideTheListCountAsUnmarked) {
    MediaFile f = file_with("11", 0, 0, 0, 5);
    EXPECT_TRUE(segment_marked(&f, 1));
    EXPECT_FALSE(segment_marked(&f, 2));
    EXPECT_FALSE(segment_marked(&f, -1));
    EXPECT_FALSE(segment_marked(nullptr, 0));
}

// ---- PCM expansion ----

struct Collected {
    std::vector<int16_t> samples;
    std::vector<size_t> pieces;
};

MediaOutput collecting(std::vector<uint8_t>& block, Collected& c) {
    MediaOutput out;
    out.pcm = block.data();
    out.pcm_capacity = block.size();
    out.pcm_channels = 1;
    out.pcm_rate = 8000;
    out.on_sound = [&c](const SoundBlock& b) {
        c.pieces.push_back(b.byte_size());
        c.samples.insert(c.samples.end(), b.samples, b.samples + b.frames * b.channels);
    };
    return out;
}

TEST(AviPcm, SamplesOfEachWidth) {
    struct Case {
        int bits;
        std::vector<uint8_t> in;
        std::vector<int16_t> want;  // worked by hand from the expansion rules
    };
    const Case cases[] = {
        {4, {0x8F, 0x07}, {0, 7 * 256, -8 * 256, -1 * 256}},
        {8, {0x80, 0x00, 0xFF}, {0, -32768, 127 * 256}},
        {16, {0x34, 0x12, 0xFE, 0xFF, 0x55}, {0x1234, -2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        std::vector<uint8_t> block(64);
        Collected got;
        MediaOutput out = collecting(block, got);
        avi_pcm_expand(c.in.data(), c.in.size(), c.bits, out);
        out.flush_sound();
        EXPECT_EQ(got.samples, c.want);
    }
}

TEST(AviPcm, FourBitGivesFourBytesPerByteInPiecesThatFit) {
    constexpr size_t kCapacity = 1000;
    std::vector<uint8_t> in(1001);
    for (size_t i = 0; i < in.size(); ++i) in[i] = uint8_t(i * 37);
    std::vector<uint8_t> block(kCapacity);
    Collected got;
    MediaOutput out = collecting(block, got);
    const size_t made = avi_pcm_expand(in.data(), in.size(), 4, out);
    out.flush_sound();
    EXPECT_EQ(made, 4 * in.size());
    size_t total = 0;
    for (size_t p : got.pieces) {
        EXPECT_LE(p, kCapacity);
        total += p;
    }
    EXPECT_EQ(total, 4 * in.size());
    ASSERT_EQ(got.samples.size(), 2 * in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(got.samples[2 * i], int16_t(((in[i] >> 4) - 8) * 256)) << i;
        ASSERT_EQ(got.samples[2 * i + 1], int16_t(((in[i] & 15) - 8) * 256)) << i;
    }

    // Without a sound sink the block fills and the rest is left out, never written past it.
    std::vector<uint8_t> small(40);
    MediaOutput alone;
    alone.pcm = small.data();
    alone.pcm_capacity = small.size();
    EXPECT_EQ(avi_pcm_expand(in.data(), in.size(), 4, alone), 40u);
    EXPECT_EQ(alone.pcm_length, 40u);
}

TEST(AviAudioMode, CodecFieldThenTag) {
    Mpeg4AudioInfo a{};
    a.wave.format_tag = 1;
    EXPECT_EQ(avi_audio_mode(a), 1);
    a.wave.format_tag = 0x55;
    EXPECT_EQ(avi_audio_mode(a), kAviMpegAudioMode);
    a.wave.format_tag = 0x11;
    EXPECT_EQ(avi_audio_mode(a), 0x11);
    a.codec = 0x11 | 2 << 16;
    EXPECT_EQ(avi_audio_mode(a), 0x11 | 2 << 16);
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
    std::vector<std::string> statuses;
    std::vector<std::pair<int, intptr_t>> notices;
    std::vector<int> timeline_frames;
};

// A dialog that presses Stop after a number of progress notices.
class StoppingUi : public RecordingUi {
public:
    int stop_after = -1;
    intptr_t notify(int code, intptr_t argument) override {
        if (code == kNoticeClock && stop_after >= 0 && ++seen_ >= stop_after) set_flag(g_busy, false);
        return RecordingUi::notify(code, argument);
    }

private:
    int seen_ = 0;
};

struct Source {
    std::string path;
    int video_frames = 0;      // what ffmpeg decodes of the file
    double sound_seconds = 0;
    double fps = 25;
    int width = 0, height = 0, rate = 0, channels = 0;
};

// ffprobe's and ffmpeg's view of a file.
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
            int num = 25, den = 1;
            std::sscanf(f.at("r_frame_rate").c_str(), "%d/%d", &num, &den);
            s.fps = den ? double(num) / den : 25;
            if (d != decoded.end()) s.video_frames = d->second.frames;
        } else if (f.at("codec_type") == "audio" && s.rate == 0) {
            s.rate = std::stoi(f.at("sample_rate"));
            s.channels = std::stoi(f.at("channels"));
            if (d != decoded.end()) s.sound_seconds = d->second.seconds;
        }
    }
    return s;
}

const char* const kPicture = "-f lavfi -i testsrc=size=160x120:rate=%s";
const char* const kTone = "-f lavfi -i sine=frequency=1000:sample_rate=%d";

std::string make(const std::string& name, const std::string& arguments) {
    std::string path;
    mpeg_fixtures::file(arguments, name, &path);
    return path;
}

std::string avi_args(const char* rate, int sample_rate, const std::string& codecs) {
    char text[512];
    std::snprintf(text, sizeof text, kPicture, rate);
    std::string a = text;
    if (sample_rate > 0) {
        std::snprintf(text, sizeof text, kTone, sample_rate);
        a += " " + std::string(text);
    }
    return a + " -t 2 " + codecs + " -f avi";
}

struct BranchRun {
    BranchResult result;
    int64_t pictures = 0;
    double sound_seconds = 0;
};

class InputBranch : public ::testing::Test {
protected:
    void SetUp() override {
        fakes::install(g_outside);
        native_input::install(calls_);
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
    }

    MediaJob job_for(const Source& s, FileKind kind) {
        MediaJob job = test_job(s.path.c_str(), s.width, s.height, s.fps, s.rate, s.channels);
        job.file_kind = kind;
        job.file_size = int(media_test::read_file(s.path).size());
        return job;
    }

    BranchRun convert(const MediaJob& job, const MediaFile* file = nullptr) {
        BranchRun run;
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
    StoppingUi ui_;
    RecordingSink sink_;
};

// Sound within one picture's time of the source's (the AAC block padding is 1024 samples, well inside).
void expect_sound(const BranchRun& run, const Source& s) {
    EXPECT_NEAR(run.sound_seconds, s.sound_seconds, 1.0 / s.fps) << s.path;
}

TEST_F(InputBranch, AviEveryPictureAndAllTheSound) {
    struct Case {
        const char* name;
        const char* rate;
        int sample_rate;
        const char* codecs;
    };
    const Case cases[] = {
        {"mjpeg_s16", "25", 44100, "-ac 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le"},
        {"mjpeg_u8", "30000/1001", 22050, "-ac 1 -c:v mjpeg -q:v 5 -c:a pcm_u8"},
        {"xvid_mp3", "25", 44100, "-ac 2 -c:v mpeg4 -vtag XVID -q:v 4 -c:a libmp3lame -b:a 128k"},
        {"xvid_ima_adpcm", "30000/1001", 22050, "-ac 2 -c:v mpeg4 -vtag XVID -q:v 4 -c:a adpcm_ima_wav"},
        {"xvid_mp2", "25", 48000, "-ac 2 -c:v mpeg4 -vtag DIVX -q:v 4 -c:a mp2 -b:a 192k"},
        {"mjpeg_silent", "25", 0, "-c:v mjpeg -q:v 5"},
        // Pictures 20 to 22 left out: ffmpeg's AVI writer keeps their time with three empty chunks.
        {"mjpeg_dropped", "25", 44100,
         "-ac 2 -c:v mjpeg -q:v 5 -vf select='not(between(n\\,20\\,22))' -vsync passthrough -c:a pcm_s16le"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Source s = look_at(make(std::string(c.name) + ".avi", avi_args(c.rate, c.sample_rate, c.codecs)));
        ASSERT_GT(s.video_frames, 40);
        // An empty chunk holds the picture before it for one more frame (the MPEG-4 encoder's delay
        // makes one at frame 1): as many pictures as ffmpeg gives at the file's constant rate.
        const int constant_rate = media_test::constant_rate_frames(s.path);
        ASSERT_GE(constant_rate, s.video_frames);
        sink_ = RecordingSink();
        native_input::counts.clear();
        const BranchRun run = convert(job_for(s, file_kind::kAvi));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
        EXPECT_EQ(run.pictures, constant_rate);
        if (c.sample_rate > 0) expect_sound(run, s);
        else EXPECT_EQ(run.sound_seconds, 0);
        // A job without a record: no 8889 nor thumbnails; the timeline hears of every index entry, in
        // order (the empty chunks too, which ffprobe does not list).
        EXPECT_TRUE(sink_.notices.empty());
        ASSERT_EQ(int(sink_.timeline_frames.size()), constant_rate);
        for (size_t i = 0; i < sink_.timeline_frames.size(); ++i) ASSERT_EQ(sink_.timeline_frames[i], int(i));
        ASSERT_FALSE(sink_.statuses.empty());
        EXPECT_EQ(sink_.statuses.back(), "转换" + s.path + "结束");
        EXPECT_EQ(native_input::counts["tolmdivx_close"], 1);
    }
}

TEST_F(InputBranch, AviRangeFromTheKeyFrameBeforeStartToEnd) {
    const Source s = look_at(make("range.avi", avi_args("25", 44100, "-ac 2 -c:v mpeg4 -vtag XVID -g 10 -q:v 4 "
                                                                       "-c:a pcm_s16le")));
    // The segment list as the analysis writes it: one entry a picture, key pictures marked.
    MediaFile file;
    int index = 0;
    for (const media_test::Packet& p : media_test::probe_packets(s.path)) {
        if (p.stream != 0) continue;
        Segment seg;
        seg.entry.is_key = p.key ? 1 : 0;
        seg.entry.position = int32_t(p.pos);
        seg.entry.length = int32_t(p.size);
        file.segments.push_back(seg);
        ++index;
    }
    ASSERT_EQ(index, s.video_frames);
    ASSERT_TRUE(file.segments[10].entry.is_key && file.segments[20].entry.is_key && file.segments[30].entry.is_key);
    ASSERT_FALSE(file.segments[15].entry.is_key);
    file.record.segment_count = index;
    file.record.range_start = 15;
    file.record.range_end = 35;
    file.record.seek_mode = 0;
    MediaJob job = job_for(s, file_kind::kAvi);
    job.file_index = 3;
    const BranchRun run = convert(job, &file);
    EXPECT_EQ(run.result.outcome, BranchOutcome::kDone);
    EXPECT_EQ(run.pictures, 35 - 10);
    EXPECT_NEAR(run.sound_seconds, 25 / s.fps, 1 / s.fps);
    ASSERT_FALSE(sink_.notices.empty());
    EXPECT_EQ(sink_.notices[0], (std::pair<int, intptr_t>{kNoticeSaveSettings, 3}));
    std::vector<std::pair<int, intptr_t>> thumbnails(sink_.notices.begin() + 1, sink_.notices.end());
    EXPECT_EQ(thumbnails, (std::vector<std::pair<int, intptr_t>>{{kNoticeThumbnail + 3, 20}, {kNoticeThumbnail + 3, 30}}));
    std::vector<int> announced;
    for (int f = 15; f < 35; ++f) announced.push_back(f);
    EXPECT_EQ(sink_.timeline_frames, announced);

    // Seek mode 2 starts at S itself; its first pictures do not decode until the next key picture,
    // and are skipped.
    file.record.seek_mode = 2;
    sink_ = RecordingSink();
    const BranchRun exact = convert(job, &file);
    EXPECT_EQ(exact.result.outcome, BranchOutcome::kDone);
    EXPECT_LE(exact.pictures, 35 - 15);
    EXPECT_GE(exact.pictures, 35 - 20);
    EXPECT_EQ(sink_.timeline_frames, announced);
}

// What the AVI reader hands over from picture `from` on (seeking there when it is not the first):
// every picture (B,G,R rows at the reader's stride) and every sound sample.
struct AviRead {
    std::vector<std::vector<uint8_t>> pictures;
    std::vector<int16_t> sound;
    int rate = 0, channels = 0;
};
AviRead read_avi(const MediaJob& job, const InputCalls& calls, int from) {
    AviRead read;
    std::unique_ptr<InputReader> reader = make_avi_reader();
    std::string error;
    EXPECT_TRUE(reader->open(job, calls, &error)) << error;
    std::vector<uint8_t> frame(reader->frame_capacity()), pcm(size_t(1) << 16);
    MediaOutput out;
    out.frame.data = frame.data();
    out.frame_capacity = frame.size();
    out.pcm = pcm.data();
    out.pcm_capacity = pcm.size();
    out.pcm_rate = job.sample_rate;
    out.pcm_channels = job.channels;
    out.on_picture = [&](const PictureView& p) {
        read.pictures.emplace_back(p.data, p.data + size_t(p.stride) * size_t(p.height));
    };
    out.on_sound = [&](const SoundBlock& b) {
        read.sound.insert(read.sound.end(), b.samples, b.samples + size_t(b.frames) * size_t(b.channels));
        read.rate = b.rate;
        read.channels = b.channels;
    };
    if (from > 0) {
        EXPECT_TRUE(reader->seek_frame(from));
    }
    while (reader->read_next(out) == ReadStatus::kOk) {
    }
    reader->flush(out);
    out.flush_sound();
    reader->close();
    return read;
}

// An empty chunk (a picture ffmpeg's writer left out keeps its time as one) hands the picture before
// it over once more: the same bytes, and ffmpeg's constant-rate decode shows the same picture there.
TEST_F(InputBranch, AviEmptyChunkHandsThePictureBeforeItOnceMore) {
    const Source s = look_at(make("dropped.avi", avi_args("25", 0, "-c:v mjpeg -q:v 5 -vf select='not(between(n\\,20\\,22))' "
                                                                  "-vsync passthrough")));
    ASSERT_EQ(s.video_frames, 47);
    const AviRead read = read_avi(job_for(s, file_kind::kAvi), calls_, 0);
    ASSERT_EQ(int(read.pictures.size()), media_test::constant_rate_frames(s.path));
    ASSERT_EQ(read.pictures.size(), 50u);
    for (int f = 20; f <= 22; ++f) EXPECT_EQ(read.pictures[size_t(f)], read.pictures[19]) << f;
    EXPECT_NE(read.pictures[23], read.pictures[19]);
    // ffmpeg's pictures at the same frames (packed rows; ours at a 4-byte stride, equal for 160 wide).
    const std::string raw = media_test::run("ffmpeg -nostdin -v error -i '" + s.path +
                                            "' -map 0:v:0 -vsync cfr -f rawvideo -pix_fmt bgr24 - 2>/dev/null");
    const size_t size = size_t(160) * 120 * 3;
    ASSERT_EQ(raw.size(), 50 * size);
    for (int f : {19, 21, 23}) {
        const std::vector<uint8_t> want(raw.begin() + f * size, raw.begin() + (f + 1) * size);
        EXPECT_GT(signal_check::psnr(want, read.pictures[size_t(f)], 160, 120), 35.0) << f;
    }
}

// A seek starts the sound at the picture's time, to the sample: what follows is what a read from the
// file's start gives from that time on. MPEG audio is decoded from a few chunks earlier, as its first
// frame takes bytes of the frames before it (decoded from the chunk alone it comes out silent or
// wrong); PCM from the chunk the time falls into.
TEST_F(InputBranch, AviSeekStartsTheSoundAtThePicturesTime) {
    struct Case {
        const char* name;
        const char* codecs;
    };
    const Case cases[] = {
        {"seek_mp3", "-ac 2 -c:v mpeg4 -vtag XVID -g 10 -q:v 4 -c:a libmp3lame -b:a 128k"},
        {"seek_pcm", "-ac 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Source s = look_at(make(std::string(c.name) + ".avi", avi_args("25", 44100, c.codecs)));
        const MediaJob job = job_for(s, file_kind::kAvi);
        const AviRead whole = read_avi(job, calls_, 0);
        ASSERT_EQ(whole.rate, 44100);
        ASSERT_EQ(whole.channels, 2);
        for (int from : {10, 23, 37}) {
            SCOPED_TRACE(from);
            const AviRead part = read_avi(job, calls_, from);
            // Frame `from` of 25 a second at 44100 samples a second, two channels.
            const size_t start = size_t(from) * 44100 / 25 * 2;
            ASSERT_GT(whole.sound.size(), start);
            ASSERT_EQ(part.sound.size(), whole.sound.size() - start);
            size_t differ = 0;
            for (size_t i = 0; i < part.sound.size(); ++i) differ += part.sound[i] != whole.sound[start + i];
            EXPECT_EQ(differ, 0u);
            // Not silent from its first picture on: the first 20 ms carry the tone at its full height.
            int peak = 0, whole_peak = 0;
            for (size_t i = 0; i < 882 * 2; ++i) peak = std::max(peak, std::abs(int(part.sound[i])));
            for (int16_t v : whole.sound) whole_peak = std::max(whole_peak, std::abs(int(v)));
            EXPECT_GT(peak, whole_peak * 3 / 4);
        }
    }
}

TEST_F(InputBranch, AviUndecodablePicturesAreSkipped) {
    const Source s = look_at(make("skip.avi", avi_args("25", 0, "-c:v mjpeg -q:v 5")));
    native_input::refuse_pictures = 3;
    const BranchRun run = convert(job_for(s, file_kind::kAvi));
    EXPECT_EQ(run.result.outcome, BranchOutcome::kDone);
    EXPECT_EQ(run.pictures, s.video_frames - 3);
}

// Where the idx1 chunk starts (the writer puts it last).
size_t idx1_at(const std::vector<uint8_t>& f) {
    for (size_t i = f.size() - 8; i > 12; --i)
        if (std::memcmp(&f[i], "idx1", 4) == 0) return i;
    return 0;
}

TEST_F(InputBranch, AviDamagedFilesEndWithWhatWasThere) {
    const std::string path = make("whole.avi", avi_args("25", 44100, "-ac 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le"));
    const std::vector<uint8_t> whole = media_test::read_file(path);
    std::vector<media_test::Packet> video;
    for (const media_test::Packet& p : media_test::probe_packets(path))
        if (p.stream == 0) video.push_back(p);
    ASSERT_GT(video.size(), 40u);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int pictures;  // whole video chunks before the damage, by ffprobe's packet positions
    };
    std::vector<Case> cases;
    {
        // Cut in the middle of a picture chunk: the index is gone, the chunks before it are read.
        const size_t cut = size_t(video[30].pos + 20);
        cases.push_back({"cut inside a chunk", std::vector<uint8_t>(whole.begin(), whole.begin() + cut), 30});
    }
    {
        // Without the index, a chunk whose length runs past the end of the file ends the reading there.
        std::vector<uint8_t> f(whole.begin(), whole.begin() + idx1_at(whole));
        put_le32(&f[size_t(video[12].pos) - 4], 0x7FFFFFF0);  // ffprobe's position is the data's
        cases.push_back({"chunk length past the end", f, 12});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string damaged = media_test::fresh_path(mpeg_fixtures::test_tag() + "." + c.name + ".avi");
        media_test::write_file(damaged, c.bytes);
        Source s = look_at(path);
        s.path = damaged;
        const BranchRun run = convert(job_for(s, file_kind::kAvi));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
        EXPECT_EQ(run.pictures, c.pictures);
        EXPECT_NEAR(run.sound_seconds, c.pictures / s.fps, 2 / s.fps);
    }
}

TEST_F(InputBranch, ForeignInputFailsWithItsText) {
    const std::string good = make("good.avi", avi_args("25", 0, "-c:v mjpeg -q:v 5"));
    const std::vector<uint8_t> bytes = media_test::read_file(good);
    std::mt19937 random(7);
    std::vector<uint8_t> noise(50000);
    for (uint8_t& b : noise) b = uint8_t(random());
    std::vector<uint8_t> riff_noise = noise;
    std::memcpy(riff_noise.data(), "RIFF", 4);
    put_le32(&riff_noise[4], uint32_t(noise.size() - 8));
    std::memcpy(&riff_noise[8], "AVI ", 4);
    // An OpenDML file: a second RIFF "AVIX" after the first (its content is not looked at).
    std::vector<uint8_t> opendml = bytes;
    const uint8_t avix[24] = {'R', 'I', 'F', 'F', 16, 0, 0, 0, 'A', 'V', 'I', 'X', 'L', 'I', 'S', 'T', 4, 0, 0, 0, 'm', 'o', 'v', 'i'};
    opendml.insert(opendml.end(), avix, avix + 24);
    opendml.resize(opendml.size() + 4);
    std::vector<uint8_t> unknown_code = bytes;
    for (size_t i = 0; i + 4 <= unknown_code.size() && i < 4096; ++i)
        if (std::memcmp(&unknown_code[i], "MJPG", 4) == 0) std::memcpy(&unknown_code[i], "QQQQ", 4);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: no file
        FileKind kind;
        const char* text;
    };
    const Case cases[] = {
        {"missing AVI", {}, file_kind::kAvi, input_text::kAviInitFailed},
        {"noise as AVI", noise, file_kind::kAvi, input_text::kAviInitFailed},
        {"RIFF AVI of noise", riff_noise, file_kind::kAvi, input_text::kAviInitFailed},
        {"OpenDML AVI", opendml, file_kind::kAvi, input_text::kAviOpenDml},
        {"unknown four-character code", unknown_code, file_kind::kAvi, input_text::kAviInitFailed},
        {"missing MPEG", {}, 6, input_text::kOpenFailed},
        {"noise as MPEG", noise, 6, input_text::kUnsupported},
        {"MP4 the library cannot open", bytes, file_kind::mp4(1, 3), input_text::kOpenFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = media_test::fresh_path(mpeg_fixtures::test_tag() + "." + c.name);
        if (!c.bytes.empty()) media_test::write_file(path, c.bytes);
        Source s;
        s.path = path;
        s.width = 160;
        s.height = 120;
        sink_ = RecordingSink();
        const BranchRun run = convert(job_for(s, c.kind));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kFailed);
        EXPECT_EQ(run.result.text, c.text);
        ASSERT_FALSE(sink_.statuses.empty());
        EXPECT_EQ(sink_.statuses.back(), c.text);
        EXPECT_EQ(run.pictures, 0);
    }
    EXPECT_EQ(AVI_open_input_file(media_test::out_path(mpeg_fixtures::test_tag() + ".OpenDML AVI").c_str(), 1), nullptr);
    EXPECT_EQ(AVI_errno, AVI_ERR_OPENDML);
}

TEST_F(InputBranch, MpegEveryPictureAndAllTheSound) {
    for (const char* name : {"vcd", "dvd", "ts", "ps_mp3_22k", "es"}) {
        SCOPED_TRACE(name);
        const mpeg_fixtures::Fixture f = mpeg_fixtures::fixture(name);
        const Source s = look_at(f.path);
        ASSERT_GT(s.video_frames, 20);
        sink_ = RecordingSink();
        native_input::counts.clear();
        const BranchRun run = convert(job_for(s, f.kind));
        EXPECT_EQ(run.result.outcome, BranchOutcome::kDone) << run.result.text;
        EXPECT_EQ(run.pictures, s.video_frames);
        if (f.audio) expect_sound(run, s);
        EXPECT_TRUE(sink_.notices.empty());
        EXPECT_TRUE(sink_.timeline_frames.empty());
        EXPECT_EQ(native_input::counts["mp3_init"], 1);
        EXPECT_EQ(native_input::counts["ac3buf_close"], 1);
        // The bars follow the bytes read to the full bar.
        ASSERT_FALSE(ui_.bars.empty());
        EXPECT_EQ(ui_.bars.back().first, 1000);
    }
}

TEST_F(InputBranch, MpegTruncatedEndsWithWhatWasThere) {
    const mpeg_fixtures::Fixture f = mpeg_fixtures::fixture("vcd");
    std::vector<uint8_t> bytes = media_test::read_file(f.path);
    bytes.resize(bytes.size() / 2 + 1234);
    const std::string cut = media_test::fresh_path(mpeg_fixtures::test_tag() + ".cut.mpg");
    media_test::write_file(cut, bytes);
    const Source s = look_at(cut);
    ASSERT_GT(s.video_frames, 10);
    const BranchRun run = convert(job_for(s, f.kind));
    EXPECT_EQ(run.result.outcome, BranchOutcome::kDone);
    EXPECT_NEAR(double(run.pictures), double(s.video_frames), 1.0);
}

TEST_F(InputBranch, StopEndsTheJob) {
    const Source s = look_at(make("stop.avi", avi_args("25", 44100, "-ac 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le")));
    ui_.stop_after = 2;  // progress every 10th picture: stopped at picture 10
    const BranchRun run = convert(job_for(s, file_kind::kAvi));
    EXPECT_EQ(run.result.outcome, BranchOutcome::kStopped);
    EXPECT_EQ(run.pictures, 10);
}

}  // namespace
