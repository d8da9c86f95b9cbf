// GIF files written by ffmpeg and ImageMagick at test time: the first frame composed on the screen
// canvas must show ImageMagick's own decode of that frame (alpha dropped) at the frame's place, and
// black around it.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <sstream>
#include <string>
#include "gif_writer.h"
#include "tests/support/media_test_tools.h"
#include "videofx/core/gif_picture.h"

using media_test::fresh_path;
using media_test::run;

namespace {

// A colourful source picture with a pure red square (for the transparent-colour case).
std::string source_png() {
    const std::string path = fresh_path("gif_source.png");
    int status = -1;
    run("ffmpeg -v error -y -f lavfi -i testsrc=size=96x64:rate=1 -frames:v 1 '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0);
    return path;
}

struct Geometry {
    int screen_w = 0, screen_h = 0, x = 0, y = 0, w = 0, h = 0;
};

Geometry magick_geometry(const std::string& gif) {
    Geometry g;
    std::istringstream in(run("identify -format '%W %H %X %Y %w %h' '" + gif + "[0]'"));
    in >> g.screen_w >> g.screen_h >> g.x >> g.y >> g.w >> g.h;
    return g;
}

}  // namespace

TEST(GifPicture, FirstFramesMatchImageMagick) {
    const std::string png = source_png();
    struct Case {
        const char* name;
        std::string command;  // writes OUT
    } cases[] = {
        {"ffmpeg, global palette, several frames",
         "ffmpeg -v error -y -f lavfi -i testsrc=size=96x64:rate=5 -frames:v 4 -pix_fmt rgb8 OUT"},
        {"ffmpeg, local palettes", "ffmpeg -v error -y -f lavfi -i testsrc=size=96x64:rate=5 -frames:v 3 -global_palette 0 OUT"},
        {"ImageMagick, interlaced", "convert '" + png + "' -interlace GIF OUT"},
        {"ImageMagick, transparent index", "convert '" + png + "' -fill red -draw 'rectangle 0,0 20,20' -transparent red OUT"},
        {"ImageMagick, smaller offset frame", "convert -size 40x30 gradient:red-blue -repage 100x80+20+15 OUT"},
        {"ImageMagick, version 87a", "convert '" + png + "' GIF87:OUT"},
        {"ImageMagick, frame reaching past the screen", "convert -size 40x30 gradient:green-yellow -repage 50x40+20+15 OUT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string gif = fresh_path("case.gif");
        std::string command = c.command;
        command.replace(command.find("OUT"), 3, "'" + gif + "'");
        int status = -1;
        run(command + " 2>&1", &status);
        ASSERT_EQ(status, 0) << command;

        const CRgbImage picture = videofx::gif_first_frame_picture(gif.c_str());
        const Geometry g = magick_geometry(gif);
        ASSERT_FALSE(picture.empty());
        ASSERT_EQ(picture.width(), g.screen_w);
        ASSERT_EQ(picture.height(), g.screen_h);
        const std::vector<uint8_t> frame = media_test::magick_rgb(gif + "[0]");
        ASSERT_EQ(frame.size(), size_t(g.w) * g.h * 3);
        int mismatches = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const uint8_t* ours = picture.row(y) + 3 * x;
                uint8_t expected[3] = {0, 0, 0};  // R, G, B
                if (x >= g.x && x < g.x + g.w && y >= g.y && y < g.y + g.h)
                    std::copy_n(&frame[(size_t(y - g.y) * g.w + (x - g.x)) * 3], 3, expected);
                if (ours[2] != expected[0] || ours[1] != expected[1] || ours[0] != expected[2]) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(GifPicture, TablesAndPlacementOfHandMadeFrames) {
    // Frame 3 x 2 at (1, 1) on a 5 x 4 screen, its own table of two entries; index 3 lies beyond it.
    gif_test::GifWriter gif("89a", 5, 4, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
    gif.frame(1, 1, 3, 2, 2, {0, 1, 3, 1, 0, 1}, {1, 2, 3, 4, 5, 6}).trailer();
    const std::string path = fresh_path("hand.gif");
    media_test::write_file(path, gif.bytes);
    CRgbImage picture = videofx::gif_first_frame_picture(path.c_str());
    ASSERT_EQ(picture.width(), 5);
    auto rgb = [&](int x, int y) {
        const uint8_t* p = picture.row(y) + 3 * x;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];  // as R, G, B
    };
    EXPECT_EQ(rgb(0, 0), 0u);
    EXPECT_EQ(rgb(1, 1), 0x010203u);
    EXPECT_EQ(rgb(2, 1), 0x040506u);
    EXPECT_EQ(rgb(3, 1), 0u) << "index beyond the local table";
    EXPECT_EQ(rgb(3, 2), 0x040506u);
    EXPECT_EQ(rgb(4, 2), 0u);

    // Without a local table the global one serves; an interlaced frame is shown in display order:
    // coded rows 0, 1, 2, 3 of a 4-row frame are display rows 0, 2, 1, 3.
    gif_test::GifWriter inter("89a", 1, 4, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    inter.frame(0, 0, 1, 4, 2, {0, 1, 2, 3}, {}, true).trailer();
    media_test::write_file(path, inter.bytes);
    picture = videofx::gif_first_frame_picture(path.c_str());
    ASSERT_EQ(picture.height(), 4);
    EXPECT_EQ(rgb(0, 0), 0x000000u);
    EXPECT_EQ(rgb(0, 1), 0x00FF00u);
    EXPECT_EQ(rgb(0, 2), 0xFF0000u);
    EXPECT_EQ(rgb(0, 3), 0x0000FFu);

    // A damaged first frame gives no picture.
    gif_test::GifWriter broken("89a", 2, 2, {0, 0, 0, 1, 1, 1});
    broken.frame_data(0, 0, 2, 2, 2, gif_test::pack_codes({4, 6, 5}, 2)).trailer();
    media_test::write_file(path, broken.bytes);
    EXPECT_TRUE(videofx::gif_first_frame_picture(path.c_str()).empty());
}

// Every frame of multi-frame files from ffmpeg (global and local tables, frames offset by its
// sub-rectangle coding) decodes to the indices giflib's DGifSlurp gives, in both modes.
TEST(GifPicture, AllFramesMatchGiflib) {
    const char* const commands[] = {
        "ffmpeg -v error -y -f lavfi -i testsrc2=size=160x120:rate=10 -frames:v 12 OUT",
        "ffmpeg -v error -y -f lavfi -i mandelbrot=size=160x120:rate=10 -frames:v 6 -global_palette 0 OUT",
    };
    for (const char* c : commands) {
        SCOPED_TRACE(c);
        const std::string gif = fresh_path("frames.gif");
        std::string command = c;
        command.replace(command.find("OUT"), 3, "'" + gif + "'");
        int status = -1;
        run(command + " 2>&1", &status);
        ASSERT_EQ(status, 0);

        int error = 0;
        GifFileType* reference = DGifOpenFileName(gif.c_str(), &error);
        ASSERT_NE(reference, nullptr);
        ASSERT_EQ(DGifSlurp(reference), GIF_OK);
        for (bool load_all : {false, true}) {
            CGifDecoder decoder;
            ASSERT_TRUE(decoder.Open(gif.c_str(), load_all));
            ASSERT_EQ(decoder.GetInfo()->frameCount, reference->ImageCount);
            for (int i = 0; i < reference->ImageCount; ++i) {
                const SavedImage& expected = reference->SavedImages[i];
                const GifFrame* frame = decoder.GetNextFrame();
                ASSERT_NE(frame, nullptr) << "frame " << i;
                EXPECT_EQ(frame->left, expected.ImageDesc.Left);
                EXPECT_EQ(frame->top, expected.ImageDesc.Top);
                ASSERT_EQ(frame->width, expected.ImageDesc.Width);
                ASSERT_EQ(frame->height, expected.ImageDesc.Height);
                EXPECT_EQ(frame->hasLocalTable, expected.ImageDesc.ColorMap != nullptr);
                EXPECT_EQ(std::memcmp(frame->pixels.data(), expected.RasterBits, frame->pixels.size()), 0) << "frame " << i;
            }
        }
        DGifCloseFile(reference, &error);
    }
}
