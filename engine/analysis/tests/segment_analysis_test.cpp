// The analysis course over an FLV-like file whose decoder is a stand-in painting each picture in the
// colour its first data byte names: thumbnails, the rewritten index, refusals of hostile indexes, a
// second analysis and a stop.
#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>
#include "codecs/tolmpicpack/picpack_core.h"
#include "engine/analysis/segment_analysis.h"

namespace {

namespace fs = std::filesystem;

int g_decodes = 0;

InputCalls painting_calls() {
    InputCalls c;
    c.sh263de_init = [] { return 0; };
    c.sh263de_setdispmode = [](int) { return 0; };
    c.sh263de_exit = [] { return 0; };
    // A 16 x 16 picture in the grey its first byte gives (0 is refused).
    c.sh263de_frame = [](const unsigned char* data, int length, unsigned char* picture, int bytes) {
        ++g_decodes;
        if (length < 1 || data[0] == 0 || bytes < 48 * 16) return -1;
        std::memset(picture, data[0], 48 * 16);
        return 48 * 16;
    };
    return c;
}

int pack(unsigned char* d, uint32_t* dl, const unsigned char* s, uint32_t sl) { return picpack::compress(d, dl, s, sl); }

class Recorder : public AnalysisHost {
public:
    void show(bool visible) override { shown.push_back(visible); }
    void set_caption(const std::string& t) override { caption = t; }
    void set_status(const std::string& t) override { statuses.push_back(t); }
    void set_range(int) override {}
    void set_position(int) override {}
    bool stop_requested() override { return asked++ >= stop_after; }
    std::vector<bool> shown;
    std::string caption;
    std::vector<std::string> statuses;
    int asked = 0;
    int stop_after = 1 << 30;
};

std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class SegmentAnalysis : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("analysis_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        request.media_path = (dir / "a.flv").string();
        request.index_path = (dir / "a.dat").string();
        request.type_name = "FLV";
        // Ten pictures of 4 bytes, a key picture every 500 ms, grey levels 10, 20, ...
        std::vector<uint8_t> media(64, 0xEE);
        for (int i = 0; i < 10; ++i) {
            Segment s;
            s.entry.is_key = i % 2 == 0 ? 1 : 2;
            s.entry.position = 16 + 4 * i;
            s.entry.length = 4;
            s.entry.time_ms = i * 250;
            std::memset(media.data() + 16 + 4 * i, 10 * (i + 1), 4);
            index.segments.push_back(s);
        }
        index.codec = 2;
        index.width = 16;
        index.height = 16;
        index.frame_rate = 4;
        index.has_blocks = true;
        index.block2 = {0x12, 0x10};  // an AAC configuration the probe kept
        write_bytes(request.media_path, media);
        write(index);
        calls = painting_calls();
        libraries.calls = &calls;
        libraries.compress = pack;
        g_decodes = 0;
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const IndexFile& i) {
        std::vector<uint8_t> bytes;
        ASSERT_EQ(IndexError::None, encode_index_file(i, bytes));
        write_bytes(request.index_path, bytes);
    }

    fs::path dir;
    AnalysisRequest request;
    IndexFile index;
    InputCalls calls;
    AnalysisLibraries libraries;
};

TEST_F(SegmentAnalysis, ThumbnailsOfTheChosenPicturesAndTheBlocksKept) {
    Recorder host;
    const AnalysisOutcome out = run_analysis(request, libraries, host);
    ASSERT_EQ(AnalysisEnd::kWritten, out.end);
    // Key pictures every 500 ms: every second one.
    EXPECT_EQ(3, out.decoded);
    EXPECT_EQ(3, out.thumbnails);
    EXPECT_EQ("开始分析并读取FLV文件" + request.media_path, host.caption);
    EXPECT_EQ("开始分析并读取视频文件[9/10]", host.statuses.back());
    EXPECT_EQ((std::vector<bool>{true, false}), host.shown);
    IndexFile back;
    ASSERT_EQ(IndexError::None, read_index_file(request.index_path.c_str(), back));
    ASSERT_EQ(10u, back.segments.size());
    EXPECT_EQ(index.block2, back.block2);
    EXPECT_TRUE(back.has_blocks);
    for (int j = 0; j < 10; ++j) {
        const Segment& s = back.segments[size_t(j)];
        ASSERT_EQ(j % 4 == 0, s.has_thumbnail()) << j;  // 0, 4, 8
        if (!s.has_thumbnail()) continue;
        std::vector<uint8_t> pixels(384 * 88);
        uint32_t length = uint32_t(pixels.size());
        ASSERT_EQ(0, picpack::uncompress(pixels.data(), &length, s.thumbnail.data(), uint32_t(s.thumbnail.size())));
        ASSERT_EQ(384u * 88, length);
        for (int y = 0; y < 88; y += 29)
            for (int x = 0; x < 384; x += 37) ASSERT_EQ(10 * (j + 1), pixels[size_t(y) * 384 + x]) << j;
    }
    // Once more: nothing to decode, the same bytes.
    const std::vector<uint8_t> first = read_bytes(request.index_path);
    g_decodes = 0;
    Recorder again;
    EXPECT_EQ(AnalysisEnd::kWritten, run_analysis(request, libraries, again).end);
    EXPECT_EQ(0, g_decodes);
    EXPECT_EQ(first, read_bytes(request.index_path));
}

