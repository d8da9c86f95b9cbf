#include "engine/output/mp3_frames.h"
#include <cstring>

int mp3_frame_length(const uint8_t* d, int available) {
    if (!d || available < 4 || d[0] != 0xFF || (d[1] & 0xE0) != 0xE0) return 0;
    const int version = (d[1] >> 3) & 3;  // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
    const int layer = (d[1] >> 1) & 3;    // 1 layer III
    const int bitrate_index = d[2] >> 4;
    const int rate_index = (d[2] >> 2) & 3;
    const int padding = (d[2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrate_index == 0 || bitrate_index == 15 || rate_index == 3) return 0;
    static const int kMpeg1Kbps[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static const int kMpeg2Kbps[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static const int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int kbps = mpeg1 ? kMpeg1Kbps[bitrate_index] : kMpeg2Kbps[bitrate_index];
    const int rate = kRates[rate_index] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    // 1152 samples a frame for MPEG-1, 576 for MPEG-2 and 2.5: 144 or 72 bytes per kbit/s over the rate.
    return (mpeg1 ? 144000 : 72000) * kbps / rate + padding;
}

bool mp3_is_info_frame(const uint8_t* d, int length) {
    const int n = mp3_frame_length(d, length);
    if (n <= 0 || n > length) return false;
    const bool mpeg1 = ((d[1] >> 3) & 3) == 3;
    const bool mono = (d[3] >> 6) == 3;
    const int at = 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (at + 4 > n) return false;
    if (std::memcmp(d + at, "Xing", 4) == 0 || std::memcmp(d + at, "Info", 4) == 0) return true;
    for (int i = 4; i < n; ++i)
        if (d[i]) return false;
    return true;
}
