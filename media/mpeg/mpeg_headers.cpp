#include "media/mpeg/mpeg_headers.h"
#include <cstdio>

namespace mpeg {

bool parse_ts_packet(const uint8_t* p, TsPacket* out) {
    *out = TsPacket();
    if (p[0] != kTsSync) return false;
    out->pid = (p[1] & 0x1F) << 8 | p[2];
    out->unit_start = p[1] & 0x40;
    out->continuity = p[3] & 0x0F;
    int offset = 4;
    if (p[3] & 0x20) offset = 5 + p[4];  // adaptation field
    out->has_payload = (p[3] & 0x10) && offset < kTsPacket;
    out->payload_offset = out->has_payload ? offset : kTsPacket;
    return true;
}

int psi_section_offset(const uint8_t* packet, const TsPacket& ts) {
    if (!ts.has_payload || !ts.unit_start) return -1;
    const int pointer = packet[ts.payload_offset];
    const int offset = ts.payload_offset + 1 + pointer;
    return offset + 3 <= kTsPacket ? offset : -1;
}

namespace {

// The section's length field and its bytes present: the body after the 3-byte head, without CRC.
bool section_body(const uint8_t* s, size_t n, int table_id, int* length) {
    if (n < 8 || s[0] != table_id) return false;
    *length = (s[1] & 0x0F) << 8 | s[2];
    return *length >= 9 && size_t(*length) + 3 <= n;
}

}  // namespace

bool parse_pat(const uint8_t* s, size_t n, std::vector<PatEntry>* entries) {
    entries->clear();
    int length = 0;
    if (!section_body(s, n, 0x00, &length)) return false;
    const int bytes = length - 9;  // after the 5 header bytes that follow the length, before the CRC
    if (bytes >= 180) return false;
    for (int i = 0; i + 4 <= bytes; i += 4) {
        const uint8_t* e = s + 8 + i;
        PatEntry entry;
        entry.program = be16(e);
        entry.pid = (e[2] & 0x1F) << 8 | e[3];
        if (entry.program != 0) entries->push_back(entry);
    }
    return true;
}

bool parse_pmt(const uint8_t* s, size_t n, std::vector<PmtStream>* streams) {
    streams->clear();
    int length = 0;
    if (!section_body(s, n, 0x02, &length) || n < 12) return false;
    const int info_length = (s[10] & 0x0F) << 8 | s[11];
    int left = length - info_length - 9;
    size_t at = 12 + size_t(info_length);
    while (left > 4 && at + 5 <= n) {
        const uint8_t* e = s + at;
        PmtStream st;
        st.type = e[0];
        st.pid = (e[1] & 0x1F) << 8 | e[2];
        const int es_info = (e[3] & 0x0F) << 8 | e[4];
        streams->push_back(st);
        at += 5 + size_t(es_info);
        left -= 5 + es_info;
    }
    return true;
}

int pack_header_length(const uint8_t* p, size_t n) {
    if (n < 5) return 0;
    if ((p[4] >> 6) == 1) {
        if (n < 14) return 0;
        return 14 + (p[13] & 7);
    }
    if ((p[4] >> 4) == 2) return 12;
    return -1;
}

int pes_header_length(const uint8_t* p, size_t n) {
    if (n < 7) return 0;
    if (p[6] >= 0x80 && p[6] <= 0xBF) {
        if (n < 9) return 0;
        return p[8] + 9;
    }
    // MPEG-1: stuffing, optional STD buffer size, time stamps
    int length = 7;
    while (p[length - 1] == 0xFF) {
        if (length >= 24) {
            std::fputs("too much stuffing\n", stderr);
            break;
        }
        ++length;
        if (size_t(length) > n) return 0;
    }
    if (p[length - 1] >= 0x40 && p[length - 1] <= 0x7F) {
        length += 2;
        if (size_t(length) > n) return 0;
    }
    const int flags = p[length - 1] >> 4;
    if (flags == 0x2) length += 4;
    else if (flags == 0x3) length += 9;
    return size_t(length) <= n ? length : 0;
}

int64_t pes_pts(const uint8_t* p, int header_length) {
    const uint8_t* t = nullptr;
    if (header_length >= 14 && p[6] >= 0x80 && p[6] <= 0xBF) {
        if (p[7] & 0x80) t = p + 9;
    } else {
        // MPEG-1: the time stamps end the header (5 bytes PTS, or 10 bytes PTS and DTS)
        for (int i = 6; i + 5 <= header_length; ++i) {
            const int flags = p[i] >> 4;
            if ((flags == 2 && i + 5 == header_length) || (flags == 3 && i + 10 == header_length)) {
                t = p + i;
                break;
            }
        }
    }
    if (!t) return -1;
    return int64_t(t[0] & 0x0E) << 29 | int64_t(t[1]) << 22 | int64_t(t[2] & 0xFE) << 14 | int64_t(t[3]) << 7 |
           int64_t(t[4] >> 1);
}

bool parse_sequence_header(const uint8_t* p, size_t n, SequenceHeader* out) {
    *out = SequenceHeader();
    if (n < 12 || p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] != kSequenceHeader) return false;
    out->width = p[4] << 4 | p[5] >> 4;
    out->height = (p[5] & 0x0F) << 8 | p[6];
    out->aspect = p[7] >> 4;
    out->rate_code = p[7] & 0x0F;
    static const double kRates[16] = {0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60,
                                      0, 0, 0, 0, 0, 0, 0};
    out->frame_rate = kRates[out->rate_code];
    out->bit_rate = int(((uint32_t(p[8]) << 10 | uint32_t(p[9]) << 2 | p[10] >> 6) & 0x3FFFF) * 400u);
    return out->width > 0 && out->height > 0 && out->frame_rate > 0;
}

bool parse_ac3_header(const uint8_t* p, size_t n, Ac3Header* out) {
    *out = Ac3Header();
    if (n < 7 || p[0] != 0x0B || p[1] != 0x77) return false;
    const int fscod = p[4] >> 6, frmsizecod = p[4] & 0x3F;
    const int bsid = p[5] >> 3;
    if (fscod == 3 || frmsizecod > 37 || bsid > 10) return false;
    static const int kKbps[19] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};
    static const int kRates[3] = {48000, 44100, 32000};
    const int kbps = kKbps[frmsizecod / 2];
    out->sample_rate = kRates[fscod];
    out->bitrate = kbps * 1000;
    // 1536 samples a frame; 44.1 kHz frames alternate between two sizes one 16-bit word apart
    if (fscod == 0) out->frame_bytes = kbps * 4;
    else if (fscod == 2) out->frame_bytes = kbps * 6;
    else out->frame_bytes = 2 * (kbps * 1536000 / (16 * 44100) + (frmsizecod & 1));
    const int acmod = p[6] >> 5;
    static const int kFullChannels[8] = {2, 1, 2, 3, 3, 4, 4, 5};
    int bit = 3;  // bits of byte 6 read so far
    if ((acmod & 1) && acmod != 1) bit += 2;
    if (acmod & 4) bit += 2;
    if (acmod == 2) bit += 2;
    const uint32_t word = uint32_t(p[6]) << 8 | (n > 7 ? p[7] : 0);
    const int lfe = (word >> (15 - bit)) & 1;
    out->channels = kFullChannels[acmod] + lfe;
    out->fixed[0] = p[4];
    out->fixed[1] = p[5];
    out->fixed[2] = p[6];
    return true;
}

}  // namespace mpeg
