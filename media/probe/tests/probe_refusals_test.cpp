// Every refusal of the probe under Wine: each message text with its caption and the result, no index
// file left behind; and the MPEG path's fallback to sound DirectShow reads. The
// test runs in a folder of its own (its "dat" folder is its own) and finds the libraries through
// SetDllDirectory.
#include "tests/support/gtest_winelib.h"
#include <cstring>
#include <string>
#include <vector>
#include "media/dshow/dshow_texts.h"
#include "media/probe/probe_texts.h"
#include "media/probe/tests/probe_clips.h"
#include "tests/support/flv_writer.h"
#include "tests/support/media_test_tools.h"

namespace {

using namespace probe_text;
using probe_clips::ffmpeg;
using probe_clips::kClip;
using probe_clips::kPicture;
using probe_clips::kTone;

// The program folder's index files.
int index_files() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string pattern(module);
    pattern = pattern.substr(0, pattern.rfind('\\')) + "\\dat\\*.dat";
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileA(h, &found));
    FindClose(h);
    return n;
}

class Libraries : public testing::Environment {
    void SetUp() override { ASSERT_TRUE(SetDllDirectoryA(probe_clips::windows_path(TARMELO_BIN_DIR).c_str())); }
};
const testing::Environment* const kLibraries = testing::AddGlobalTestEnvironment(new Libraries);

std::vector<uint8_t> junk(size_t n) {
    std::vector<uint8_t> b(n);
    uint32_t x = 12345;
    for (uint8_t& v : b) v = uint8_t((x = x * 1103515245u + 12345u) >> 16);
    return b;
}

// An AVI file whose video stream states a rate of 0.
std::string zero_rate_avi(const std::string& name) {
    std::vector<uint8_t> b = media_test::read_file(ffmpeg(name + ".source.avi", kClip + "-c:v mpeg4 -c:a libmp3lame"));
    for (size_t i = 0; i + 40 < b.size(); ++i)
        if (std::memcmp(&b[i], "strhvids", 8) == 0 || (std::memcmp(&b[i], "strh", 4) == 0 && std::memcmp(&b[i + 8], "vids", 4) == 0)) {
            media_test::put_le32(&b[i + 8 + 24], 0);  // dwRate
            break;
        }
    return probe_clips::write(name, b);
}

// An SWF file whose DefineVideoStream names codec 3 (Screen Video).
std::string screen_video_swf() {
    std::vector<uint8_t> b = media_test::read_file(ffmpeg("screen.source.swf", kClip + "-c:v flv -c:a libmp3lame"));
    const int bits = b[8] >> 3;
    size_t at = 8 + (5 + 4 * bits + 7) / 8 + 4;
    while (at + 2 <= b.size()) {
        const int head = b[at] | b[at + 1] << 8;
        const int code = head >> 6;
        uint32_t length = head & 0x3F;
        size_t body = at + 2;
        if (length == 0x3F) length = media_test::le32(&b[at + 2]), body += 4;
        if (code == 60) {
            b[body + 9] = 3;
            break;
        }
        at = body + length;
    }
    return probe_clips::write("screen.swf", b);
}

std::string short_first_video_tag_flv() {
    flv_test::FlvWriter flv(1);
    flv.video(0, std::vector<uint8_t>(16, 0x12));  // Sorenson key frame of 16 data bytes
    flv.video(40, std::vector<uint8_t>(200, 0x22));
    return probe_clips::write("short.flv", flv.file());
}

struct Refusal {
    const char* name;
    std::string (*make)();
    int result;
    const char* text;  // null: no message
    const char* caption;
    bool with_path;
};

