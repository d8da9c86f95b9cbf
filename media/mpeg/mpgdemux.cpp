// The demultiplexer's program-wide state and its dispatch by stream kind: transport packets (with
// association/map table discovery and the audio PES assembly), program streams, raw video, raw MPEG
// audio and raw AC-3; MPEG audio frames go to our decoder or the outside library, AC-3 frames to the
// outside library, pictures to libmpeg2.
#include "media/mpeg/mpgdemux.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "base/message_seam.h"
#include "media/mpa/mpadec.h"
#include "media/mpeg/ac3_framer.h"
#include "media/mpeg/audio_route.h"
#include "media/mpeg/audio_framer.h"
#include "media/mpeg/mpeg_headers.h"
#include "media/mpeg/pcm_writer.h"
#include "media/mpeg/ps_parser.h"
#include "media/mpeg/video_decoder.h"

int mpg_stream_kind = 0;
int mpg_video_pid = 0;
int mpg_audio_pid = 0;
int mpg_pmt_pid = 0;
int mpg_frame_bytes = 0;
int mpg_frame_flags = 0;
int mpg_video_bytes = 0;
bool mpg_seq_seen = false;
bool mpg_es_dump = false;

namespace {

using namespace mpeg;

constexpr int kMaxBlock = 4096;
constexpr int kMaxPmtIds = 44;
constexpr size_t kAudioPesMax = 9000;                  // assembly is dropped beyond this
constexpr size_t kAudioPesBuffer = kAudioPesMax + 184;
constexpr int kAc3Output = 50000;

struct Demux {
    MediaOutput* output = nullptr;
    MpegDemuxLinks links;
    VideoDecoder video;
    PsParser ps;
    AudioFramer framer{true};
    AudioRoute route;
    Ac3Framer ac3;
    std::vector<uint8_t> ac3_pcm = std::vector<uint8_t>(kAc3Output);

    // transport stream
    uint8_t carry[kTsPacket] = {};
    int carry_length = 0;
    bool resync = false;
    std::vector<int> pmt_list;
    size_t pmt_next = 0;
    std::vector<uint8_t> audio_pes;
    bool audio_assembling = false;

    // mpgdemux_decode_audio's own state
    AudioFramer loose_framer{false};
    AudioRoute loose_route;
    bool loose_layer3 = false;
    bool loose_decided = false;

