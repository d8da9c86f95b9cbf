// AMV-style frames against libjpeg's decode of the complete original, broken frames, row helpers.
#include <gtest/gtest.h>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <jpeglib.h>
#include "media/jpeg/jpegfile.h"
#include "base/message_seam.h"

namespace {

// A colourful test picture, R,G,B rows without padding.
std::vector<uint8_t> test_picture(int w, int h) {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(x * 255 / w);
            p[1] = uint8_t(y * 255 / h);
            p[2] = uint8_t(((x / 8 + y / 8) & 1) ? 220 : 40);
        }
    return rgb;
}

// Encodes as an AMV camera would: Annex K tables at 80 % (quality 60), 4:2:0, component ids 0..2,
// restart interval 1000, no JFIF marker.
std::vector<uint8_t> encode_jpeg(const std::vector<uint8_t>& rgb, int w, int h) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 60, TRUE);
    c.write_JFIF_header = FALSE;
    c.restart_interval = 1000;
    for (int i = 0; i < 3; ++i) c.comp_info[i].component_id = i;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[size_t(c.next_scanline) * w * 3]);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> jpeg(out, out + size);
    std::free(out);
    jpeg_destroy_compress(&c);
    return jpeg;
}

// libjpeg's decode of a complete JPEG; frames spread their colour without interpolation.
std::vector<uint8_t> decode_jpeg(const std::vector<uint8_t>& jpeg, bool fancy = false) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_RGB;
    d.do_fancy_upsampling = fancy ? TRUE : FALSE;
    jpeg_start_decompress(&d);
    std::vector<uint8_t> rgb(size_t(d.output_width) * d.output_height * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = &rgb[size_t(d.output_scanline) * d.output_width * 3];
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return rgb;
}

// The frame as AMV stores it: SOI, then the entropy-coded scan and EOI (everything after SOS).
std::vector<uint8_t> strip_as_amv(const std::vector<uint8_t>& jpeg) {
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

struct Shown {
    std::vector<std::string> texts, captions;
    std::vector<unsigned> icons;
};
Shown g_shown;
int record(const char* text, const char* caption, unsigned icon, void*) {
    g_shown.texts.push_back(text);
    g_shown.captions.push_back(caption ? caption : "");
    g_shown.icons.push_back(icon);
    return seam::kAnswerOk;
}

struct Picture {
    uint8_t* data = nullptr;
    int width = -1, height = -1;
    ~Picture() { std::free(data); }
};

void decode_frame(const std::vector<uint8_t>& frame, int w, int h, Picture& p) {
    p.data = JpegFile::DecodeFrame(frame.data(), int(frame.size()), &p.width, &p.height, w, h);
}

}  // namespace

TEST(JpegFrame, StrippedFrameDecodesLikeTheOriginal) {
    // 640x480 has more MCUs than the restart interval, so its scan carries a restart marker.
    const int sizes[][2] = {{160, 120}, {100, 75}, {640, 480}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]));
        const std::vector<uint8_t> original = encode_jpeg(test_picture(s[0], s[1]), s[0], s[1]);
        const std::vector<uint8_t> frame = strip_as_amv(original);
        ASSERT_FALSE(frame.empty());
        Picture p;
        decode_frame(frame, s[0], s[1], p);
        ASSERT_NE(p.data, nullptr);
        EXPECT_EQ(p.width, s[0]);
        EXPECT_EQ(p.height, s[1]);
        const std::vector<uint8_t> direct = decode_jpeg(original);
        ASSERT_EQ(direct.size(), size_t(s[0]) * s[1] * 3);
        EXPECT_EQ(std::memcmp(p.data, direct.data(), direct.size()), 0);
    }
}

TEST(JpegFrame, HeaderCarriesTheStandardTablesAndTheFrameSize) {
    const uint8_t* h = amv_jpeg_header();
    const struct {
        int offset;
        uint8_t marker;
        int length;
    } segments[] = {{2, 0xDB, 132}, {136, 0xC4, 31}, {169, 0xC4, 31}, {202, 0xC4, 181},
                    {385, 0xC4, 181}, {568, 0xDD, 4}, {574, 0xC0, 17}, {593, 0xDA, 12}};
    EXPECT_EQ(h[0], 0xFF);
    EXPECT_EQ(h[1], 0xD8);
    for (const auto& s : segments) {
        EXPECT_EQ(h[s.offset], 0xFF) << s.offset;
        EXPECT_EQ(h[s.offset + 1], s.marker) << s.offset;
        EXPECT_EQ(h[s.offset + 2] << 8 | h[s.offset + 3], s.length) << s.offset;
    }
    EXPECT_EQ(593 + 2 + 12, kAmvHeaderSize);
    // Annex K's first luminance and chrominance values at 80 %: 16 -> 13, 17 -> 14; 99 -> 79.
    EXPECT_EQ(h[7], 13);
    EXPECT_EQ(h[7 + 65], 14);
    EXPECT_EQ(h[7 + 65 + 63], 79);
    EXPECT_EQ(h[kAmvHeightOffset] << 8 | h[kAmvHeightOffset + 1], 120);
    EXPECT_EQ(h[kAmvWidthOffset] << 8 | h[kAmvWidthOffset + 1], 160);
}