TEST_F(SegmentAnalysis, APictureThatDoesNotDecodeLeavesTheNextKeyPictureToBeTaken) {
    std::vector<uint8_t> media = read_bytes(request.media_path);
    media[16] = 0;  // picture 0 is refused
    write_bytes(request.media_path, media);
    Recorder host;
    const AnalysisOutcome out = run_analysis(request, libraries, host);
    ASSERT_EQ(AnalysisEnd::kWritten, out.end);
    std::vector<int> with;
    for (size_t j = 0; j < out.index.segments.size(); ++j)
        if (out.index.segments[j].has_thumbnail()) with.push_back(int(j));
    EXPECT_EQ((std::vector<int>{2, 6}), with);
}

TEST_F(SegmentAnalysis, AStopWritesWhatWasMade) {
    Recorder host;
    host.stop_after = 5;  // entries 0 ... 4 are walked
    const AnalysisOutcome out = run_analysis(request, libraries, host);
    ASSERT_EQ(AnalysisEnd::kWritten, out.end);
    EXPECT_TRUE(out.stopped);
    EXPECT_EQ(2, out.thumbnails);
    IndexFile back;
    ASSERT_EQ(IndexError::None, read_index_file(request.index_path.c_str(), back));
    EXPECT_EQ(10u, back.segments.size());
    EXPECT_TRUE(back.segments[4].has_thumbnail());
    EXPECT_FALSE(back.segments[8].has_thumbnail());
}

TEST_F(SegmentAnalysis, HostileIndexesAreRefusedAndLeftAsTheyAre) {
    auto put_int = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(b.data() + at, &v, 4); };
    std::vector<uint8_t> good;
    ASSERT_EQ(IndexError::None, encode_index_file(index, good));
    const size_t first_entry = 24, trailer = 24 + 28 * 10;
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
    with("huge count", [&](auto& b) { put_int(b, 20, 0x7FFFFFFF); });
    with("negative count", [&](auto& b) { put_int(b, 20, -1); });
    with("thumbnail past the end", [&](auto& b) { put_int(b, first_entry + 20, 5000); });
    with("thumbnail above 64 KiB", [&](auto& b) {
        put_int(b, first_entry + 20, 70000);
        b.insert(b.begin() + first_entry + 28, 70000, 0);
    });
    with("1025-byte block", [&](auto& b) {
        b.resize(trailer);
        int32_t l = 1025;
        b.insert(b.end(), reinterpret_cast<uint8_t*>(&l), reinterpret_cast<uint8_t*>(&l) + 4);
        b.insert(b.end(), 1025, 0x55);
        l = 0;
        b.insert(b.end(), reinterpret_cast<uint8_t*>(&l), reinterpret_cast<uint8_t*>(&l) + 4);
    });
    with("short header", [&](auto& b) { b.resize(22); });
    with("width 0", [&](auto& b) { put_int(b, 4, 0); });
    with("width 100000", [&](auto& b) { put_int(b, 4, 100000); });
    with("height 4097", [&](auto& b) { put_int(b, 8, 4097); });
    with("trailing bytes", [&](auto& b) { b.push_back(7); });
    with("length past the media file", [&](auto& b) { put_int(b, first_entry + 28 * 3 + 8, 1 << 20); });
    with("position past the media file", [&](auto& b) { put_int(b, first_entry + 28 * 3 + 4, 62); });
    with("negative position", [&](auto& b) { put_int(b, first_entry + 4, -8); });
    for (const Case& c : cases) {
        write_bytes(request.index_path, c.bytes);
        g_decodes = 0;
        Recorder host;
        const AnalysisOutcome out = run_analysis(request, libraries, host);
        EXPECT_EQ(AnalysisEnd::kUnusable, out.end) << c.name;
        EXPECT_EQ(0, g_decodes) << c.name;
        EXPECT_EQ(c.bytes, read_bytes(request.index_path)) << c.name;
        EXPECT_EQ(std::vector<bool>{false}, host.shown) << c.name;
        EXPECT_FALSE(fs::exists(request.index_path + ".part")) << c.name;
    }
}

TEST_F(SegmentAnalysis, MissingFilesLibrariesAndOtherTypes) {
    Recorder host;
    AnalysisRequest other = request;
    other.type_name = "MPEG2 TS";
    EXPECT_EQ(AnalysisEnd::kNoThread, run_analysis(other, libraries, host).end);
    other = request;
    other.index_path = (dir / "none.dat").string();
    EXPECT_EQ(AnalysisEnd::kNoIndex, run_analysis(other, libraries, host).end);
    EXPECT_TRUE(host.statuses.empty());

    // A library that cannot be bound: FLV ends silently, MTV says so.
    AnalysisLibraries unbound = libraries;
    unbound.bind = [](AnalysisKind) { return -1; };
    EXPECT_EQ(AnalysisEnd::kNoLibrary, run_analysis(request, unbound, host).end);
    EXPECT_TRUE(host.statuses.empty());
    other = request;
    other.type_name = "MTV";
    EXPECT_EQ(AnalysisEnd::kNoLibrary, run_analysis(other, unbound, host).end);
    EXPECT_EQ(std::vector<std::string>{"装载解码动态库失败"}, host.statuses);
    // The AVI decoder cannot be set up.
    host.statuses.clear();
    other.type_name = "AVI";
    EXPECT_EQ(AnalysisEnd::kDecoderFailed, run_analysis(other, libraries, host).end);
    EXPECT_EQ(std::vector<std::string>{"AVI初始化解码失败"}, host.statuses);
}

}  // namespace