    bool stop_requested() const { return links.busy && links.busy->load(std::memory_order_relaxed) == 0; }
};

Demux& demux() {
    static Demux d;
    return d;
}

// ---- sound ----

void mpeg_audio_bytes(const uint8_t* p, size_t n) {
    Demux& d = demux();
    d.framer.push(p, n,
                  [&d](const uint8_t* f, int length, const mpa::FrameHeader& h) {
                      d.route.frame(f, length, h, d.links, d.output);
                  },
                  d.links.busy);
}

void ac3_bytes(const uint8_t* p, size_t n) {
    Demux& d = demux();
    d.ac3.push(p, n, [&d](const uint8_t* f, int length, const Ac3Header& h) {
        if (!d.links.ac3_readdata || d.stop_requested()) return;
        int produced = 0;
        d.links.ac3_readdata(f, length, d.ac3_pcm.data(), kAc3Output, &produced);
        if (produced > kAc3Output) produced = kAc3Output;
        // the AC-3 library delivers two channels
        if (produced > 0) PcmWriter(d.output).append(d.ac3_pcm.data(), size_t(produced), h.sample_rate, 2);
    });
}

void private_packet(const uint8_t* p, size_t n) {
    const uint8_t* data = nullptr;
    size_t length = 0;
    if (private_stream_ac3(p, n, &data, &length)) ac3_bytes(data, length);
}

void video_bytes(const uint8_t* p, size_t n) {
    Demux& d = demux();
    d.video.dump_enabled = mpg_es_dump;
    d.video.feed(p, n, d.output);
}

const PsParser::Sinks& sinks() {
    static const PsParser::Sinks s{video_bytes, mpeg_audio_bytes, private_packet, nullptr};
    return s;
}

// The audio PES assembled from transport packets: its payload goes to the MPEG audio frame assembly.
void finish_audio_pes() {
    Demux& d = demux();
    if (!d.audio_assembling) return;
    d.audio_assembling = false;
    const uint8_t* p = d.audio_pes.data();
    const size_t held = d.audio_pes.size();
    if (held < 9 || p[0] != 0 || p[1] != 0 || p[2] != 1) return;
    const size_t length = be16(p + 4);
    if (length >= 8994) return;
    const int header = pes_header_length(p, held);
    const size_t end = length + 6 < held ? length + 6 : held;  // never past the bytes held
    if (header <= 0 || size_t(header) >= end) return;
    mpeg_audio_bytes(p + header, end - size_t(header));
}

void audio_packet(const uint8_t* packet, const TsPacket& ts) {
    Demux& d = demux();
    if (!ts.has_payload) return;
    const uint8_t* p = packet + ts.payload_offset;
    const size_t n = size_t(kTsPacket - ts.payload_offset);
    if (ts.unit_start) {
        finish_audio_pes();
        d.audio_pes.assign(p, p + n);
        d.audio_assembling = true;
    } else if (d.audio_assembling) {
        if (d.audio_pes.size() <= kAudioPesMax) d.audio_pes.insert(d.audio_pes.end(), p, p + n);
        else d.audio_assembling = false;
    }
}

// ---- transport stream ----

void read_pat(const uint8_t* packet, const TsPacket& ts) {
    Demux& d = demux();
    const int at = psi_section_offset(packet, ts);
    if (at < 0) return;
    std::vector<PatEntry> entries;
    if (!parse_pat(packet + at, size_t(kTsPacket - at), &entries)) return;
    for (const PatEntry& e : entries) {
        bool known = false;
        for (int id : d.pmt_list) known = known || id == e.pid;
        if (!known && int(d.pmt_list.size()) < kMaxPmtIds) d.pmt_list.push_back(e.pid);
    }
    if (!d.pmt_list.empty() && mpg_pmt_pid == 0) {
        mpg_pmt_pid = d.pmt_list[0];
        d.pmt_next = 1;
    }
}

// True when the map table named a video stream (the ids are then known).
bool read_pmt(const uint8_t* packet, const TsPacket& ts) {
    Demux& d = demux();
    const int at = psi_section_offset(packet, ts);
    if (at < 0) return false;
    std::vector<PmtStream> streams;
    if (!parse_pmt(packet + at, size_t(kTsPacket - at), &streams)) return false;
    mpg_video_pid = 0;
    mpg_audio_pid = 0;
    for (const PmtStream& s : streams) {
        if (s.type == 1 || s.type == 2) mpg_video_pid = s.pid;
        if (s.type == 3 || s.type == 4) mpg_audio_pid = s.pid;  // MPEG-1 or MPEG-2 audio
    }
    if (mpg_video_pid > 0) return true;
    // no video in this program: try the next of the association table
    if (!d.pmt_list.empty()) {
        mpg_pmt_pid = d.pmt_list[d.pmt_next % d.pmt_list.size()];
        d.pmt_next = (d.pmt_next + 1) % d.pmt_list.size();
    }
    return false;
}

void transport_packet(const uint8_t* packet) {
    Demux& d = demux();
    TsPacket ts;
    parse_ts_packet(packet, &ts);
    if (mpg_stream_kind == 3 || mpg_stream_kind == 4) {
        if (mpg_stream_kind == 3 && ts.pid == 0) read_pat(packet, ts);
        else if (mpg_pmt_pid != 0 && ts.pid == mpg_pmt_pid && read_pmt(packet, ts)) mpg_stream_kind = 0;
        return;
    }
    if (mpg_video_pid > 0 && ts.pid == mpg_video_pid) {
        if (ts.has_payload)
            d.ps.push_transport(packet + ts.payload_offset, size_t(kTsPacket - ts.payload_offset), ts.unit_start,
                                sinks());
    } else if (mpg_audio_pid > 0 && ts.pid == mpg_audio_pid) {
        audio_packet(packet, ts);
    }
}

// Whole packets of a block, a packet split between blocks carried over. After a lost sync the next
// block is searched for the sync byte.
int feed_transport(const uint8_t* data, size_t length) {
    Demux& d = demux();
    size_t i = 0;
    if (d.resync) {
        while (i < length && data[i] != kTsSync) ++i;
        if (i == length) return 0;
        d.resync = false;
        d.carry_length = 0;
    }
    if (d.carry_length > 0) {
        const size_t take = std::min(size_t(kTsPacket - d.carry_length), length);
        std::memcpy(d.carry + d.carry_length, data, take);
        d.carry_length += int(take);
        i += take;
        if (d.carry_length < kTsPacket) return 0;
        d.carry_length = 0;
        if (d.carry[0] != kTsSync) {
            d.resync = true;
            return -2;
        }
        transport_packet(d.carry);
    }
    for (; i + kTsPacket <= length; i += kTsPacket) {
        if (d.stop_requested()) return 0;
        if (data[i] != kTsSync) {
            d.resync = true;
            return -2;
        }
        transport_packet(data + i);
    }
    if (i < length) {
        if (data[i] != kTsSync) {
            d.resync = true;
            return -2;
        }
        d.carry_length = int(length - i);
        std::memcpy(d.carry, data + i, size_t(d.carry_length));
    }
    return 0;
}

void publish_video_state() {
    Demux& d = demux();
    // set only when this block wrote a picture: the caller clears it before a feed and tests it after
    if (d.video.frame_bytes > 0) mpg_frame_bytes = d.video.frame_bytes;
    d.video.frame_bytes = 0;
    mpg_frame_flags = d.video.frame_flags;
    mpg_video_bytes = d.video.video_bytes;
    mpg_seq_seen = d.video.sequence_seen;
}

void finish_block() {
    Demux& d = demux();
    if (!d.stop_requested()) d.route.finish(d.links, d.output);
    publish_video_state();
}

}  // namespace

