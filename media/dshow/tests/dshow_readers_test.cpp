// The DirectShow readers under Wine (quartz and qedit over GStreamer) on files made by ffmpeg: probes
// against ffprobe, refusals with their messages, playback into a frame buffer, the conversion ring
// with a slow consumer, and sound fed in pieces.
#include "tests/support/gtest_winelib.h"
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "media/dshow/dshow_audio_reader.h"
#include "media/dshow/dshow_frames.h"
#include "media/dshow/dshow_link.h"
#include "media/dshow/dshow_texts.h"
#include "media/dshow/dshow_thread_init.h"
#include "media/dshow/dshow_video_reader.h"
#include "base/message_seam.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"

namespace {

// --- Fixtures --------------------------------------------------------------------------------------------

std::string windows_path(const std::string& unix_path) {
    std::string w = "Z:" + unix_path;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

struct Clip {
    std::string unix_path, path;  // path: as the program names it
};

// Makes a clip with ffmpeg, once in each run of the tests.
Clip clip(const std::string& name, const std::string& args) {
    static std::set<std::string> made;
    Clip c{media_test::out_path(name), ""};
    c.path = windows_path(c.unix_path);
    if (made.insert(name).second) {
        int status = 0;
        media_test::run("ffmpeg -nostdin -v error -y " + args + " '" + c.unix_path + "'", &status);
        EXPECT_EQ(0, status) << name;
    }
    return c;
}

const std::string kTone = "-f lavfi -i sine=frequency=440:sample_rate=44100 ";
std::string picture(const char* rate) { return std::string("-f lavfi -i testsrc=size=160x120:rate=") + rate + " "; }

Clip mov_clip() { return clip("h264_aac.mov", picture("30000/1001") + kTone + "-t 2 -c:v libx264 -pix_fmt yuv420p -c:a aac -ac 2"); }
Clip wmv_clip() { return clip("wmv2.wmv", picture("25") + kTone + "-t 2 -c:v wmv2 -c:a wmav2 -ac 2"); }
// RealMedia as ffmpeg writes it: RV20 + AC-3, no index.
Clip rm_clip() {
    return clip("rv20_ac3.rm", "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=1000:sample_rate=44100 "
                               "-t 4 -c:v rv20 -b:v 1000k -c:a ac3 -b:a 128k -ar 44100 -f rm");
}
Clip wav_clip() {
    return clip("stereo48k.wav", "-f lavfi -i sine=frequency=1000:sample_rate=48000 -t 2 -ac 2 -c:a pcm_s16le");
}

struct Probed {
    int width = 0, height = 0, frames = 0, sample_rate = 0, channels = 0;
    double fps = 0, duration = 0;  // of the picture stream
};

Probed ffprobe(const Clip& c) {
    Probed p;
    for (const auto& s : media_test::probe_streams(c.unix_path)) {
        if (s.at("codec_type") == "video") {
            p.width = std::stoi(s.at("width"));
            p.height = std::stoi(s.at("height"));
            int num = 0, den = 1;
            std::sscanf(s.at("avg_frame_rate").c_str(), "%d/%d", &num, &den);
            p.fps = den ? double(num) / den : 0;
            p.duration = std::atof(s.at("duration").c_str());
        } else if (s.at("codec_type") == "audio") {
            p.sample_rate = std::stoi(s.at("sample_rate"));
            p.channels = std::stoi(s.at("channels"));
        }
    }
    const std::string frames = media_test::run("ffprobe -v error -count_frames -select_streams v -show_entries "
                                               "stream=nb_read_frames -of csv=p=0 '" + c.unix_path + "'");
    p.frames = frames.empty() ? 0 : std::atoi(frames.c_str());
    return p;
}

// --- Engine side: the run flag, the PCM feed and the end notice, recorded ---------------------------------

std::atomic<uint8_t> g_busy_flag{1};
std::vector<size_t> g_pieces;
size_t g_fed = 0;
CDShowVideoReader* g_noticed_reader = nullptr;
std::vector<int64_t> g_notice_positions;

void record_feed(const SoundBlock& block, double) {
    g_pieces.push_back(block.byte_size());
    g_fed += block.byte_size();
}
void record_notice() {
    if (g_noticed_reader) g_notice_positions.push_back(g_noticed_reader->position.load());
}
const DShowEngineLink kLink = {&g_busy_flag, record_feed, record_notice};

struct Message {
    std::string text, caption;
};
std::vector<Message> g_messages;
int record_message(const char* text, const char* caption, unsigned, void*) {
    g_messages.push_back({text, caption ? caption : "(null)"});
    return seam::kAnswerOk;
}

std::string with_path(const char* format, const std::string& path) {
    char text[1024];
    std::snprintf(text, sizeof text, format, path.c_str());
    return text;
}

class DShowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_GE(dshow_thread_init(), 0);
        g_busy_flag = 1;
        g_pieces.clear();
        g_fed = 0;
        g_noticed_reader = nullptr;
        g_notice_positions.clear();
        g_messages.clear();
        dshow_set_engine_link(&kLink);
        seam::set_reporter(record_message, nullptr);
    }
    void TearDown() override {
        seam::set_reporter(nullptr, nullptr);
        dshow_set_engine_link(nullptr);
        dshow_thread_done();
    }
};