const Refusal kRefusals[] = {
    {"MTV that is not MTV", [] { return probe_clips::write("junk.mtv", junk(4000)); }, -1, kNoCodecInfo, kCaptionMp4, true},
    {"MTV of one picture", [] { return probe_clips::mtv("one.mtv", 1); }, -2, kAnalysisFailed, kCaptionMp4, true},
    {"AMV that is not AMV", [] { return probe_clips::write("junk.amv", junk(4000)); }, -1, kNoCodecInfo, kCaptionMp4, true},
    {"SWF without video", [] { return ffmpeg("sound.swf", std::string(kTone) + " -t 1 -c:a libmp3lame -f swf"); }, -1,
     kSwfNoVideo, kCaptionFlv, true},
    {"SWF with Screen Video", screen_video_swf, -1, kSwfVideoCodec, kCaptionFlv, true},
    {"AVI that is not AVI", [] { return probe_clips::write("junk.avi", junk(4000)); }, -1, kAviOpen, kCaptionFlv, true},
    {"AVI with rate 0", [] { return zero_rate_avi("rate0.avi"); }, -4, kMpeg4Rate, kCaptionFlv, true},
    {"AVI of 2 x 2", [] { return ffmpeg("tiny.avi", "-f lavfi -i color=c=red:size=2x2:rate=25 -t 1 -c:v rawvideo -pix_fmt bgr24"); },
     -10, kAviTooSmall, kCaptionFlv, false},
    {"AVI named .divx with rate 0", [] { return zero_rate_avi("rate0.divx"); }, -4, kMpeg4Rate, kCaptionMp4, true},
    {"MP4 that is not MP4", [] { return probe_clips::write("junk.mp4", junk(4000)); }, -1, kMp4Open, kCaptionFlv, true},
    {"MP4 with sound only", [] { return ffmpeg("sound.mp4", std::string(kTone) + " -t 1 -c:a aac -f mp4"); }, -1,
     kMp4Size, kCaptionFlv, true},
    {"MP4 with text only",
     [] {
         const std::string srt = probe_clips::write("text.srt", {'1', '\n', '0', '0', ':', '0', '0', ':', '0', '0', ',', '0',
                                                                 '0', '0', ' ', '-', '-', '>', ' ', '0', '0', ':', '0', '0',
                                                                 ':', '0', '1', ',', '0', '0', '0', '\n', 'a', '\n'});
         return ffmpeg("text.mp4", "-i '" + srt + "' -c:s mov_text");
     },
     -1, kNoCodecInfo, kCaptionFlv, true},
    {"FLV that is not FLV", [] { return probe_clips::write("junk.flv", junk(4000)); }, -3, kNotFlv, kCaptionFlv, true},
    {"FLV with Screen Video", [] { return ffmpeg("screen.flv", std::string(kPicture) + " -t 1 -c:v flashsv"); }, -3,
     kFlvVideoCodec, kCaptionFlv, true},
    {"FLV with Nellymoser",
     [] { return ffmpeg("nelly.flv", std::string(kPicture) + " " + kTone + " -t 2 -ac 1 -c:v flv -c:a nellymoser"); }, -3, kFlvAudioCodec,
     kCaptionFlv, true},
    // The video codec is checked first: no video tag, no supported codec.
    {"FLV with sound only", [] { return ffmpeg("sound.flv", std::string(kTone) + " -t 1 -c:a libmp3lame -f flv"); }, -3,
     kFlvVideoCodec, kCaptionFlv, true},
    {"FLV whose first picture has 16 bytes", short_first_video_tag_flv, -1, kNoCodecInfo, kCaptionFlv, true},
    {"FLV that cannot be opened", [] { return media_test::fresh_path("missing.flv"); }, -1, kNoCodecInfo, kCaptionFlv,
     true},
    {"MOV of 99 bytes", [] { return probe_clips::write("short.mov", junk(99)); }, -1, kOpenFailed, kCaptionMp4, true},
    {"WMA", [] { return ffmpeg("sound.wma", std::string(kTone) + " -t 1 -c:a wmav2"); }, -3, dshow_text::kNoVideo,
     dshow_text::kCaption, true},
    {"MPEG that cannot be opened", [] { return media_test::fresh_path("missing.mpg"); }, -1, kOpenFailed, kCaptionMp4,
     true},
    {"Unknown content", [] { return probe_clips::write("junk.xyz", junk(5000)); }, -2, kUnknownType, kCaptionMp4, true},
    {"MPEG without video", [] { return ffmpeg("sound.mp2", std::string(kTone) + " -t 1 -c:a mp2"); }, -10, nullptr,
     nullptr, false},
    {"MPEG elementary video", [] { return ffmpeg("video.m2v", std::string(kPicture) + " -t 1 -c:v mpeg2video -f mpeg2video"); },
     -8, kNoSound, kCaptionMp4, true},
};

class ProbeRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ProbeRefusal, ShowsItsTextAndLeavesNoIndexFile) {
    const Refusal& c = GetParam();
    const std::string path = c.make();
    ASSERT_FALSE(path.empty()) << "the fixture could not be made";
    const int before = index_files();
    const probe_clips::Probed p = probe_clips::probe(path);
    EXPECT_EQ(c.result, p.result);
    if (c.text) {
        ASSERT_EQ(1u, p.shown.size());
        EXPECT_EQ(c.with_path ? probe_clips::with_path(c.text, probe_clips::windows_path(path)) : std::string(c.text),
                  p.shown[0].text);
        EXPECT_EQ(c.caption, p.shown[0].caption);
    } else {
        EXPECT_TRUE(p.shown.empty());
    }
    EXPECT_EQ(0, p.record.index_written);
    EXPECT_EQ(0, p.record.index_path[0]);
    EXPECT_EQ(before, index_files());
}

std::string refusal_name(const testing::TestParamInfo<Refusal>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, ProbeRefusal, testing::ValuesIn(kRefusals), refusal_name);

TEST(ProbeMpegPath, SoundThatOnlyDirectShowReadsIsAccepted) {
    const std::string path = ffmpeg("tone.wav", std::string(kTone) + " -t 2 -ac 2");
    const probe_clips::Probed p = probe_clips::probe(path);
    ASSERT_EQ(0, p.result);
    EXPECT_TRUE(p.shown.empty());
    EXPECT_EQ(8000, p.record.file_kind);
    EXPECT_STREQ("其他", p.record.type_name);
    EXPECT_EQ(44100, p.record.sample_rate);
    EXPECT_EQ(2, p.record.channels);
    EXPECT_EQ(2, p.record.duration_s);
    EXPECT_EQ(0, p.record.index_written);
}

TEST(ProbeDirectShow, FileTheSourceFilterCannotOpenIsRefused) {
    const std::string path = ffmpeg("locked.mov", kClip + "-c:v mpeg4 -c:a aac");
    // Held open for writing, the file can be read only by those who share writing: the probe's file
    // access does, DirectShow's file source does not.
    HANDLE held = CreateFileA(probe_clips::windows_path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const probe_clips::Probed p = probe_clips::probe(path);
    CloseHandle(held);
    EXPECT_EQ(-2, p.result);
    ASSERT_EQ(1u, p.shown.size());
    EXPECT_EQ(kNoDecoder, p.shown[0].text);
    EXPECT_EQ(kCaptionMp4, p.shown[0].caption);
}

}  // namespace
