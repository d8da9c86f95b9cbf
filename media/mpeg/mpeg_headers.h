// Parsers of the headers in MPEG systems and elementary streams: transport packets, PSI sections
// (PAT, PMT), pack headers, PES headers, video sequence headers and AC-3 sync frames. Every length is
// checked against the bytes given. Shared by the demultiplexer and the stream parser.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg {

constexpr int kTsPacket = 188;
constexpr uint8_t kTsSync = 0x47;

// Start-code ids of MPEG systems streams.
constexpr uint8_t kEndCode = 0xB9;
constexpr uint8_t kPackStart = 0xBA;
constexpr uint8_t kSystemHeader = 0xBB;
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr uint8_t kPaddingStream = 0xBE;
constexpr uint8_t kSequenceHeader = 0xB3;
constexpr uint8_t kSequenceEnd = 0xB7;

inline bool is_video_id(uint8_t id) { return id >= 0xE0 && id <= 0xEF; }
inline bool is_audio_id(uint8_t id) { return id >= 0xC0 && id <= 0xDF; }

inline uint16_t be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

// One 188-byte transport packet.
struct TsPacket {
    int pid = 0;
    bool unit_start = false;
    bool has_payload = false;
    int payload_offset = 0;  // within the packet; 188 when there is none
    int continuity = 0;
};
// False unless p starts with the sync byte; a payload that would start past the packet is none.
bool parse_ts_packet(const uint8_t* p, TsPacket* out);

// The PSI section carried by a packet's payload (pointer field honoured): offset within the packet of
// the table id, or -1 when the pointer leads outside the packet.
int psi_section_offset(const uint8_t* packet, const TsPacket& ts);

struct PatEntry {
    int program = 0;
    int pid = 0;
};
// Program association entries of a section starting at `s` with `n` bytes (table id 0).
bool parse_pat(const uint8_t* s, size_t n, std::vector<PatEntry>* entries);

struct PmtStream {
    int type = 0;
    int pid = 0;
};
// Elementary streams of a program map section (table id 2).
bool parse_pmt(const uint8_t* s, size_t n, std::vector<PmtStream>* streams);

// Length of the pack header at p (00 00 01 BA ...) from the n bytes there: 12 (MPEG-1), 14 + stuffing
// (MPEG-2), 0 when more bytes are needed to tell, -1 for neither form.
int pack_header_length(const uint8_t* p, size_t n);

// Length of the PES header at p (00 00 01 id, length, ...) from the n bytes there: MPEG-2 (byte 6 is
// 0x80..0xBF) byte 8 + 9; MPEG-1 7 + stuffing (at most 17 bytes of it), STD buffer and time-stamp
// fields. 0 when more bytes are needed.
int pes_header_length(const uint8_t* p, size_t n);
// The presentation time stamp of a complete PES header, or -1 when it carries none.
int64_t pes_pts(const uint8_t* p, int header_length);

// A video sequence header (00 00 01 B3 followed by at least 8 bytes).
struct SequenceHeader {
    int width = 0;
    int height = 0;
    int aspect = 0;
    int rate_code = 0;
    double frame_rate = 0;  // exact (30000/1001 for code 4)
    int bit_rate = 0;       // bit/s (units of 400)
};
bool parse_sequence_header(const uint8_t* p, size_t n, SequenceHeader* out);

// An AC-3 sync frame header (0B 77 ...).
struct Ac3Header {
    int sample_rate = 0;
    int bitrate = 0;      // bit/s
    int frame_bytes = 0;  // 128..3840
    int channels = 0;     // full-bandwidth channels plus LFE
    uint8_t fixed[3] = {};  // bytes 4..6: stay the same from frame to frame
};
bool parse_ac3_header(const uint8_t* p, size_t n, Ac3Header* out);

}  // namespace mpeg