// Waits for the graph to finish playing.
bool wait_complete(CDShowReader& r, LONG ms) {
    LONG code = 0;
    return r.events && r.events->WaitForCompletion(ms, &code) == S_OK && code == EC_COMPLETE;
}

// --- Probes ------------------------------------------------------------------------------------------------

TEST_F(DShowTest, ProbesPicturesAndSoundAsFfprobeSeesThem) {
    const Clip clips[] = {
        mov_clip(),
        clip("h264_aac.mp4", picture("25") + kTone + "-t 2 -c:v libx264 -pix_fmt yuv420p -c:a aac"),
        wmv_clip(),
        clip("mpeg4_mp3.avi", picture("25") + kTone + "-t 2 -c:v mpeg4 -vtag XVID -c:a libmp3lame -ac 2"),
        clip("mjpeg_pcm.avi", picture("25") + kTone + "-t 2 -c:v mjpeg -c:a pcm_s16le"),
        rm_clip(),
    };
    for (const Clip& c : clips) {
        SCOPED_TRACE(c.unix_path);
        const Probed expected = ffprobe(c);
        ASSERT_GT(expected.fps, 0);
        CDShowVideoReader v;
        BITMAPINFOHEADER header;
        double seconds = 0;
        LONGLONG length = 0;
        DWORD bit_rate = 0;
        float rate = 0;
        ASSERT_EQ(0, v.ProbeFile(c.path.c_str(), &header, &seconds, &length, &bit_rate, &rate));
        EXPECT_EQ(40u, header.biSize);
        EXPECT_EQ(24, header.biBitCount);
        EXPECT_EQ(expected.width, header.biWidth);
        EXPECT_EQ(expected.height, std::abs(header.biHeight));
        EXPECT_NEAR(expected.fps, rate, 0.005);
        EXPECT_NEAR(expected.duration, seconds, 1.0 / expected.fps);
        EXPECT_NEAR(double(expected.frames), double(v.frame_count), 1.0);
        EXPECT_EQ(nullptr, v.graph) << "a probe tears its graph down";

        CDShowAudioReader a;
        WAVEFORMATEX format;
        ASSERT_EQ(0, a.ProbeFile(c.path.c_str(), &format, &seconds, &length));
        EXPECT_EQ(WAVE_FORMAT_PCM, format.wFormatTag);
        EXPECT_EQ(expected.channels, format.nChannels);
        EXPECT_EQ(DWORD(expected.sample_rate), format.nSamplesPerSec);
        EXPECT_EQ(16, format.wBitsPerSample);
        EXPECT_EQ(format.nChannels * 2, format.nBlockAlign);
        EXPECT_NEAR(expected.duration, seconds, 0.1);
    }
    EXPECT_TRUE(g_messages.empty());
    const Probed mov = ffprobe(mov_clip());
    EXPECT_NEAR(29.97, mov.fps, 0.001) << "the 29.97 case is really there";
}

