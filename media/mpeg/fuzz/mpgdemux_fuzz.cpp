// libFuzzer target: any bytes through the demultiplexer in blocks of up to 4096 bytes, as the stream
// kind the first byte picks, with small buffers and doubles for the outside libraries. Built and run by
// tools/fuzz_mpeg.sh, not by ctest.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>
#include "media/mpeg/mpgdemux.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const int kKinds[] = {0, 1, 2, 3, 4, 5, 6, 10, 11};
    const int kind = kKinds[data[0] % 9];
    const bool sinks = data[1] & 1;
    const size_t block = 1 + (size_t(data[2]) * 16 + 7) % 4096;
    data += 3;
    size -= 3;

    std::vector<uint8_t> frame(size_t((352 * 3 + 3) & ~3) * 288);
    std::vector<uint8_t> pcm(sinks ? 5000 : 20000);
    MediaOutput out;
    out.frame.data = frame.data();
    out.frame_capacity = frame.size();
    out.pcm = pcm.data();
    out.pcm_capacity = pcm.size();
    if (sinks) {
        out.on_picture = [](const PictureView&) {};
        out.on_sound = [](const SoundBlock&) {};
    }
    MpegDemuxLinks links;
    links.mp3_open = [](const uint8_t*) { return 0; };
    links.mp3_play = [](const Mp3FrameRecord* table, int count, uint8_t* p, int capacity) {
        int n = 0;
        for (int i = 0; i < count; ++i) n += table[i].length;  // reads every frame the table claims
        n = n < capacity ? n : capacity;
        std::memset(p, 0, size_t(n));
        return n;
    };
    links.ac3_readdata = [](const uint8_t* f, int length, uint8_t* o, int capacity, int* produced) {
        *produced = length < capacity ? length : capacity;
        std::memcpy(o, f, size_t(*produced));
        return 0;
    };
    mpgdemux_set_output(&out);
    mpgdemux_set_links(links);
    if (mpgdemux_init() == 0) {
        mpg_stream_kind = kind;
        if (kind == 4) mpg_pmt_pid = 0x1000;
        for (size_t pos = 0; pos < size; pos += block) {
            if (!sinks) out.pcm_length = 0;
            mpgdemux_feed(data + pos, int(size - pos < block ? size - pos : block));
        }
        mpgdemux_flush();
        mpgdemux_decode_audio(data, int(size < 4096 ? size : 4096), 0);
        mpgdemux_audio_reset();
    }
    mpgdemux_close();
    mpgdemux_set_output(nullptr);
    mpgdemux_set_links(MpegDemuxLinks());
    return 0;
}
