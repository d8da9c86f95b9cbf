// The analysis dialog under Wine with the real decoder libraries beside it, over files made at test
// time and indexed by the probe: each thumbnail against ffmpeg's decode of the same picture scaled to
// 128 x 88 and against ffmpeg's picture sampled by the thumbnails' nearest-neighbour rule, the blocks
// an FLV index keeps, hostile index files, a second analysis, and a stop.
#include "tests/support/gtest_winelib.h"
#include <zlib.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "app/analysis/AnalyzeDlg.h"
#include "app/analysis/analyze_res.h"
#include "engine/main_window/main_window.h"
#include "engine/state/run_state.h"
#include "media/probe/tests/probe_clips.h"
#include "tests/support/media_check.h"
#include "tests/support/media_test_tools.h"
#include "tests/support/message_pump.h"

namespace {

using probe_clips::ffmpeg;
using probe_clips::windows_path;

// A smooth moving picture, so that our nearest-pixel scaling and ffmpeg's agree closely.
const std::string kSmooth = "-f lavfi -i testsrc2=size=176x144:rate=25,gblur=sigma=2 -t 2 ";
const char* const kSound = "-f lavfi -i sine=frequency=1000:sample_rate=44100 ";

int g_taken_back = 0;
int g_taken_count = 0;
CAnalyzeDlg* g_dlg = nullptr;

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class Analysis : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = main_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "analysis_test_main";
        RegisterClassA(&wc);
        main_ = CreateWindowA("analysis_test_main", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        dlg_ = new CAnalyzeDlg;
        ASSERT_TRUE(dlg_->Create(IDD_ANALYZE, nullptr));
        dlg_->m_hMainWnd = main_;
        g_dlg = dlg_;
    }
    static void TearDownTestSuite() {
        dlg_->DestroyWindow();
        delete dlg_;
        DestroyWindow(main_);
    }

    // Hands the file over as the main dialog does and waits for the analysis to end.
    static AnalysisEnd analyse(const std::string& media, const std::string& index, const char* type) {
        std::snprintf(dlg_->media_path, sizeof dlg_->media_path, "%s", windows_path(media).c_str());
        std::snprintf(dlg_->index_path, sizeof dlg_->index_path, "%s", windows_path(index).c_str());
        std::snprintf(dlg_->type_name, sizeof dlg_->type_name, "%s", type);
        dlg_->file_row = 0;
        g_taken_back = g_taken_count = 0;
        EXPECT_EQ(0, dlg_->StartAnalysis());
        pump_messages(20);
        for (DWORD start = GetTickCount(); dlg_->Thread() && GetTickCount() - start < 120000;) pump_messages(20);
        EXPECT_EQ(nullptr, dlg_->Thread());
        return dlg_->LastEnd();
    }

    static HWND main_;
    static CAnalyzeDlg* dlg_;
};
HWND Analysis::main_ = nullptr;
CAnalyzeDlg* Analysis::dlg_ = nullptr;