TEST_F(DShowTest, SoundOnlyFilesGiveTheVideoProbeMinusFourWithItsMessage) {
    for (const Clip& c : {clip("sound.wma", kTone + "-t 2 -c:a wmav2"), wav_clip()}) {
        SCOPED_TRACE(c.path);
        g_messages.clear();
        CDShowVideoReader v;
        BITMAPINFOHEADER header;
        double seconds;
        LONGLONG length;
        DWORD bit_rate;
        float rate;
        EXPECT_EQ(-4, v.ProbeFile(c.path.c_str(), &header, &seconds, &length, &bit_rate, &rate));
        ASSERT_EQ(1u, g_messages.size());
        EXPECT_EQ(with_path(dshow_text::kNoVideo, c.path), g_messages[0].text);
        EXPECT_EQ(dshow_text::kCaption, g_messages[0].caption);
        CDShowAudioReader a;
        WAVEFORMATEX format;
        EXPECT_EQ(0, a.ProbeFile(c.path.c_str(), &format, &seconds, &length));
    }
}

TEST_F(DShowTest, UnreadableFilesAreRefusedInTimeWithTheMatchingText) {
    const std::string garbage_unix = media_test::out_path("garbage.mov");
    std::vector<uint8_t> noise(50000);
    uint32_t x = 12345;
    for (auto& b : noise) b = uint8_t((x = x * 1103515245 + 12345) >> 24);
    media_test::write_file(garbage_unix, noise);
    for (const std::string& path : {windows_path(garbage_unix), windows_path(media_test::out_path("missing.mov"))}) {
        SCOPED_TRACE(path);
        const DWORD t0 = GetTickCount();
        CDShowVideoReader probe;
        BITMAPINFOHEADER header;
        double seconds;
        LONGLONG length;
        DWORD bit_rate;
        float rate;
        const int r = probe.ProbeFile(path.c_str(), &header, &seconds, &length, &bit_rate, &rate);
        EXPECT_TRUE(r == -2 || r == -3) << r;
        EXPECT_TRUE(g_messages.empty()) << "the probe shows its own message";

        CDShowVideoReader v;
        std::strcpy(v.path, path.c_str());
        EXPECT_EQ(r, v.OpenFile());
        EXPECT_LT(GetTickCount() - t0, 10000u);
        ASSERT_EQ(1u, g_messages.size());
        EXPECT_EQ(with_path(r == -2 ? dshow_text::kNoSourceFilter : dshow_text::kNoDecoder, path), g_messages[0].text);
        EXPECT_EQ(dshow_text::kCaption, g_messages[0].caption);
        EXPECT_EQ(-1, v.Run()) << "no graph to run";
        g_messages.clear();
    }
}

DWORD WINAPI open_without_com(LPVOID result) {
    CDShowVideoReader v;
    std::strcpy(v.path, "Z:\\nothing.wmv");
    *static_cast<int*>(result) = v.OpenFile();
    return 0;
}

