#include "media/mpa/mpa_layer3.h"

namespace mpa {

uint16_t crc16(uint16_t crc, const uint8_t* bytes, int count) {
    for (int i = 0; i < count; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool in = (bytes[i] >> bit) & 1;
            const bool top = crc & 0x8000;
            crc = uint16_t(crc << 1);
            if (in != top) crc ^= 0x8005;
        }
    }
    return crc;
}

namespace {

void check_granule(GranuleInfo* g) {
    // A granule that cannot be decoded as written is decoded empty.
    if (g->big_values > 288 || (g->window_switching && g->block_type == 0)) {
        g->part2_3_length = 0;
        g->big_values = 0;
        g->scalefac_compress = 0;
    }
}

void read_granule(BitReader& r, bool mpeg1, GranuleInfo* g) {
    g->part2_3_length = r.read(12);
    g->big_values = r.read(9);
    g->global_gain = r.read(8);
    g->scalefac_compress = r.read(mpeg1 ? 4 : 9);
    g->window_switching = r.read(1);
    if (g->window_switching) {
        g->block_type = r.read(2);
        g->mixed = r.read(1);
        for (int i = 0; i < 2; ++i) g->table_select[i] = r.read(5);
        g->table_select[2] = 0;
        for (int i = 0; i < 3; ++i) g->subblock_gain[i] = r.read(3);
        g->region0_count = (g->block_type == 2 && !g->mixed) ? 8 : 7;
        g->region1_count = 20 - g->region0_count;
    } else {
        g->block_type = 0;
        g->mixed = 0;
        for (int i = 0; i < 3; ++i) g->table_select[i] = r.read(5);
        g->region0_count = r.read(4);
        g->region1_count = r.read(3);
    }
    g->preflag = mpeg1 ? r.read(1) : 0;
    g->scalefac_scale = r.read(1);
    g->count1table_select = r.read(1);
    check_granule(g);
}

}  // namespace

void read_side_info(const FrameHeader& h, const uint8_t* frame, SideInfo* side) {
    *side = SideInfo();
    const bool mpeg1 = h.version == 0;
    const int channels = h.channels;
    side->granules = mpeg1 ? 2 : 1;
    side->bytes = mpeg1 ? (channels == 1 ? 17 : 32) : (channels == 1 ? 9 : 17);
    const int start = 4 + (h.protection ? 2 : 0);

    if (h.protection) {
        uint16_t crc = crc16(0xFFFF, frame + 2, 2);
        crc = crc16(crc, frame + start, side->bytes);
        const uint16_t stored = uint16_t(frame[4] << 8 | frame[5]);
        if (crc != stored) {
            // Every granule is decoded empty; nothing more of the side information is trusted.
            side->crc_failed = true;
            return;
        }
    }

    BitReader r(frame, int64_t(start) * 8);
    side->main_data_begin = r.read(mpeg1 ? 9 : 8);
    r.skip(mpeg1 ? (channels == 1 ? 5 : 3) : (channels == 1 ? 1 : 2));  // private bits
    if (mpeg1) {
        for (int ch = 0; ch < channels; ++ch)
            for (int band = 0; band < 4; ++band) side->scfsi[ch][band] = r.read(1);
    }
    for (int gr = 0; gr < side->granules; ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            GranuleInfo* g = &side->gr[gr][ch];
            read_granule(r, mpeg1, g);
            // MPEG-2/2.5: pre-emphasis comes with the third scale-factor table, which the right channel
            // of an intensity-stereo frame does not use.
            const bool intensity_right = ch == 1 && h.mode == 1 && (h.mode_extension & 1);
            if (!mpeg1) g->preflag = !intensity_right && g->scalefac_compress >= 500;
        }
    }
}

}  // namespace mpa
