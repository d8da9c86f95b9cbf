// Picture-layer fields, grey intra pictures and unchanged inter pictures, bit for bit.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "media/h263/h263encode.h"

namespace {

class BitReader {
public:
    explicit BitReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint32_t get(int bits) {
        uint32_t v = 0;
        for (int i = 0; i < bits; ++i, ++pos_) v = v << 1 | ((bytes_[pos_ / 8] >> (7 - pos_ % 8)) & 1);
        return v;
    }
    size_t position() const { return pos_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

std::vector<int32_t> flat_picture(int w, int h, int value) { return std::vector<int32_t>(size_t(w) * h * 3 / 2, value); }

std::vector<uint8_t> encode(const std::vector<int32_t>& picture, int w, int h, bool intra) {
    std::vector<uint8_t> out(size_t(w) * h * 3);
    int n = h263encode_encode(picture.data(), 0, intra, out.data());
    EXPECT_GT(n, 0);
    out.resize(size_t(n > 0 ? n : 0));
    return out;
}

struct Header {
    uint32_t psc, tr, format, coding_type, pquant;
    uint32_t width = 0, height = 0;  // custom format only
    size_t bits = 0;                 // header length
};

Header parse_header(const std::vector<uint8_t>& bytes) {
    BitReader r(bytes);
    Header h{};
    h.psc = r.get(22);
    h.tr = r.get(8);
    EXPECT_EQ(r.get(2), 2u);  // "1", "0"
    EXPECT_EQ(r.get(3), 0u);  // split screen, document camera, freeze release
    h.format = r.get(3);
    if (h.format != 7) {
        h.coding_type = r.get(1);
        EXPECT_EQ(r.get(4), 0u);  // no optional modes
        h.pquant = r.get(5);
        EXPECT_EQ(r.get(2), 0u);  // CPM, PEI
    } else {
        EXPECT_EQ(r.get(3), 1u);  // UFEP
        h.format = 8 + r.get(3);  // 14: custom
        EXPECT_EQ(r.get(11), 0u);
        EXPECT_EQ(r.get(4), 8u);
        h.coding_type = r.get(3);
        EXPECT_EQ(r.get(6), 1u);  // RPR, RRU, RTYPE, reserved, "1"
        EXPECT_EQ(r.get(1), 0u);  // CPM
        EXPECT_EQ(r.get(4), 1u);  // square pixels
        h.width = (r.get(9) + 1) * 4;
        EXPECT_EQ(r.get(1), 1u);
        h.height = r.get(9) * 4;
        h.pquant = r.get(5);
        EXPECT_EQ(r.get(1), 0u);  // PEI
    }
    h.bits = r.position();
    return h;
}

struct SizeCase {
    int width, height;
    uint32_t format;  // PTYPE source format; 14 for the custom format
    size_t header_bits;
};
const SizeCase kSizes[] = {
    {128, 96, 1, 50}, {176, 144, 2, 50}, {352, 288, 3, 50}, {704, 576, 4, 50}, {320, 240, 14, 98},
    {160, 120, 14, 98}, {348, 260, 14, 98},  // not whole macroblocks: coded padded
};

}  // namespace

TEST(H263Header, FieldsOfIntraAndInterPicturesAtEverySize) {
    for (const SizeCase& s : kSizes) {
        SCOPED_TRACE(s.width);
        ASSERT_EQ(h263encode_init(s.width, s.height), 0);
        auto grey = flat_picture(s.width, s.height, 128);
        for (int n = 0; n < 3; ++n) {
            Header h = parse_header(encode(grey, s.width, s.height, n == 0));
            EXPECT_EQ(h.psc, 0x20u);
            EXPECT_EQ(h.tr, uint32_t(n));
            EXPECT_EQ(h.format, s.format);
            EXPECT_EQ(h.coding_type, n == 0 ? 0u : 1u);
            EXPECT_EQ(h.pquant, 8u);
            EXPECT_EQ(h.bits, s.header_bits);
            if (s.format == 14) {
                EXPECT_EQ(h.width, uint32_t(s.width));
                EXPECT_EQ(h.height, uint32_t(s.height));
            }
        }
        h263encode_close();
    }
}

TEST(H263Header, GreyIntraPictureCodesEveryDcAs255) {
    const int w = 176, h = 144, macroblocks = 99;
    ASSERT_EQ(h263encode_init(w, h), 0);
    auto bytes = encode(flat_picture(w, h, 128), w, h, true);
    BitReader r(bytes);
    r.get(50);
    for (int mb = 0; mb < macroblocks; ++mb) {
        ASSERT_EQ(r.get(1), 1u) << "MCBPC intra, no chroma AC";
        ASSERT_EQ(r.get(4), 3u) << "CBPY intra, no luma AC";
        for (int b = 0; b < 6; ++b) ASSERT_EQ(r.get(8), 255u) << "INTRADC of level 128";
    }
    EXPECT_EQ(bytes.size(), size_t((50 + macroblocks * 53 + 7) / 8));
    h263encode_close();
}

TEST(H263Header, UnchangedInterPictureIsHeaderAndOneBitPerMacroblock) {
    for (const SizeCase& s : kSizes) {
        SCOPED_TRACE(s.width);
        ASSERT_EQ(h263encode_init(s.width, s.height), 0);
        // A textured picture whose decoded samples stay clear of 0 and 255.
        std::vector<int32_t> picture(size_t(s.width) * s.height * 3 / 2);
        for (size_t i = 0; i < picture.size(); ++i) {
            const double x = double(i % s.width), y = double(i / s.width);
            picture[i] = int32_t(128 + 60 * std::sin(x / 5) * std::cos(y / 7));
        }
        encode(picture, s.width, s.height, true);
        const size_t macroblocks = size_t((s.width + 15) / 16) * ((s.height + 15) / 16);
        for (int n = 0; n < 2; ++n) {
            auto bytes = encode(picture, s.width, s.height, false);
            EXPECT_EQ(bytes.size(), (s.header_bits + macroblocks + 7) / 8);
            BitReader r(bytes);
            r.get(int(s.header_bits));
            for (size_t mb = 0; mb < macroblocks; ++mb) ASSERT_EQ(r.get(1), 1u) << "COD of macroblock " << mb;
        }
        h263encode_close();
    }
}

TEST(H263Header, TemporalReferenceWrapsAfter255) {
    ASSERT_EQ(h263encode_init(128, 96), 0);
    auto grey = flat_picture(128, 96, 90);
    for (int n = 0; n < 258; ++n) {
        Header h = parse_header(encode(grey, 128, 96, n == 0));
        ASSERT_EQ(h.tr, uint32_t(n % 256));
    }
    h263encode_close();
}

TEST(H263Header, SetUpRefusesSizesItCannotCode) {
    const int bad[][2] = {{0, 0}, {102, 96}, {128, 90}, {4096, 96}, {128, 2304}, {-16, 16}, {2052, 96}};
    for (const auto& s : bad) EXPECT_EQ(h263encode_init(s[0], s[1]), -1) << s[0] << "x" << s[1];
    std::vector<uint8_t> out(16);
    std::vector<int32_t> pic(16);
    EXPECT_EQ(h263encode_encode(pic.data(), 0, 1, out.data()), -1);  // no encoder set up
    h263encode_close();
}

TEST(H263Header, TypedPictureMustBeInt32PlanesOfTheSetUpSize) {
    ASSERT_EQ(h263encode_init(128, 96), 0);
    std::vector<int32_t> planes = flat_picture(128, 96, 128);
    std::vector<uint8_t> out(128 * 96 * 3);
    EXPECT_GT(h263encode_encode(picture::yuv420_int32(planes.data(), 128, 96), 1, out.data()), 0);
    EXPECT_EQ(h263encode_encode(picture::yuv420_int32(planes.data(), 176, 144), 1, out.data()), -1);
    EXPECT_EQ(h263encode_encode(picture::yuv420(reinterpret_cast<uint8_t*>(planes.data()), 128, 96), 1, out.data()), -1);
    EXPECT_EQ(h263encode_encode(picture::bgr24(reinterpret_cast<uint8_t*>(planes.data()), 128, 96), 1, out.data()), -1);
    h263encode_close();
}

TEST(H263Header, FirstPictureIsIntraEvenWhenInterIsAsked) {
    ASSERT_EQ(h263encode_init(128, 96), 0);
    Header h = parse_header(encode(flat_picture(128, 96, 60), 128, 96, false));
    EXPECT_EQ(h.coding_type, 0u);
    h263encode_close();
}
