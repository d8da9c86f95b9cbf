#include <gtest/gtest.h>
#include <vector>
#include "engine/state/shared_buffers.h"

namespace {

TEST(SharedBuffers, PcmAppendsStopAtTheCapacity) {
    ASSERT_TRUE(pcm_buffer_allocate(1000));
    std::vector<uint8_t> data(700, 7);
    EXPECT_EQ(700, pcm_append(data.data(), 700));
    EXPECT_EQ(300, pcm_append(data.data(), 700));
    EXPECT_EQ(0, pcm_append(data.data(), 700));
    EXPECT_EQ(1000, g_pcm_len);
    pcm_buffer_free();
    EXPECT_EQ(nullptr, g_pcm_buf);
    EXPECT_EQ(0, g_pcm_capacity);
    pcm_buffer_free();  // a second free is harmless
    EXPECT_EQ(0, pcm_append(data.data(), 10));
}

TEST(SharedBuffers, FrameStoreKeepsThePicturesOwnSizeAndRefusesWhatDoesNotFit) {
    ASSERT_TRUE(frame_buffer_reserve(((3 * 10 + 3) & ~3) * 6));
    std::vector<uint8_t> source(size_t(36) * 6, 9);  // 10 x 6 with a 36-byte stride
    PictureView view{source.data(), 10, 6, 36, PixelFormat::kBgr24};
    ASSERT_TRUE(frame_buffer_store(view));
    EXPECT_EQ(10, g_frame_buf.picture.width);
    EXPECT_EQ(32, g_frame_buf.picture.stride);
    EXPECT_EQ(32 * 6, g_decoded_bytes.load());
    PictureView bigger{source.data(), 10, 7, 36, PixelFormat::kBgr24};
    std::vector<uint8_t> more(size_t(36) * 7, 1);
    bigger.data = more.data();
    EXPECT_FALSE(frame_buffer_store(bigger)) << "no copy passes the capacity";
    EXPECT_EQ(6, g_frame_buf.picture.height);
    frame_buffer_free();
    frame_buffer_free();
    EXPECT_EQ(nullptr, g_frame_buf.picture.data);
    EXPECT_EQ(0u, g_frame_buf.capacity);
}

TEST(SharedBuffers, FreeAndNullClearsThePointer) {
    int32_t* p = static_cast<int32_t*>(std::malloc(16));
    free_and_null(p);
    EXPECT_EQ(nullptr, p);
    free_and_null(p);
}

}  // namespace
