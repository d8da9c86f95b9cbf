#include "media/probe/probe_index.h"
#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>

int32_t index_time_ms(int i, double fps) {
    if (!(fps > 0)) return 0;
    const double t = std::floor(double(i) * 1000.0 / fps);
    return t > 2147483647.0 ? 2147483647 : int32_t(t);
}

namespace {

IndexFile header(int codec, int width, int height, double fps) {
    IndexFile index;
    index.codec = codec;
    index.width = width;
    index.height = height;
    index.frame_rate = fps;
    return index;
}

void add(IndexFile& index, const IndexEntry& entry) {
    Segment segment;
    segment.entry = entry;
    index.segments.push_back(std::move(segment));
}

}  // namespace

IndexFile frame_number_index(int frames, int width, int height, double fps) {
    IndexFile index = header(0, width, height, fps);
    index.segments.reserve(size_t(std::max(frames, 0)));
    for (int i = 0; i < frames; ++i) {
        IndexEntry e{};
        e.is_key = i % kKeyInterval == 0;
        e.position = i;
        e.length = i;
        e.time_ms = index_time_ms(i, fps);
        add(index, e);
    }
    return index;
}

IndexFile avi_index(const AviFile& avi, int n, bool mjpeg_family, int width, int height, double fps) {
    IndexFile index = header(0, width, height, fps);
    const int count = avi.video_entries ? std::clamp(n, 0, avi.frame_count) : 0;
    index.segments.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const AviVideoEntry& v = avi.video_entries[i];
        if (v.pos > uint32_t(INT32_MAX)) break;  // a position an entry cannot name
        IndexEntry e{};
        e.is_key = mjpeg_family ? i % kKeyInterval == 0 : (v.flags & AVI_KEYFRAME) != 0;
        e.position = int32_t(v.pos);
        e.length = int32_t(v.length);
        e.time_ms = index_time_ms(i, fps);
        add(index, e);
    }
    return index;
}

IndexFile swf_index(const SwfParser& swf) {
    IndexFile index = header(swf.video_codec, swf.video_width, swf.video_height, swf.frame_rate);
    const int whole = int(swf.frame_rate);
    const int r = whole < 1 ? 15 : whole;
    int n = 0;
    for (size_t place = 0; place < swf.tags.size(); ++place) {
        const SwfTagEntry& tag = swf.tags[place];
        if (tag.code != 61) continue;
        IndexEntry e{};
        e.is_key = place % size_t(r) == 0;
        // The stream id and the frame number come first in the body.
        e.position = int32_t(tag.offset + 4);
        e.length = tag.length >= 4 ? int32_t(tag.length - 4) : 0;
        e.time_ms = int32_t(int64_t(n) * 1000 / r);
        add(index, e);
        ++n;
    }
    return index;
}

IndexFile flv_index(const FlvScan& scan, int width, int height) {
    IndexFile index = header(scan.video_codec, width, height, scan.frame_rate());
    index.segments.reserve(scan.entries.size());
    for (const IndexEntry& e : scan.entries) add(index, e);
    index.has_blocks = true;
    index.block1 = scan.avc_parameter_sets;
    index.block2 = scan.aac_config;
    return index;
}

IndexEntry mp4_index_entry(int sample, int value, int time_ms, int size, uint8_t key) {
    IndexEntry e{};
    e.position = value;
    e.time_ms = time_ms;
    e.length = size;
    e.is_key = key;
    if (sample < 2 && (time_ms > 999999 || value < 1)) {
        e.time_ms = 0;
        e.length = 0;
        e.is_key = 0;
    }
    return e;
}

bool is_mjpeg_family(const char code[4]) {
    static const char* const kCodes[] = {"mjpg", "MJPG", "ijpg", "IJPG", "mpng", "MPNG"};
    for (const char* c : kCodes)
        if (std::memcmp(code, c, 4) == 0) return true;
    return false;
}