LRESULT CALLBACK main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DLG_NOTIFY && wp == 45) {
        ++g_taken_back;
        g_taken_count = g_dlg ? g_dlg->segment_count : -1;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double sum = 0;
    size_t n = 0;
    for (int y = 0; y < 88; ++y)
        for (int x = 0; x < 128 * 3; ++x, ++n) {
            const double d = double(a[size_t(y) * 384 + x]) - double(b[size_t(y) * 384 + x]);
            sum += d * d;
        }
    const double mse = sum / double(n);
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// A picture of width x height (rows at the 4-byte stride) scaled to 128 x 88 by the thumbnails' own
// rule, worked here by hand: destination pixel x takes source pixel floor(x * width / 128), row y source
// row floor(y * height / 88). ffmpeg's "neighbor" scaling samples pixel centres instead, so on sharp
// edges the two pick neighbouring pixels; against this the decoders sharing libavcodec agree exactly.
std::vector<uint8_t> nearest_rule(const std::vector<uint8_t>& picture, int width, int height) {
    const size_t stride = size_t(3 * width + 3) & ~size_t(3);
    std::vector<uint8_t> scaled(384 * 88);
    for (int y = 0; y < 88; ++y)
        for (int x = 0; x < 128; ++x)
            std::memcpy(&scaled[size_t(y) * 384 + size_t(x) * 3],
                        &picture[size_t(y * height / 88) * stride + size_t(x * width / 128) * 3], 3);
    return scaled;
}

std::vector<uint8_t> unpack(const std::vector<uint8_t>& packed) {
    std::vector<uint8_t> pixels(384 * 88);
    uLongf length = uLongf(pixels.size());
    if (uncompress(pixels.data(), &length, packed.data(), uLong(packed.size())) != Z_OK || length != pixels.size())
        return {};
    return pixels;
}

struct Fixture {
    const char* name;
    std::string (*make)();
    const char* type;
    // A picture size the stream changes to on its way: the rewritten index header must carry it.
    int new_width = 0, new_height = 0;
};

// MPEG-4 in MP4 whose pictures change size: a second of 176 x 144, then a second of 128 x 96 with
// its own configuration headers in its first sample (the MP4 header keeps the first size).
std::string mpeg4_size_change() {
    const std::string a = ffmpeg("part1.m4v", "-f lavfi -i testsrc2=size=176x144:rate=25,gblur=sigma=2 -t 1 "
                                              "-c:v mpeg4 -q:v 2 -g 12 -an -f m4v");
    const std::string b = ffmpeg("part2.m4v", "-f lavfi -i testsrc2=size=128x96:rate=25,gblur=sigma=2 -t 1 "
                                              "-c:v mpeg4 -q:v 2 -g 12 -an -f m4v");
    if (a.empty() || b.empty()) return "";
    std::vector<uint8_t> both = media_test::read_file(a);
    const std::vector<uint8_t> second = media_test::read_file(b);
    both.insert(both.end(), second.begin(), second.end());
    const std::string joined = media_test::fresh_path("joined.m4v");
    media_test::write_file(joined, both);
    return ffmpeg("size_change.mp4", "-r 25 -f m4v -i '" + joined + "' -c:v copy");
}

const Fixture kFixtures[] = {
    {"FLV Sorenson AAC", [] { return ffmpeg("sorenson.flv", kSmooth + kSound + "-t 2 -c:v flv -q:v 2 -g 12 -c:a aac"); }, "FLV"},
    {"FLV H.264 AAC",
     [] { return ffmpeg("h264.flv", kSmooth + kSound + "-t 2 -c:v libx264 -pix_fmt yuv420p -bf 0 -g 12 -crf 18 -c:a aac"); },
     "FLV"},
    {"SWF", [] { return ffmpeg("clip.swf", kSmooth + "-c:v flv -q:v 2 -g 12 -an"); }, "SWF"},
    {"MP4 H.263", [] { return ffmpeg("h263.3gp", kSmooth + "-c:v h263 -q:v 2 -g 12 -an -f 3gp"); }, "MP4"},
    {"MP4 MPEG-4", [] { return ffmpeg("mpeg4.mp4", kSmooth + "-c:v mpeg4 -q:v 2 -g 12 -an"); }, "MP4"},
    {"MP4 MPEG-4 size change", mpeg4_size_change, "MP4", 128, 96},
    {"MP4 H.264", [] { return ffmpeg("h264.mp4", kSmooth + "-c:v libx264 -pix_fmt yuv420p -bf 0 -g 12 -crf 18 -an"); }, "MP4"},
    {"AVI MPEG-4", [] { return ffmpeg("mpeg4.avi", kSmooth + "-c:v mpeg4 -vtag XVID -q:v 2 -g 12 -an"); }, "AVI"},
    {"AMV",
     [] {
         return ffmpeg("clip.amv", "-f lavfi -i testsrc2=size=160x120:rate=15,gblur=sigma=2 -f lavfi -i "
                                   "sine=frequency=1000:sample_rate=22050 -t 2 -c:v amv -c:a adpcm_ima_amv -ac 1 "
                                   "-block_size 1470 -strict -1");
     },
     "AMV"},
    {"MTV", [] { return probe_clips::mtv("clip.mtv", 24); }, "MTV"},
    // Smooth VP6 pictures, 174 x 140 after the crop (rows of 522 bytes in a 524-byte stride).
    {"FLV VP6 ADPCM", [] { return probe_clips::flv_vp6_adpcm("vp6.flv", true, 0x24); }, "FLV"},
};

// The probe's index of a file, written where the analysis reads it.
std::string probed_index(const std::string& media, const std::string& name, IndexFile* index) {
    probe_clips::Probed p = probe_clips::probe(media);
    if (p.result < 0 || !p.index_read) return "";
    *index = p.index;
    const std::string path = media_test::fresh_path(name + ".dat");
    std::vector<uint8_t> bytes;
    if (encode_index_file(p.index, bytes) != IndexError::None) return "";
    media_test::write_file(path, bytes);
    return path;
}

TEST_F(Analysis, ThumbnailsMatchFfmpegsPicturesAndASecondAnalysisChangesNothing) {
    int number = 0;
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(f.name);
        ++number;
        const std::string media = f.make();
        ASSERT_FALSE(media.empty());
        IndexFile probed;
        const std::string index = probed_index(media, "fixture" + std::to_string(number), &probed);
        ASSERT_FALSE(index.empty());
        ASSERT_EQ(AnalysisEnd::kWritten, analyse(media, index, f.type));
        EXPECT_EQ(1, g_taken_back);
        IndexFile analysed;
        ASSERT_EQ(IndexError::None, read_index_file(index.c_str(), analysed));
        ASSERT_EQ(probed.segments.size(), analysed.segments.size());
        EXPECT_EQ(int(analysed.segments.size()), g_taken_count);
        if (f.new_width > 0) {
            EXPECT_EQ(probed.width, 176);
            EXPECT_EQ(f.new_width, analysed.width);
            EXPECT_EQ(f.new_height, analysed.height);
        } else {
            EXPECT_EQ(probed.width, analysed.width);
            EXPECT_EQ(probed.height, analysed.height);
        }
        // The index's blocks come back as the probe wrote them (FLV: parameter sets, AAC configuration).
        EXPECT_EQ(probed.block1, analysed.block1);
        EXPECT_EQ(probed.block2, analysed.block2);
        const auto pictures = media_check::decode_pictures(media, 128, 88, "scale=128:88:flags=neighbor");
        // Entries that hold no picture (an FLV's AVC sequence header and end of sequence) have none
        // in ffmpeg's decode either.
        const std::vector<uint8_t> bytes = media_test::read_file(media);
        std::vector<int> picture_of(analysed.segments.size(), -1);
        int pictures_listed = 0;
        for (size_t j = 0; j < analysed.segments.size(); ++j) {
            const IndexEntry& e = analysed.segments[j].entry;
            const bool avc_other = std::string(f.type) == "FLV" && analysed.codec == 7 &&
                                   (size_t(e.position) >= bytes.size() || bytes[size_t(e.position)] != 1);
            if (!avc_other) picture_of[j] = pictures_listed++;
        }
        ASSERT_EQ(size_t(pictures_listed), pictures.size());
        // ffmpeg's pictures at their own size, for the rule's sampling (one size: not the size change).
        const auto whole = f.new_width > 0 ? decltype(pictures)()
                                           : media_check::decode_pictures(media, analysed.width, analysed.height, "");
        if (f.new_width == 0) {
            ASSERT_EQ(pictures.size(), whole.size());
        }
        int thumbnails = 0;
        double worst = 99, worst_rule = 99;
        for (size_t j = 0; j < analysed.segments.size(); ++j) {
            const Segment& s = analysed.segments[j];
            if (!s.has_thumbnail()) continue;
            ++thumbnails;
            ASSERT_GE(picture_of[j], 0) << j;
            const std::vector<uint8_t> ours = unpack(s.thumbnail);
            ASSERT_FALSE(ours.empty()) << j;
            const double db = psnr(ours, pictures[size_t(picture_of[j])]);
            worst = std::min(worst, db);
            EXPECT_GE(db, 25.0) << "entry " << j;
            if (!whole.empty()) {
                const double rule = psnr(ours, nearest_rule(whole[size_t(picture_of[j])], analysed.width, analysed.height));
                worst_rule = std::min(worst_rule, rule);
                EXPECT_GE(rule, 35.0) << "entry " << j << " against the nearest-neighbour rule";
            }
        }
        char rule_text[32] = "-";
        if (!whole.empty()) std::snprintf(rule_text, sizeof rule_text, "%.1f dB", worst_rule);
        std::printf("[ analysis ] %s: %d thumbnails of %zu entries, worst PSNR %.1f dB (ffmpeg's scaling), "
                    "%s (ffmpeg's picture sampled by the rule)\n",
                    f.name, thumbnails, analysed.segments.size(), worst, rule_text);
        EXPECT_GE(thumbnails, 2);
        // Once more: nothing decoded (SWF decodes every picture again), the same bytes.
        const std::vector<uint8_t> first = media_test::read_file(index);
        ASSERT_EQ(AnalysisEnd::kWritten, analyse(media, index, f.type));
        if (std::string(f.type) != "SWF") {
            std::string keys;
            for (size_t j = 0; j < analysed.segments.size(); ++j) {
                const Segment& s = analysed.segments[j];
                if (s.entry.is_key == 1)
                    keys += " " + std::to_string(j) + "@" + std::to_string(s.entry.time_ms) + (s.has_thumbnail() ? "*" : "");
            }
            EXPECT_EQ(0, dlg_->LastDecoded()) << "key entries:" << keys;
        }
        EXPECT_EQ(first, media_test::read_file(index));
    }
}