TEST_F(DShowTest, WithoutComTheOpenReportsMissingDirectShow) {
    int result = 0;
    HANDLE t = CreateThread(nullptr, 0, open_without_com, &result, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
    CloseHandle(t);
    EXPECT_EQ(-1, result);
    ASSERT_EQ(1u, g_messages.size());
    EXPECT_EQ(dshow_text::kNoDirectShow, g_messages[0].text);
}

// --- Playing -----------------------------------------------------------------------------------------------

// Mean absolute difference of two B,G,R pictures of the same layout.
double difference(const uint8_t* a, const std::vector<uint8_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < b.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(b.size());
}

TEST_F(DShowTest, PlaybackDeliversEveryPictureAndAllTheSound) {
    const Clip c = mov_clip();
    const Probed expected = ffprobe(c);
    const auto pictures = media_check::decode_pictures(c.unix_path, expected.width, expected.height);
    const size_t sound_bytes = media_check::decode_sound(c.unix_path).size() * 2;
    ASSERT_EQ(size_t(expected.frames), pictures.size());

    CDShowVideoReader v;
    std::strcpy(v.path, c.path.c_str());
    ASSERT_EQ(0, v.OpenFile());
    std::vector<uint8_t> frame(dshow::rgb24_picture_bytes(v.width, v.height) + 2000);
    MediaOutput picture_out;
    picture_out.frame.data = frame.data();
    picture_out.frame_capacity = frame.size();
    int shown = 0;
    double worst = 0;
    picture_out.on_picture = [&](const PictureView& p) {
        // Each picture as ffmpeg decodes it (the same place in the stream), rows top-down.
        if (size_t(shown) < pictures.size()) worst = std::max(worst, difference(p.data, pictures[size_t(shown)]));
        ++shown;
    };
    v.output = &picture_out;
    g_noticed_reader = &v;

    CDShowAudioReader a;
    std::strcpy(a.path, c.path.c_str());
    ASSERT_EQ(0, a.OpenFile());
    std::vector<uint8_t> pcm(184320);
    MediaOutput sound_out;
    sound_out.pcm = pcm.data();
    sound_out.pcm_capacity = pcm.size();
    a.output = &sound_out;

    ASSERT_EQ(0, a.Run());
    ASSERT_EQ(0, v.Run());
    EXPECT_TRUE(wait_complete(v, 15000));
    EXPECT_TRUE(wait_complete(a, 15000));
    EXPECT_FALSE(v.IsRunning());
    v.Stop();
    a.Stop();

    EXPECT_EQ(expected.frames, shown);
    EXPECT_EQ(expected.frames, picture_out.pictures);
    EXPECT_EQ(0, v.dropped.load());
    EXPECT_LT(worst, 6.0) << "pictures arrive as ffmpeg decodes them, top-down";
    EXPECT_EQ(v.width, picture_out.frame.width);
    EXPECT_EQ(dshow::rgb24_picture_bytes(v.width, 1), size_t(picture_out.frame.stride));

    // The end notice: once, within the last 0.6 s.
    ASSERT_EQ(1u, g_notice_positions.size());
    EXPECT_GE(g_notice_positions[0], v.duration - CDShowVideoReader::kEndLead);
    EXPECT_LT(g_notice_positions[0], v.duration);

    size_t largest = 0;
    for (size_t p : g_pieces) largest = std::max(largest, p);
    EXPECT_NEAR(double(sound_bytes), double(g_fed), double(largest)) << "all the sound, within one buffer";
    EXPECT_EQ(size_t(a.bytes_delivered.load()), g_fed);
}

TEST_F(DShowTest, NothingIsTakenWhileTheEngineIsNotBusy) {
    g_busy_flag = 0;
    const Clip c = wmv_clip();
    CDShowVideoReader v;
    std::strcpy(v.path, c.path.c_str());
    ASSERT_EQ(0, v.OpenFile());
    std::vector<uint8_t> frame(dshow::rgb24_picture_bytes(v.width, v.height));
    MediaOutput out;
    out.frame.data = frame.data();
    out.frame_capacity = frame.size();
    v.output = &out;
    v.use_clock = false;
    ASSERT_EQ(0, v.Run());
    EXPECT_TRUE(wait_complete(v, 10000));
    v.Stop();
    EXPECT_EQ(0, out.pictures);
}

// The conversion's side of the ring: drains the slots slowly and releases the held callback.
struct Consumer {
    CDShowVideoReader* reader;
    size_t picture_bytes;
    int taken = 0, holds = 0, most = 0, wrong = 0;
};

void drain(Consumer& c) {
    CDShowVideoReader& v = *c.reader;
    while (v.read_count.load() < v.write_count.load()) {
        const DShowFrameSlot& slot = v.slots[v.read_count.load()];
        if (slot.length != c.picture_bytes) ++c.wrong;
        c.most = std::max(c.most, v.write_count.load());
        ++c.taken;
        Sleep(1);
        ++v.read_count;
    }
}

DWORD WINAPI consume(LPVOID param) {
    Consumer& c = *static_cast<Consumer*>(param);
    CDShowVideoReader& v = *c.reader;
    for (;;) {
        drain(c);
        if (v.ReleaseRing()) {
            ++c.holds;
            continue;
        }
        if (!v.IsRunning()) {
            drain(c);  // the pictures stored before the graph reported its end
            return 0;
        }
        Sleep(1);
    }
}

// Gives the reader's ring 20 buffers of one picture each.
std::vector<std::vector<uint8_t>> ring_buffers(CDShowVideoReader& v) {
    std::vector<std::vector<uint8_t>> buffers(CDShowVideoReader::kSlots,
                                              std::vector<uint8_t>(dshow::rgb24_picture_bytes(v.width, v.height)));
    for (int i = 0; i < CDShowVideoReader::kSlots; ++i) {
        v.slots[i].buffer = buffers[size_t(i)].data();
        v.slots[i].capacity = buffers[size_t(i)].size();
        v.slots[i].length = 0;
    }
    return buffers;
}

TEST_F(DShowTest, TheRingHoldsAtFifteenAndLosesNoPictureTwentyTimesOver) {
    const Clip c = wmv_clip();
    const int frames = ffprobe(c).frames;
    ASSERT_EQ(50, frames);
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        CDShowVideoReader v;
        std::strcpy(v.path, c.path.c_str());
        ASSERT_EQ(0, v.OpenFile());
        auto buffers = ring_buffers(v);
        v.use_clock = false;
        Consumer consumer{&v, dshow::rgb24_picture_bytes(v.width, v.height)};
        ASSERT_EQ(0, v.Run());
        HANDLE t = CreateThread(nullptr, 0, consume, &consumer, 0, nullptr);
        const DWORD waited = WaitForSingleObject(t, 20000);
        if (waited != WAIT_OBJECT_0) {
            ADD_FAILURE() << "deadlock: the ring never drained";
            g_busy_flag = 0;  // lets a held callback go, so the graph can stop
            v.Stop();
            WaitForSingleObject(t, 5000);
        }
        CloseHandle(t);
        v.Stop();
        EXPECT_EQ(frames, consumer.taken) << v.delivered.load() << " delivered, " << consumer.holds << " holds";
        EXPECT_EQ(frames, v.delivered.load());
        EXPECT_EQ(0, consumer.wrong);
        EXPECT_EQ(0, v.dropped.load());
        EXPECT_GE(consumer.holds, 3);
        EXPECT_LE(consumer.most, CDShowVideoReader::kHoldAt);
        if (HasFailure()) break;
    }
}