void mpgdemux_set_output(MediaOutput* output) { demux().output = output; }
void mpgdemux_set_links(const MpegDemuxLinks& links) { demux().links = links; }
bool mpgdemux_set_es_dump_file(const char* path) { return demux().video.open_dump(path); }

int mpgdemux_init() {
    Demux& d = demux();
    mpg_stream_kind = mpg_video_pid = mpg_audio_pid = mpg_pmt_pid = 0;
    mpg_frame_bytes = mpg_frame_flags = mpg_video_bytes = 0;
    mpg_seq_seen = false;
    d.ps.reset();
    d.framer.reset();
    d.route.reset();
    d.ac3.reset();
    d.carry_length = 0;
    d.resync = false;
    d.pmt_list.clear();
    d.pmt_next = 0;
    d.audio_pes.clear();
    d.audio_pes.reserve(kAudioPesBuffer);
    d.audio_assembling = false;
    d.route.ensure_decoder();
    if (!d.video.open()) {
        seam::report("解码器内存分配失败", "", seam::kOk);
        return -1;
    }
    return 0;
}

void mpgdemux_close() {
    Demux& d = demux();
    d.route.reset();
    d.video.close();
}

int mpgdemux_feed(const uint8_t* data, int length) {
    Demux& d = demux();
    if (length > kMaxBlock || length < 0 || (!data && length > 0)) return -1;
    const size_t n = size_t(length);
    int result = 0;
    switch (mpg_stream_kind) {
        case 1:
        case 5:
            mpg_video_pid = mpg_audio_pid = 0;
            result = d.ps.push(data, n, sinks());
            break;
        case 6:
            result = d.ps.push(data, n, sinks());
            break;
        case 2:
            video_bytes(data, n);
            break;
        case 4:
            if (mpg_pmt_pid == 0) return -1;
            result = feed_transport(data, n);
            break;
        case 0:
        case 3:
            result = feed_transport(data, n);
            break;
        case 10:
            mpeg_audio_bytes(data, n);
            break;
        case 11:
            ac3_bytes(data, n);
            break;
        default:
            return -1;
    }
    finish_block();
    return result;
}

void mpgdemux_flush() {
    Demux& d = demux();
    if (mpg_stream_kind == 0) finish_audio_pes();
    d.framer.flush([&d](const uint8_t* f, int length, const mpa::FrameHeader& h) {
        d.route.frame(f, length, h, d.links, d.output);
    });
    d.video.flush(d.output);
    finish_block();
}

int mpgdemux_decode_audio(const uint8_t* data, int length, int flags) {
    Demux& d = demux();
    if (d.output && !(flags & MPGDEMUX_APPEND)) d.output->pcm_length = 0;
    if (!data || length <= 0) return 0;
    const size_t n = size_t(length);
    if (!d.loose_decided) {
        // the layer of the first header decides: III to our decoder, I and II to the outside library
        for (size_t i = 0; i + 4 <= n; ++i) {
            mpa::FrameHeader h;
            if (data[i] == 0xFF && mpa::parse_header(mpa::header_word(data + i), &h)) {
                d.loose_layer3 = h.layer == 3;
                d.loose_decided = true;
                break;
            }
        }
    }
    if (!d.loose_decided || d.loose_layer3) {
        d.loose_route.decode(data, n, d.links, d.output);
        return 0;
    }
    d.loose_framer.push(data, n,
                        [&d](const uint8_t* f, int len, const mpa::FrameHeader& h) {
                            d.loose_route.frame(f, len, h, d.links, d.output);
                        },
                        d.links.busy);
    d.loose_route.finish(d.links, d.output);
    return 0;
}

void mpgdemux_audio_reset() {
    Demux& d = demux();
    d.loose_framer.reset();
    d.loose_route.reset();
    d.loose_decided = false;
    d.loose_layer3 = false;
}