TEST_F(Analysis, HostileIndexFilesAreRefusedAndLeftAsTheyAre) {
    const std::string media = kFixtures[0].make();
    IndexFile probed;
    const std::string index = probed_index(media, "hostile", &probed);
    ASSERT_FALSE(index.empty());
    const std::vector<uint8_t> good = media_test::read_file(index);
    const size_t trailer = 24 + 28 * probed.segments.size();
    auto put = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with = [&](const char* name, auto change) {
        std::vector<uint8_t> b = good;
        change(b);
        cases.push_back({name, b});
    };
    with("huge count", [&](auto& b) { put(b, 20, 0x7FFFFFFF); });
    with("thumbnail past the end", [&](auto& b) { put(b, 24 + 20, int32_t(b.size())); });
    with("thumbnail above 64 KiB", [&](auto& b) {
        put(b, 24 + 20, 70000);
        b.insert(b.begin() + 24 + 28, 70000, 0);
    });
    with("1025-byte block", [&](auto& b) {
        b.resize(trailer);
        const int32_t l[2] = {1025, 0};
        b.insert(b.end(), reinterpret_cast<const uint8_t*>(l), reinterpret_cast<const uint8_t*>(l) + 4);
        b.insert(b.end(), 1025, 0x55);
        b.insert(b.end(), reinterpret_cast<const uint8_t*>(l + 1), reinterpret_cast<const uint8_t*>(l + 1) + 4);
    });
    with("short header", [&](auto& b) { b.resize(20); });
    with("width 0", [&](auto& b) { put(b, 4, 0); });
    with("width 100000", [&](auto& b) { put(b, 4, 100000); });
    with("trailing bytes", [&](auto& b) { b.push_back(1); });
    with("length past the media file", [&](auto& b) { put(b, 24 + 28 * 2 + 8, 1 << 28); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media_test::write_file(index, c.bytes);
        EXPECT_EQ(AnalysisEnd::kUnusable, analyse(media, index, "FLV"));
        EXPECT_EQ(0, g_taken_back);
        EXPECT_EQ(0, dlg_->LastDecoded());
        EXPECT_EQ(c.bytes, media_test::read_file(index));
        EXPECT_FALSE(IsWindowVisible(dlg_->m_hWnd));
    }
}

TEST_F(Analysis, AForgottenFileStopsItsAnalysisAndGetsNothingBack) {
    const std::string media = kFixtures[4].make();
    ASSERT_FALSE(media.empty());
    IndexFile probed;
    const std::string index = probed_index(media, "forgotten", &probed);
    ASSERT_FALSE(index.empty());
    const std::vector<uint8_t> before = media_test::read_file(index);
    std::snprintf(dlg_->media_path, sizeof dlg_->media_path, "%s", windows_path(media).c_str());
    std::snprintf(dlg_->index_path, sizeof dlg_->index_path, "%s", windows_path(index).c_str());
    std::snprintf(dlg_->type_name, sizeof dlg_->type_name, "MP4");
    g_taken_back = 0;
    ASSERT_EQ(0, dlg_->StartAnalysis());
    // A second hand-over of the same file waits in the queue.
    ASSERT_EQ(0, dlg_->StartAnalysis());
    // The thread cannot reach its first entry before this thread answers it: the stop comes first.
    dlg_->ForgetFile(dlg_->media_path);
    for (DWORD start = GetTickCount(); dlg_->Thread() && GetTickCount() - start < 60000;) pump_messages(20);
    pump_messages(200);
    EXPECT_EQ(nullptr, dlg_->Thread());
    EXPECT_EQ(0, g_taken_back);
    EXPECT_EQ(AnalysisEnd::kWritten, dlg_->LastEnd());
    EXPECT_EQ(0, dlg_->LastDecoded());
    // What was made (nothing) is written: the same entries.
    EXPECT_EQ(before, media_test::read_file(index));
}

// A file added while a play or a conversion runs: its analysis waits for the run's end, then runs and
// hands its list back (the decoder libraries are the run's meanwhile).
TEST_F(Analysis, AHandOverDuringARunWaitsForTheRunsEnd) {
    const std::string media = kFixtures[4].make();
    ASSERT_FALSE(media.empty());
    IndexFile probed;
    const std::string index = probed_index(media, "during-a-run", &probed);
    ASSERT_FALSE(index.empty());
    std::snprintf(dlg_->media_path, sizeof dlg_->media_path, "%s", windows_path(media).c_str());
    std::snprintf(dlg_->index_path, sizeof dlg_->index_path, "%s", windows_path(index).c_str());
    std::snprintf(dlg_->type_name, sizeof dlg_->type_name, "MP4");
    g_taken_back = 0;
    set_flag(g_busy, true);
    EXPECT_EQ(-1, dlg_->StartAnalysis());
    pump_messages(1500);
    EXPECT_EQ(nullptr, dlg_->Thread()) << "an analysis began while the run went on";
    EXPECT_EQ(0, g_taken_back);
    set_flag(g_busy, false);
    for (DWORD start = GetTickCount(); g_taken_back == 0 && GetTickCount() - start < 60000;) pump_messages(20);
    for (DWORD start = GetTickCount(); dlg_->Thread() && GetTickCount() - start < 60000;) pump_messages(20);
    EXPECT_EQ(1, g_taken_back);
    EXPECT_EQ(AnalysisEnd::kWritten, dlg_->LastEnd());
    EXPECT_GT(dlg_->LastDecoded(), 0);
}

}  // namespace