TEST_F(DShowTest, StopWhileTheCallbackWaitsReturnsWithinASecond) {
    const Clip c = wmv_clip();
    CDShowVideoReader v;
    std::strcpy(v.path, c.path.c_str());
    ASSERT_EQ(0, v.OpenFile());
    auto buffers = ring_buffers(v);
    v.use_clock = false;
    ASSERT_EQ(0, v.Run());
    for (int i = 0; i < 1000 && !v.ring_held.load(); ++i) Sleep(10);
    ASSERT_TRUE(v.ring_held.load()) << "nobody drains: the callback holds at 15";
    EXPECT_EQ(CDShowVideoReader::kHoldAt, v.write_count.load());
    Sleep(200);
    EXPECT_EQ(CDShowVideoReader::kHoldAt, v.write_count.load()) << "held, not dropping";
    EXPECT_TRUE(v.IsRunning()) << "a held callback is no stall";
    const int abandoned = CDShowReader::Abandoned();
    const DWORD t0 = GetTickCount();
    v.Stop();
    EXPECT_LT(GetTickCount() - t0, 1000u);
    EXPECT_EQ(nullptr, v.graph);
    EXPECT_EQ(abandoned, CDShowReader::Abandoned()) << "the graph stopped: nothing left behind";
}

// A graph that goes quiet without completing (held here behind the reader's back, as a graph whose
// splitter waits for a sample that never comes would be) is seen to stall once its quiet time is
// over, not before, and ends the ring's reading; a graph that stops is not left behind.
TEST_F(DShowTest, AGraphThatGoesQuietEndsAsStalled) {
    const Clip c = wmv_clip();
    CDShowVideoReader v;
    std::strcpy(v.path, c.path.c_str());
    ASSERT_EQ(0, v.OpenFile());
    auto buffers = ring_buffers(v);
    EXPECT_EQ(6080u, v.StallLimitMs()) << "6 s and two pictures at 25 a second";
    ASSERT_EQ(0, v.Run());
    ASSERT_EQ(S_OK, v.control->Pause());
    const DWORD t0 = GetTickCount();
    Consumer consumer{&v, dshow::rgb24_picture_bytes(v.width, v.height)};
    HANDLE t = CreateThread(nullptr, 0, consume, &consumer, 0, nullptr);
    const bool ended = WaitForSingleObject(t, 60000) == WAIT_OBJECT_0;
    const DWORD quiet = GetTickCount() - t0;
    if (!ended) g_busy_flag = 0;
    const int abandoned = CDShowReader::Abandoned();
    v.Stop();
    WaitForSingleObject(t, 5000);
    CloseHandle(t);
    ASSERT_TRUE(ended) << "the reading never ended";
    EXPECT_GE(quiet, v.StallLimitMs());
    EXPECT_EQ(1, int(v.stalled.load()));
    EXPECT_EQ(v.delivered.load(), consumer.taken) << "what came before the quiet is taken";
    EXPECT_LT(v.delivered.load(), 50);
    EXPECT_EQ(abandoned, CDShowReader::Abandoned());
}

