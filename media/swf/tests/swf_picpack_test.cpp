// The SWF reader in the program: "CWS" bodies inflate through tolmpicpack.dll, bound by its binder,
// and a binding the program made at start-up stays in force after a load.
#include "tests/support/gtest_winelib.h"
#include <zlib.h>
#include <cstring>
#include <vector>
#include "media/binders/binders.h"
#include "media/swf/win32/swf_picpack.h"

namespace {

const char kPath[] = "swf_picpack_test.swf";

// A compressed movie: one DefineVideoStream (codec 2, 9 frames, 176 x 144) and two VideoFrame tags.
void write_cws() {
    std::vector<uint8_t> fws = {'F', 'W', 'S', 8, 0, 0, 0, 0, 0x00, 0x00, 25, 9, 0};
    auto tag = [&](int code, std::vector<uint8_t> body) {
        fws.push_back(uint8_t(code << 6 | int(body.size())));
        fws.push_back(uint8_t(code >> 2));
        fws.insert(fws.end(), body.begin(), body.end());
    };
    tag(60, {1, 0, 9, 0, 176, 0, 144, 0, 0, 2});
    tag(61, std::vector<uint8_t>(40, 0xAB));
    tag(61, std::vector<uint8_t>(50, 0xCD));
    fws.push_back(0);
    fws.push_back(0);
    const uint32_t size = uint32_t(fws.size());
    std::memcpy(&fws[4], &size, 4);
    uLongf packed = compressBound(uLong(size));
    std::vector<uint8_t> cws(8 + packed);
    std::memcpy(cws.data(), fws.data(), 8);
    cws[0] = 'C';
    ASSERT_EQ(Z_OK, compress(cws.data() + 8, &packed, fws.data() + 8, size - 8));
    cws.resize(8 + packed);
    HANDLE f = CreateFileA(kPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    DWORD written = 0;
    WriteFile(f, cws.data(), DWORD(cws.size()), &written, nullptr);
    CloseHandle(f);
    ASSERT_EQ(cws.size(), written);
}

void expect_movie(SwfParser* ctx) {
    EXPECT_EQ(kSwfDone, ctx->parse_result);
    EXPECT_EQ(1, ctx->compressed);
    EXPECT_EQ(2, ctx->video_codec);
    EXPECT_EQ(176, ctx->video_width);
    ASSERT_EQ(2u, ctx->tags.size());
    uint32_t length = 0;
    const uint8_t* body = swf_tag_body(ctx, 1, &length);
    ASSERT_EQ(50u, length);
    EXPECT_EQ(0xCD, body[49]);
}

TEST(SwfPicpack, InflatesThroughTheDllAndUnbindsWhatItBound) {
    write_cws();
    swf_use_tolmpicpack();
    ASSERT_EQ(nullptr, codec::hmod_tolmpicpack);
    SwfParser* ctx = swf_new();
    ASSERT_EQ(0, swf_load(ctx, kPath));
    expect_movie(ctx);
    swf_free(ctx);
    EXPECT_EQ(nullptr, codec::hmod_tolmpicpack) << "the reader frees the binding it made";
    EXPECT_EQ(nullptr, codec::uncompress);
}

TEST(SwfPicpack, LeavesTheProgramsBindingInForce) {
    write_cws();
    swf_use_tolmpicpack();
    ASSERT_EQ(0, codec::load_tolmpicpack());
    SwfParser* ctx = swf_new();
    ASSERT_EQ(0, swf_load(ctx, kPath));
    expect_movie(ctx);
    swf_free(ctx);
    EXPECT_NE(nullptr, codec::hmod_tolmpicpack);
    EXPECT_NE(nullptr, codec::compress) << "the thumbnails still need compress";
    codec::unload_tolmpicpack();
}

}  // namespace
