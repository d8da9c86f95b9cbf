#include "media/mpeg/tests/demux_harness.h"
#include <random>
#include "codecs/tolmac3buf/ac3_core.h"
#include "codecs/tolmmp3dec/mp3dec_core.h"

namespace demux_harness {

const char* split_name(Split s) {
    switch (s) {
        case Split::k3760: return "3760-byte blocks";
        case Split::k4096: return "4096-byte blocks";
        case Split::kRandom: return "random blocks";
        default: return "blocks shifted by one byte";
    }
}

std::vector<int> blocks(Split s, size_t total) {
    std::vector<int> out;
    std::mt19937 random(20240611);
    size_t done = 0;
    while (done < total) {
        int n = 3760;
        if (s == Split::k4096) n = 4096;
        if (s == Split::kRandom) n = 1 + int(random() % 4096);
        if (s == Split::kShifted && done == 0) n = 1;
        if (size_t(n) > total - done) n = int(total - done);
        out.push_back(n);
        done += size_t(n);
    }
    return out;
}

uint64_t hash(const uint8_t* p, size_t n) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

Result run(const std::vector<uint8_t>& bytes, int kind, Split split, const Options& options) {
    Result r;
    mp3dec::Decoder mp3;
    ac3dec::Decoder ac3;
    mp3.init();
    ac3.init();

    MpegDemuxLinks links;
    links.mp3_open = [&](const uint8_t* frame) { return options.recording_doubles ? 0 : mp3.open(frame); };
    links.mp3_play = [&](const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity) {
        ++r.mp3_play_calls;
        r.mp3_frames += count;
        return options.recording_doubles ? 0 : mp3.play(table, count, pcm, capacity);
    };
    links.ac3_readdata = [&](const uint8_t* frame, int length, uint8_t* out, int capacity, int* produced) {
        ++r.ac3_frames;
        if (options.recording_doubles) {
            *produced = 0;
            return 0;
        }
        return ac3.read(frame, length, out, capacity, produced);
    };

    const size_t capacity = options.frame_capacity
                                ? options.frame_capacity
                                : size_t((3 * options.width + 3) & ~3) * size_t(options.height > 0 ? options.height : 0);
    std::vector<uint8_t> frame(capacity + 1);
    std::vector<uint8_t> pcm(options.pcm_capacity);
    MediaOutput out;
    out.frame.data = capacity ? frame.data() : nullptr;
    out.frame_capacity = capacity;
    out.scale_width = options.scale_width;
    out.scale_height = options.scale_height;
    out.pcm = pcm.data();
    out.pcm_capacity = pcm.size();
    auto take_sound = [&](const SoundBlock& b) {
        r.rate = b.rate;
        r.channels = b.channels;
        r.pcm.insert(r.pcm.end(), b.samples, b.samples + size_t(b.frames) * size_t(b.channels));
    };
    auto take_picture = [&](const PictureView& v) {
        const size_t n = size_t(v.stride) * size_t(v.height);
        r.width = v.width;
        r.height = v.height;
        r.picture_hashes.push_back(hash(v.data, n));
        if (options.keep_pictures) r.pictures.emplace_back(v.data, v.data + n);
    };
    if (options.sinks) {
        out.on_sound = take_sound;
        out.on_picture = take_picture;
    }
    mpgdemux_set_output(&out);
    mpgdemux_set_links(links);
    if (mpgdemux_init() != 0) return r;
    mpg_stream_kind = kind;
    size_t pos = 0;
    for (int n : blocks(split, bytes.size())) {
        if (!options.sinks) {
            out.pcm_length = 0;
            out.pictures = 0;
        }
        r.feed_results.push_back(mpgdemux_feed(bytes.data() + pos, n));
        pos += size_t(n);
        if (!options.sinks) {
            if (out.pictures > 0) take_picture(out.frame);
            if (out.pcm_length > 0) take_sound(out.pcm_block());
        }
    }
    if (options.flush) mpgdemux_flush();
    if (options.sinks) out.flush_sound();
    r.pictures_too_big = out.pictures_too_big;
    mpgdemux_close();
    mpgdemux_set_output(nullptr);
    mpgdemux_set_links(MpegDemuxLinks());
    return r;
}

}  // namespace demux_harness
