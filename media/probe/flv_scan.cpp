#include "media/probe/flv_scan.h"
#include <cstring>
#include <limits>

namespace {

constexpr int kTagHead = 15;  // previous tag size + the 11-byte tag header
constexpr int kAudioTag = 8;
constexpr int kVideoTag = 9;
constexpr int kAvcSequenceHeader = 0;
constexpr int kAvcNalUnits = 1;
constexpr int kCommandFrame = 5;  // frame type of a video info / command tag
constexpr uint8_t kStartCode[4] = {0, 0, 0, 1};

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t be24(const uint8_t* p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }
uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | be24(p + 1); }

void append(std::vector<uint8_t>& out, const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }

struct TagHead {
    int type = 0;
    uint32_t size = 0;
    uint32_t time_ms = 0;
    int64_t data = 0;  // file position of the data
};

// The tag's data after its first byte, when it fits the limit.
bool read_body(ByteSource& source, const TagHead& tag, std::vector<uint8_t>& out) {
    if (tag.size < 1 || int64_t(tag.size) - 1 > kFlvKeptTagLimit) return false;
    out.resize(tag.size - 1);
    if (source.read_exact_at(tag.data + 1, out.data(), int64_t(out.size()))) return true;
    out.clear();
    return false;
}

void video_tag(ByteSource& source, const TagHead& tag, FlvScan& s) {
    ++s.video_tags;
    uint8_t head[2] = {0, 0};
    const int got = tag.size >= 2 ? 2 : int(tag.size);
    if (got > 0 && !source.read_exact_at(tag.data, head, got)) return;
    const int codec = head[0] & 0x0F, frame_type = head[0] >> 4;
    if (s.video_tags == 1 && got > 0) s.video_codec = codec;

    if (s.entries.size() < size_t(kFlvMaxIndexed) && tag.data + 1 <= std::numeric_limits<int32_t>::max()) {
        IndexEntry e{};
        e.is_key = uint8_t(got > 0 ? frame_type : 0);
        e.position = int32_t(tag.data + 1);
        e.length = int32_t(tag.size > 0 ? tag.size - 1 : 0);
        e.time_ms = int32_t(tag.time_ms);
        s.entries.push_back(e);
    }

    const bool avc = got > 0 && codec == kFlvAvc;
    const bool picture = got > 0 && frame_type != kCommandFrame && (!avc || (got == 2 && head[1] == kAvcNalUnits));
    if (picture) {
        ++s.picture_tags;
        if (s.first_picture_ms < 0) s.first_picture_ms = tag.time_ms;
        s.last_picture_ms = tag.time_ms;
    }

    if (s.video_tags == 1 && tag.size > 16 && read_body(source, tag, s.first_video)) {
        if (avc && head[1] == kAvcSequenceHeader) {
            s.avc_sequence_header = true;
            if (int64_t(s.first_video.size()) <= kFlvAvcHeaderLimit)
                flv_avc_parameter_sets(s.first_video.data(), s.first_video.size(), &s.avc_parameter_sets);
        }
    } else if (s.video_tags == 2 && s.video_codec == kFlvAvc && avc && head[1] == kAvcNalUnits) {
        std::vector<uint8_t> body;
        if (read_body(source, tag, body) && body.size() > 4)
            flv_nal_units_to_annex_b(body.data() + 4, body.size() - 4, &s.second_picture);
    }
}

void audio_tag(ByteSource& source, const TagHead& tag, FlvScan& s) {
    ++s.audio_tags;
    if (s.sound_plus_one != 0 || tag.size < 1) return;
    uint8_t head[2] = {0, 0};
    const int got = tag.size >= 2 ? 2 : 1;
    if (!source.read_exact_at(tag.data, head, got)) return;
    static const int kRates[4] = {5500, 11025, 22050, 44100};
    s.sound_plus_one = (head[0] >> 4) + 1;
    s.sample_rate = kRates[(head[0] >> 2) & 3];
    s.channels = (head[0] & 1) ? 2 : 1;
    s.audio_bits = (head[0] & 2) ? 16 : 8;
    if (s.sound_plus_one != kFlvAacPlusOne || got < 2 || head[1] != 0) return;
    const int64_t length = int64_t(tag.size) - 2;
    if (length < 1 || length > kFlvBlockLimit) return;
    s.aac_config.resize(size_t(length));
    if (!source.read_exact_at(tag.data + 2, s.aac_config.data(), length)) s.aac_config.clear();
}

}  // namespace

double FlvScan::frame_rate() const {
    const int64_t span = last_picture_ms - first_picture_ms;
    if (picture_tags < 2 || span <= 0) return 0.0;
    return double(picture_tags - 1) * 1000.0 / double(span);
}

FlvScan scan_flv(ByteSource& source) {
    FlvScan s;
    uint8_t header[9];
    if (!source.read_exact_at(0, header, 9) || std::memcmp(header, "FLV", 3) != 0 || header[3] != 1) return s;
    s.is_flv = true;
    int64_t pos = be32(header + 5);
    uint8_t raw[kTagHead];
    while (source.read_exact_at(pos, raw, kTagHead)) {
        TagHead tag;
        tag.type = raw[4] & 0x1F;
        tag.size = be24(raw + 5);
        tag.time_ms = be24(raw + 8) | uint32_t(raw[11]) << 24;
        tag.data = pos + kTagHead;
        if (tag.type == kVideoTag || tag.type == kAudioTag) {
            tag.type == kVideoTag ? video_tag(source, tag, s) : audio_tag(source, tag, s);
            s.last_time_ms = tag.time_ms;
        }
        pos = tag.data + tag.size;
    }
    return s;
}

bool flv_avc_parameter_sets(const uint8_t* data, size_t size, std::vector<uint8_t>* block) {
    block->clear();
    // packet type, composition time (3), then the record: version, profile, compatibility, level,
    // length size, SPS count, SPS..., PPS count, PPS...
    if (size < 4 + 6) return false;
    const uint8_t* rec = data + 4;
    const size_t n = size - 4;
    size_t pos = 5;
    const int sps_count = rec[pos++] & 0x1F;
    const uint8_t* sps = nullptr;
    size_t sps_size = 0;
    for (int i = 0; i < sps_count; ++i) {
        if (n - pos < 2) return false;
        const size_t length = be16(rec + pos);
        pos += 2;
        if (length == 0 || length > n - pos) return false;
        if (i == 0) sps = rec + pos, sps_size = length;
        pos += length;
    }
    if (!sps || n - pos < 1) return false;
    const int pps_count = rec[pos++];
    if (pps_count < 1 || n - pos < 2) return false;
    const size_t pps_size = be16(rec + pos);
    pos += 2;
    if (pps_size == 0 || pps_size > n - pos) return false;
    if (2 * sizeof kStartCode + sps_size + pps_size > size_t(kFlvBlockLimit)) return false;
    append(*block, kStartCode, sizeof kStartCode);
    append(*block, sps, sps_size);
    append(*block, kStartCode, sizeof kStartCode);
    append(*block, rec + pos, pps_size);
    return true;
}

bool flv_nal_units_to_annex_b(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
    size_t pos = 0;
    while (size - pos >= 4) {
        const size_t length = be32(data + pos);
        pos += 4;
        if (length == 0 || length > size - pos) return false;
        append(*out, kStartCode, sizeof kStartCode);
        append(*out, data + pos, length);
        pos += length;
    }
    return pos == size;
}
