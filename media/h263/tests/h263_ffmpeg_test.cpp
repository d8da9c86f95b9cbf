// 300 pictures of ffmpeg's moving test pattern, encoded into an AVI and decoded by ffmpeg.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include "media/avi/avilib.h"
#include "media/h263/h263encode.h"
#include "tests/support/media_test_tools.h"

namespace {

constexpr int kPictures = 300;
constexpr int kKeyInterval = 20;

double psnr(const uint8_t* a, const uint8_t* b, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * double(n) / sum);
}

struct SizeCase {
    int width, height;
};

}  // namespace

TEST(H263WithFfmpeg, EveryPictureDecodesAtEverySize) {
    const SizeCase sizes[] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {320, 240}, {160, 120}, {172, 100}};
    for (const SizeCase& s : sizes) {
        const std::string tag = std::to_string(s.width) + "x" + std::to_string(s.height);
        SCOPED_TRACE(tag);
        const std::string yuv = media_test::out_path("testsrc_" + tag + ".yuv");
        int status = 0;
        media_test::run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" + tag + ":rate=25 -frames:v " +
                            std::to_string(kPictures) + " -pix_fmt yuv420p -f rawvideo '" + yuv + "'",
                        &status);
        ASSERT_EQ(status, 0);
        const std::vector<uint8_t> source = media_test::read_file(yuv);
        const size_t picture_size = size_t(s.width) * s.height * 3 / 2;
        ASSERT_EQ(source.size(), picture_size * kPictures);

        const std::string avi_path = media_test::fresh_path("h263_" + tag + ".avi");
        AviFile* avi = AVI_open_output_file(avi_path.c_str());
        ASSERT_NE(avi, nullptr);
        AVI_set_video(avi, s.width, s.height, 25.0, "h263");
        ASSERT_EQ(h263encode_init(s.width, s.height), 0);
        std::vector<int32_t> planes(picture_size);
        std::vector<uint8_t> coded(size_t(s.width) * s.height * 3);
        size_t total_bytes = 0;
        for (int n = 0; n < kPictures; ++n) {
            for (size_t i = 0; i < picture_size; ++i) planes[i] = source[n * picture_size + i];
            const bool intra = n % kKeyInterval == 0;
            const int bytes = h263encode_encode(planes.data(), 0, intra, coded.data());
            ASSERT_GT(bytes, 0);
            total_bytes += size_t(bytes);
            ASSERT_EQ(AVI_write_frame(avi, coded.data(), bytes, intra), 0);
        }
        h263encode_close();
        ASSERT_EQ(AVI_close(avi), 0);

        auto streams = media_test::probe_streams(avi_path);
        ASSERT_EQ(streams.size(), 1u);
        EXPECT_EQ(streams[0]["codec_name"], "h263");
        EXPECT_EQ(streams[0]["width"], std::to_string(s.width));
        EXPECT_EQ(streams[0]["height"], std::to_string(s.height));
        EXPECT_EQ(streams[0]["nb_frames"], std::to_string(kPictures));
        // Only the intra pictures are flagged as key pictures in the index.
        AviFile* in = AVI_open_input_file(avi_path.c_str(), 1);
        ASSERT_NE(in, nullptr);
        ASSERT_EQ(in->frame_count, kPictures);
        for (int n = 0; n < kPictures; ++n)
            ASSERT_EQ(in->video_entries[n].flags, n % kKeyInterval == 0 ? AVI_KEYFRAME : 0u) << "picture " << n;
        AVI_close(in);

        const std::string decoded_path = media_test::out_path("h263_" + tag + ".decoded.yuv");
        const std::string errors_path = decoded_path + ".errors";
        media_test::run("ffmpeg -nostdin -v error -y -i '" + avi_path + "' -f rawvideo -pix_fmt yuv420p '" +
                            decoded_path + "' 2>'" + errors_path + "'",
                        &status);
        ASSERT_EQ(status, 0);
        const std::vector<uint8_t> errors = media_test::read_file(errors_path);
        EXPECT_EQ(std::string(errors.begin(), errors.end()), "");
        const std::vector<uint8_t> decoded = media_test::read_file(decoded_path);
        ASSERT_EQ(decoded.size(), source.size());

        double sum = 0, worst = 99;
        for (int n = 0; n < kPictures; ++n) {
            const double p = psnr(&source[n * picture_size], &decoded[n * picture_size], picture_size);
            sum += p;
            worst = std::min(worst, p);
        }
        const double mean = sum / kPictures;
        const double kbps = total_bytes * 8.0 * 25 / kPictures / 1000;
        std::printf("H.263 %s QP 8: mean PSNR %.2f dB, lowest %.2f dB, %.0f kbit/s at 25 fps\n", tag.c_str(), mean,
                    worst, kbps);
        RecordProperty("psnr_" + tag, std::to_string(mean));
        EXPECT_GE(mean, 30.0);
        EXPECT_GE(worst, 28.0);
    }
}