TEST(JpegFrame, TruncatedFrameEndsWithAPicture) {
    const std::vector<uint8_t> full = strip_as_amv(encode_jpeg(test_picture(160, 120), 160, 120));
    std::vector<uint8_t> cut(full.begin(), full.begin() + long(full.size() / 2));
    seam::set_reporter(record, nullptr);
    g_shown = {};
    Picture p;
    decode_frame(cut, 160, 120, p);
    EXPECT_NE(p.data, nullptr);  // the missing end reads as an end-of-image marker
    EXPECT_EQ(p.width, 160);
    EXPECT_TRUE(g_shown.texts.empty());  // a warning, not shown
    seam::set_reporter(nullptr, nullptr);
}

TEST(JpegFrame, BrokenFramesGiveNoPictureAndLeakNothing) {
    seam::set_reporter(record, nullptr);
    const std::vector<uint8_t> good = strip_as_amv(encode_jpeg(test_picture(64, 48), 64, 48));
    std::vector<uint8_t> second_start = good;  // a start-of-image marker where only the end may follow
    second_start.insert(second_start.end() - 2, {0xFF, 0xD8});
    std::vector<uint8_t> second_frame_header = {0xFF, 0xD8, 0xFF, 0xC0, 0, 17, 8, 0, 48, 0, 64, 3, 0, 0x22, 0,
                                                1, 0x11, 1, 2, 0x11, 1};
    struct Case {
        const char* name;
        std::vector<uint8_t> frame;
        bool fatal;
    } cases[] = {
        {"second SOI", second_start, true},
        {"SOF inside the frame", second_frame_header, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_shown = {};
        Picture p;
        decode_frame(c.frame, 64, 48, p);
        EXPECT_EQ(p.data, nullptr);
        EXPECT_EQ(p.width, 0);
        EXPECT_EQ(p.height, 0);
        ASSERT_EQ(g_shown.captions.size(), 1u);
        EXPECT_EQ(g_shown.captions[0], "JPEG Fatal Error");
        EXPECT_EQ(g_shown.icons[0], unsigned(seam::kIconStop));
    }
    // Random bytes: a picture or none, but never a crash or a leak.
    std::vector<uint8_t> garbage(5000);
    uint32_t seed = 12345;
    for (uint8_t& b : garbage) b = uint8_t((seed = seed * 1103515245 + 12345) >> 24);
    for (int n = 0; n < 20; ++n) {
        garbage[n * 7] = 0xFF;
        Picture p;
        decode_frame(garbage, 64, 48, p);
        EXPECT_EQ(p.data != nullptr, p.width == 64);
    }
    seam::set_reporter(nullptr, nullptr);
}

TEST(JpegFrame, RefusesFramesAndSizesItCannotUse) {
    const uint8_t tiny[2] = {0xFF, 0xD8};
    struct Case {
        const uint8_t* frame;
        int length, width, height;
    } cases[] = {{tiny, 2, 64, 48}, {tiny, 0, 64, 48}, {nullptr, 100, 64, 48}, {tiny, 2, 0, 48},
                 {tiny, 2, 64, -1}, {tiny, 2, 70000, 48}};
    for (const Case& c : cases) {
        int w = -1, h = -1;
        EXPECT_EQ(JpegFile::DecodeFrame(c.frame, c.length, &w, &h, c.width, c.height), nullptr);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
    }
}

TEST(JpegRows, AlignFlipAndSwap) {
    // 2 x 3 picture: stride 8 (6 bytes and 2 of padding).
    uint8_t rgb[18];
    for (int i = 0; i < 18; ++i) rgb[i] = uint8_t(i);
    int stride = 0;
    uint8_t* aligned = JpegFile::AlignRows(rgb, 2, 3, &stride);
    ASSERT_NE(aligned, nullptr);
    EXPECT_EQ(stride, 8);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(std::memcmp(aligned + y * 8, rgb + y * 6, 6), 0);
    // Odd row count: the middle row stays.
    ASSERT_EQ(JpegFile::FlipRows(aligned, stride, 3), 1);
    EXPECT_EQ(std::memcmp(aligned, rgb + 12, 6), 0);
    EXPECT_EQ(std::memcmp(aligned + 8, rgb + 6, 6), 0);
    EXPECT_EQ(std::memcmp(aligned + 16, rgb, 6), 0);
    std::free(aligned);

    uint8_t* four = JpegFile::AlignRows(rgb, 4, 1, &stride);  // width a multiple of 4: no padding
    EXPECT_EQ(stride, 12);
    std::free(four);

    ASSERT_EQ(JpegFile::SwapRedBlue(rgb, 2, 3), 1);
    EXPECT_EQ(rgb[0], 2);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(rgb[15], 17);
    EXPECT_EQ(rgb[17], 15);

    EXPECT_EQ(JpegFile::AlignRows(nullptr, 2, 3, &stride), nullptr);
    EXPECT_EQ(JpegFile::FlipRows(nullptr, 8, 3), 0);
    EXPECT_EQ(JpegFile::SwapRedBlue(nullptr, 2, 3), 0);
}
