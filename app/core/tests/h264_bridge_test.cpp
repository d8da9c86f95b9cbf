#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "app/core/h264_bridge.h"

namespace {

// A decoder that records its calls: it holds `held` pictures until flushed (each a whole picture of
// the opened size) and decodes data into a picture of `picture_bytes`.
struct FakeDecoder {
    int init_result = 0;
    int opened_w = 0, opened_h = 0;
    int held = 0;
    int picture_bytes = 0;
    int inits = 0, closes = 0, flush_calls = 0;
    const unsigned char* data_seen = nullptr;
    int length_seen = 0;
    unsigned char* frame_seen = nullptr;
    std::vector<unsigned char*> flush_targets;
};
FakeDecoder fake;

int fake_init(int w, int h) {
    ++fake.inits;
    fake.opened_w = w;
    fake.opened_h = h;
    return fake.init_result;
}
int fake_decode(const unsigned char* data, int length, unsigned char* frame) {
    if (!data) {
        ++fake.flush_calls;
        fake.flush_targets.push_back(frame);
        if (fake.held <= 0) return 0;
        --fake.held;
        const int bytes = fake.opened_w * 3 * fake.opened_h;
        std::memset(frame, 0x5A, size_t(bytes));
        return bytes;
    }
    fake.data_seen = data;
    fake.length_seen = length;
    fake.frame_seen = frame;
    std::memset(frame, 0xA5, size_t(fake.picture_bytes));
    return fake.picture_bytes;
}
int fake_close() {
    ++fake.closes;
    return 0;
}

H264DecoderCalls fake_calls() {
    H264DecoderCalls calls;
    calls.init = fake_init;
    calls.decode = fake_decode;
    calls.close = fake_close;
    return calls;
}

}  // namespace

TEST(H264Bridge, OpenFlushAndCloseAtTheAskedSize) {
    fake = FakeDecoder{};
    H264Bridge bridge;
    int bytes = -7;
    EXPECT_EQ(bridge.handle(1, fake_calls(), 640, 360, {}, &bytes), 0);
    EXPECT_EQ(fake.opened_w, 640);
    EXPECT_EQ(fake.opened_h, 360);
    EXPECT_TRUE(bridge.is_open());
    EXPECT_EQ(bridge.flush_capacity(), size_t(640 * 3 * 360));
    EXPECT_EQ(bytes, -7);  // opening reports no picture

    // Two pictures still held: both come out into the bridge's own buffer, the count is the last one's.
    fake.held = 2;
    EXPECT_EQ(bridge.handle(2, fake_calls(), 640, 360, {}, &bytes), 0);
    EXPECT_EQ(bytes, 640 * 3 * 360);
    EXPECT_EQ(fake.flush_calls, 3);  // two pictures, then the empty answer
    EXPECT_EQ(fake.closes, 1);
    EXPECT_FALSE(bridge.is_open());
    for (unsigned char* target : fake.flush_targets) EXPECT_NE(target, nullptr);

    // Nothing held: a count of 0.
    fake = FakeDecoder{};
    bridge.handle(1, fake_calls(), 176, 144, {}, &bytes);
    bytes = -7;
    bridge.handle(2, fake_calls(), 176, 144, {}, &bytes);
    EXPECT_EQ(bytes, 0);
}

TEST(H264Bridge, DecodeTakesTheWorkersDataIntoTheWorkersPicture) {
    fake = FakeDecoder{};
    fake.picture_bytes = 320 * 3 * 160;
    H264Bridge bridge;
    int bytes = 0;
    const unsigned char data[] = {0, 0, 0, 1, 0x65, 0x88, 0x84};
    std::vector<unsigned char> picture(size_t(fake.picture_bytes), 0);
    const H264DecodeRequest request{data, int(sizeof data), picture.data()};

    // Asked of a closed decoder: nothing is decoded.
    EXPECT_EQ(bridge.handle(4, fake_calls(), 320, 160, request, &bytes), -1);
    EXPECT_EQ(fake.data_seen, nullptr);

    bridge.handle(1, fake_calls(), 320, 160, {}, &bytes);
    EXPECT_EQ(bridge.handle(4, fake_calls(), 320, 160, request, &bytes), fake.picture_bytes);
    EXPECT_EQ(bytes, fake.picture_bytes);
    EXPECT_EQ(fake.data_seen, data);
    EXPECT_EQ(fake.length_seen, int(sizeof data));
    EXPECT_EQ(fake.frame_seen, picture.data());
    EXPECT_EQ(picture.front(), 0xA5);
    EXPECT_EQ(picture.back(), 0xA5);

    // A picture not finished yet (the decoder answers 0): a count of 0, the decoder stays open.
    fake.picture_bytes = 0;
    bytes = -7;
    EXPECT_EQ(bridge.handle(4, fake_calls(), 320, 160, request, &bytes), 0);
    EXPECT_EQ(bytes, 0);
    EXPECT_TRUE(bridge.is_open());

    // Requests without data, length or picture are refused without a decoder call.
    const H264DecodeRequest refused[] = {{nullptr, 7, picture.data()}, {data, 0, picture.data()}, {data, 7, nullptr}};
    for (const H264DecodeRequest& r : refused) {
        fake.data_seen = nullptr;
        EXPECT_EQ(bridge.handle(4, fake_calls(), 320, 160, r, &bytes), -1);
        EXPECT_EQ(fake.data_seen, nullptr);
    }
}

TEST(H264Bridge, OpenFlushCloseInOneAndRefusals) {
    fake = FakeDecoder{};
    fake.held = 1;
    H264Bridge bridge;
    int bytes = 0;
    EXPECT_EQ(bridge.handle(5, fake_calls(), 320, 160, {}, &bytes), 0);
    EXPECT_EQ(fake.inits, 1);
    EXPECT_EQ(fake.closes, 1);
    EXPECT_EQ(bytes, 320 * 3 * 160);
    EXPECT_FALSE(bridge.is_open());

    // A decoder that fails to open: nothing is flushed, it is still closed.
    fake = FakeDecoder{};
    fake.init_result = -1;
    fake.held = 3;
    bytes = -7;
    EXPECT_EQ(bridge.handle(1, fake_calls(), 320, 160, {}, &bytes), -1);
    EXPECT_FALSE(bridge.is_open());
    bridge.handle(5, fake_calls(), 320, 160, {}, &bytes);
    EXPECT_EQ(fake.flush_calls, 0);
    EXPECT_EQ(bytes, 0);

    // Unknown sub-codes (3 included) and a decoder that is not bound.
    fake = FakeDecoder{};
    for (int code : {0, 3, 6, -1}) EXPECT_EQ(bridge.handle(code, fake_calls(), 320, 160, {}, &bytes), -1) << code;
    EXPECT_EQ(fake.inits + fake.closes + fake.flush_calls, 0);
    H264DecoderCalls unbound = fake_calls();
    unbound.close = nullptr;
    EXPECT_EQ(bridge.handle(1, unbound, 320, 160, {}, &bytes), -1);
    EXPECT_EQ(fake.inits, 0);

    // A decoder that never says it is empty ends the flush after a bounded number of pictures.
    fake = FakeDecoder{};
    fake.held = 1000;
    bridge.handle(1, fake_calls(), 16, 16, {}, &bytes);
    bridge.handle(2, fake_calls(), 16, 16, {}, &bytes);
    EXPECT_LE(fake.flush_calls, 64);
    EXPECT_EQ(bytes, 16 * 3 * 16);
}
