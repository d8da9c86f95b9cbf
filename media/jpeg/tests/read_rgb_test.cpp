// Whole JPEG files made by ImageMagick at test time, read back against ImageMagick's own decode;
// CMYK files, damaged files and the row helpers.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "base/message_seam.h"
#include "media/jpeg/jpegfile.h"
#include "tests/support/media_test_tools.h"

namespace {

using media_test::fresh_path;
using media_test::run;

struct Shown {
    std::vector<std::string> texts, captions;
};
Shown g_shown;
int record(const char* text, const char* caption, unsigned, void*) {
    g_shown.texts.push_back(text);
    g_shown.captions.push_back(caption ? caption : "");
    return seam::kAnswerOk;
}

class ReadRgb : public ::testing::Test {
protected:
    void SetUp() override {
        g_shown = {};
        seam::set_reporter(record, nullptr);
    }
    void TearDown() override { seam::set_reporter(nullptr, nullptr); }
};

struct Picture {
    uint8_t* data = nullptr;
    int width = -1, height = -1;
    explicit Picture(const std::string& path) { data = JpegFile::ReadRgb(path.c_str(), &width, &height); }
    ~Picture() { std::free(data); }
};

// A 61 x 37 colour picture as a binary PPM (odd sizes: partial blocks and padding).
std::string write_source_ppm(const std::string& name) {
    const int w = 61, h = 37;
    std::string ppm = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ppm += char(x * 4);
            ppm += char(y * 6);
            ppm += char(((x / 8 + y / 8) & 1) ? 200 : 30);
        }
    const std::string path = fresh_path(name);
    media_test::write_file(path, std::vector<uint8_t>(ppm.begin(), ppm.end()));
    return path;
}

std::string make_jpeg(const std::string& options, const std::string& name) {
    const std::string source = write_source_ppm("source.ppm"), jpeg = fresh_path(name);
    int status = -1;
    run("convert '" + source + "' " + options + " '" + jpeg + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << options;
    return jpeg;
}

}  // namespace

TEST_F(ReadRgb, FilesMatchImageMagicksDecodeWithinOneStep) {
    struct Case {
        const char* name;
        const char* options;
        bool grey;
    } cases[] = {{"colour", "-quality 85", false},
                 {"grey", "-colorspace Gray -quality 85", true},
                 {"progressive", "-interlace Plane -quality 80", false},
                 {"no chroma subsampling", "-sampling-factor 1x1 -quality 95", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = make_jpeg(c.options, std::string(c.name) + ".jpg");
        Picture p(path);
        ASSERT_NE(p.data, nullptr);
        EXPECT_EQ(p.width, 61);
        EXPECT_EQ(p.height, 37);
        const std::vector<uint8_t> expected = media_test::magick_rgb(path);
        ASSERT_EQ(expected.size(), size_t(61 * 37 * 3));
        int worst = 0;
        for (size_t i = 0; i < expected.size(); ++i) worst = std::max(worst, std::abs(int(p.data[i]) - int(expected[i])));
        EXPECT_LE(worst, 1);
        if (c.grey)
            for (size_t i = 0; i < expected.size(); i += 3) {
                ASSERT_EQ(p.data[i], p.data[i + 1]) << i;
                ASSERT_EQ(p.data[i], p.data[i + 2]) << i;
            }
    }
    EXPECT_TRUE(g_shown.texts.empty());
}

TEST_F(ReadRgb, CmykFileComesBackInItsColours) {
    // White, black and red thirds, written by ImageMagick as a CMYK JPEG.
    const std::string jpeg = fresh_path("cmyk.jpg");
    int status = -1;
    run("convert -size 30x48 xc:white -size 30x48 xc:black -size 30x48 xc:red +append -colorspace CMYK -quality 95 '" +
            jpeg + "' 2>&1",
        &status);
    ASSERT_EQ(status, 0);
    ASSERT_NE(run("identify -format '%[colorspace]' '" + jpeg + "'").find("CMYK"), std::string::npos);
    Picture p(jpeg);
    ASSERT_NE(p.data, nullptr);
    ASSERT_EQ(p.width, 90);
    ASSERT_EQ(p.height, 48);
    const struct {
        int x;
        uint8_t r, g, b;
    } probes[] = {{15, 255, 255, 255}, {45, 0, 0, 0}, {75, 255, 0, 0}};
    for (const auto& probe : probes)
        for (int y : {2, 24, 45}) {
            const uint8_t* px = p.data + (size_t(y) * 90 + probe.x) * 3;
            EXPECT_NEAR(px[0], probe.r, 8) << probe.x << "," << y;
            EXPECT_NEAR(px[1], probe.g, 8) << probe.x << "," << y;
            EXPECT_NEAR(px[2], probe.b, 8) << probe.x << "," << y;
        }
}

TEST_F(ReadRgb, DamagedOrMissingFilesGiveNoPictureAndAMessage) {
    const std::vector<uint8_t> good = media_test::read_file(make_jpeg("-quality 85", "good.jpg"));
    ASSERT_GT(good.size(), 200u);
    std::vector<uint8_t> garbage(3000);
    uint32_t seed = 99;
    for (uint8_t& b : garbage) b = uint8_t((seed = seed * 1103515245 + 12345) >> 24);
    std::vector<uint8_t> garbage_after_soi = garbage;
    garbage_after_soi[0] = 0xFF;
    garbage_after_soi[1] = 0xD8;
    // The frame header claims 65,000 x 65,000: far beyond what the reader takes.
    std::vector<uint8_t> huge = good;
    for (size_t i = 2; i + 9 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xFD;
            huge[i + 6] = huge[i + 8] = 0xE8;
            break;
        }
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* caption;
    } cases[] = {
        {"cut in the scan", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() * 2 / 3)), "JPEG Fatal Error"},
        {"cut in the header", std::vector<uint8_t>(good.begin(), good.begin() + 40), "JPEG Fatal Error"},
        {"random bytes", garbage, "JPEG Fatal Error"},
        {"random bytes after SOI", garbage_after_soi, "JPEG Fatal Error"},
        {"empty", {}, "JPEG Fatal Error"},
        {"huge size", huge, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_shown = {};
        const std::string path = fresh_path("damaged.jpg");
        media_test::write_file(path, c.bytes);
        Picture p(path);
        EXPECT_EQ(p.data, nullptr);
        EXPECT_EQ(p.width, 0);
        EXPECT_EQ(p.height, 0);
        ASSERT_EQ(g_shown.captions.size(), 1u);
        EXPECT_EQ(g_shown.captions[0], c.caption);
    }
    // A picture too large to hold is refused before any row is decoded.
    EXPECT_EQ(g_shown.texts[0], "JpegFile :\nOut of memory");

    g_shown = {};
    const std::string missing = fresh_path("missing.jpg");
    Picture none(missing);
    EXPECT_EQ(none.data, nullptr);
    ASSERT_EQ(g_shown.texts.size(), 1u);
    EXPECT_EQ(g_shown.texts[0], "JPEG :\nCan't open " + missing + "\n");
}

TEST(JpegRowsMore, SmallestWidthAndSingleRow) {
    uint8_t pixel[3] = {1, 2, 3};
    int stride = 0;
    uint8_t* one = JpegFile::AlignRows(pixel, 1, 1, &stride);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(stride, 4);
    EXPECT_EQ(JpegFile::FlipRows(one, stride, 1), 1);
    EXPECT_EQ(std::memcmp(one, pixel, 3), 0);
    std::free(one);
}