// ffmpeg's RealMedia carries no index (no INDX chunk in the file). GStreamer's demuxer fails the seek
// to the start that the splitter makes when such a graph runs, and the graph then delivers nothing,
// never completes and never stops: the file is probed like the others but known as one not to run.
TEST_F(DShowTest, RealMediaWithoutIndexIsProbedButNotRun) {
    const Clip rm = rm_clip();
    const std::vector<uint8_t> bytes = media_test::read_file(rm.unix_path);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string::npos, std::string(bytes.begin(), bytes.end()).find("INDX"));
    EXPECT_TRUE(dshow_file_stalls_when_run(rm.path.c_str()));
    for (const Clip& c : {wmv_clip(), mov_clip(), wav_clip()})
        EXPECT_FALSE(dshow_file_stalls_when_run(c.path.c_str())) << c.path;
    EXPECT_FALSE(dshow_file_stalls_when_run(windows_path(media_test::out_path("missing.rm")).c_str()));
}

TEST_F(DShowTest, LargeSoundBuffersReachTheFeedInPiecesThatFit) {
    const Clip c = wav_clip();
    CDShowAudioReader a;
    std::strcpy(a.path, c.path.c_str());
    ASSERT_EQ(0, a.OpenFile());
    EXPECT_EQ(2, a.format.nChannels);
    EXPECT_EQ(48000u, a.format.nSamplesPerSec);
    std::vector<uint8_t> pcm(4096 + 64, 0xA5);
    MediaOutput out;
    out.pcm = pcm.data();
    out.pcm_capacity = 4096;
    a.output = &out;
    a.use_clock = false;
    ASSERT_EQ(0, a.Run());
    EXPECT_TRUE(wait_complete(a, 10000));
    a.Stop();
    ASSERT_FALSE(g_pieces.empty());
    size_t largest = 0;
    for (size_t p : g_pieces) {
        largest = std::max(largest, p);
        ASSERT_EQ(0u, p % 4) << "whole sample frames";
    }
    EXPECT_EQ(4096u, largest) << "buffers larger than the block are cut";
    EXPECT_EQ(2u * 48000 * 4, g_fed) << "every byte of the file's sound";
    for (size_t i = 4096; i < pcm.size(); ++i) ASSERT_EQ(0xA5, pcm[i]) << "nothing past the capacity";
}

}  // namespace

