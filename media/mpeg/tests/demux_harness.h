// Runs the demultiplexer over a whole file fed in blocks of a chosen pattern, with the outside MPEG
// audio and AC-3 libraries' portable cores behind its links, and collects what comes out.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "media/mpeg/mpgdemux.h"

namespace demux_harness {

enum class Split { k3760, k4096, kRandom, kShifted };
const char* split_name(Split s);
// Block sizes for `total` bytes: 3760 each, 4096 each, random 1..4096 (fixed seed), or 1 then 3760s.
std::vector<int> blocks(Split s, size_t total);

struct Result {
    std::vector<uint64_t> picture_hashes;
    std::vector<std::vector<uint8_t>> pictures;  // kept when asked for
    int width = 0, height = 0;
    int pictures_too_big = 0;
    std::vector<int16_t> pcm;
    int rate = 0, channels = 0;
    std::vector<int> feed_results;
    int mp3_play_calls = 0;
    int mp3_frames = 0;
    int ac3_frames = 0;
};

struct Options {
    bool keep_pictures = false;
    size_t frame_capacity = 0;  // 0: the stream's size
    int width = 0, height = 0;
    int scale_width = 0, scale_height = 0;  // the output's scale size (MediaOutput::scale_width)
    size_t pcm_capacity = 184320;
    bool sinks = true;
    bool flush = true;
    // replaces the outside libraries with recording doubles that decode nothing
    bool recording_doubles = false;
};

Result run(const std::vector<uint8_t>& bytes, int kind, Split split, const Options& options);

uint64_t hash(const uint8_t* p, size_t n);

}  // namespace demux_harness
