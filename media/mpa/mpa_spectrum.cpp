// Scale factors, Huffman decoding, extent and band counts, requantisation.
#include <cmath>
#include <cstring>
#include "media/mpa/mpa_huffman.h"
#include "media/mpa/mpa_layer3.h"

namespace mpa {

namespace {

// 32768 x 2^(-k/4) for k = 0..127.
struct GainTable {
    float gain[128];
    float pow43[128];
    GainTable() {
        for (int k = 0; k < 128; ++k) gain[k] = float(32768.0 * std::pow(2.0, -k / 4.0));
        for (int v = 0; v < 128; ++v) pow43[v] = float(std::pow(double(v), 4.0 / 3.0));
    }
};
const GainTable& tables() {
    static const GainTable t;
    return t;
}

// MPEG-1 scale factors, with the granule-1 reuse that scfsi selects.
void read_scalefactors_mpeg1(const GranuleInfo& g, const SideInfo& side, int granule, int ch, BitReader& r,
                             ChannelSpectrum* c, const ChannelSpectrum* previous) {
    const int slen1 = kSlen1[g.scalefac_compress], slen2 = kSlen2[g.scalefac_compress];
    if (g.short_block()) {
        int band = 0;
        if (g.mixed) {
            for (; band < 8; ++band) c->scalefac_l[band] = r.read(slen1);
            band = 3;
        }
        for (; band < 6; ++band)
            for (int w = 0; w < 3; ++w) c->scalefac_s[band][w] = r.read(slen1);
        for (; band < 12; ++band)
            for (int w = 0; w < 3; ++w) c->scalefac_s[band][w] = r.read(slen2);
        return;
    }
    static const int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        const int bits = group < 2 ? slen1 : slen2;
        const bool reuse = granule == 1 && side.scfsi[ch][group] && previous;
        for (int band = kGroupStart[group]; band < kGroupStart[group + 1]; ++band)
            c->scalefac_l[band] = reuse ? previous->scalefac_l[band] : int(r.read(bits));
    }
}

// MPEG-2/2.5 scale factors: four partitions, lengths from scalefac_compress; the right channel of an
// intensity-stereo frame has its own partitions and records the illegal intensity positions.
void read_scalefactors_lsf(const GranuleInfo& g, bool intensity_right, BitReader& r, ChannelSpectrum* c) {
    int slen[4] = {};
    int table = 0;
    int sfc = g.scalefac_compress;
    if (!intensity_right) {
        if (sfc < 400) {
            slen[0] = (sfc >> 4) / 5; slen[1] = (sfc >> 4) % 5; slen[2] = (sfc & 15) >> 2; slen[3] = sfc & 3;
            table = 0;
        } else if (sfc < 500) {
            sfc -= 400;
            slen[0] = (sfc >> 2) / 5; slen[1] = (sfc >> 2) % 5; slen[2] = sfc & 3;
            table = 1;
        } else {
            sfc -= 500;
            slen[0] = sfc / 3; slen[1] = sfc % 3;
            table = 2;
        }
    } else {
        int isfc = sfc >> 1;
        if (isfc < 180) {
            slen[0] = isfc / 36; slen[1] = (isfc % 36) / 6; slen[2] = (isfc % 36) % 6;
            table = 3;
        } else if (isfc < 244) {
            isfc -= 180;
            slen[0] = (isfc & 63) >> 4; slen[1] = (isfc & 15) >> 2; slen[2] = isfc & 3;
            table = 4;
        } else {
            isfc -= 244;
            slen[0] = isfc / 3; slen[1] = isfc % 3;
            table = 5;
        }
    }
    const int kind = g.short_block() ? (g.mixed ? 2 : 1) : 0;
    const uint8_t* counts = kLsfPartitions[table][kind];

    // Walk the bands in transmission order: long bands, then short band-windows.
    int long_band = 0, short_band = 0, window = 0;
    for (int part = 0; part < 4; ++part) {
        const int bits = slen[part];
        const int illegal = (1 << bits) - 1;
        for (int i = 0; i < counts[part]; ++i) {
            const int value = r.read(bits);
            const bool is_long = kind == 0 || (kind == 2 && part == 0);
            if (is_long) {
                if (long_band < 21) {
                    c->scalefac_l[long_band] = value;
                    c->illegal_l[long_band] = illegal;
                }
                ++long_band;
            } else {
                if (kind == 2 && short_band < 3) short_band = 3;
                if (short_band < 12) {
                    c->scalefac_s[short_band][window] = value;
                    c->illegal_s[short_band] = illegal;
                }
                if (++window == 3) {
                    window = 0;
                    ++short_band;
                }
            }
        }
    }
}

// Huffman decoding of one pair or quadruple symbol.
inline int decode_symbol(const HuffLookup& t, BitReader& r) {
    uint32_t e = t.entries[r.peek(t.first_bits)];
    if (!(e & 0x80000000u)) {
        r.skip(int(e >> 8));
        return int(e & 0xFF);
    }
    r.skip(t.first_bits);
    for (;;) {
        const int bits = int(e & 31);
        e = t.entries[((e & 0x7FFFFFFFu) >> 5) + r.peek(bits)];
        if (!(e & 0x80000000u)) {
            r.skip(int(e >> 8));
            return int(e & 0xFF);
        }
        r.skip(bits);
    }
}

inline int signed_value(BitReader& r, int v) { return v && r.read_bit() ? -v : v; }

// Huffman decoding of big values and count1 quadruples into is[]; returns the lines decoded.
int decode_lines(const StreamParams& p, const GranuleInfo& g, BitReader& r, int64_t end_bit, int* is) {
    const HuffTable* tables = huffman_tables();
    const BandEdges& e = *p.edges;
    const int big_end = 2 * g.big_values;
    int region1, region2;
    if (!g.short_block()) {
        const int a = g.region0_count + 1, b = g.region0_count + g.region1_count + 2;
        region1 = e.long_edge[a < 22 ? a : 22];
        region2 = e.long_edge[b < 22 ? b : 22];
    } else if (!g.mixed) {
        region1 = 3 * e.short_edge[(g.region0_count + 1) / 3];
        region2 = kLines;
    } else {
        region1 = p.version == 0 ? e.long_edge[g.region0_count + 1]
                                 : e.long_edge[6] + 2 * (e.short_edge[4] - e.short_edge[3]);
        region2 = kLines;
    }
    if (region1 > big_end) region1 = big_end;
    if (region2 > big_end) region2 = big_end;

    int line = 0;
    const int limits[3] = {region1, region2, big_end};
    for (int region = 0; region < 3; ++region) {
        const HuffTable& t = tables[g.table_select[region]];
        const int limit = limits[region];
        if (!t.lookup.entries) {
            for (; line < limit; ++line) is[line] = 0;
            continue;
        }
        const int linbits = t.linbits;
        for (; line < limit; line += 2) {
            if (r.position() > end_bit) {
                // ran past the channel's bits: the rest of the region is lost
                for (; line < limit; ++line) is[line] = 0;
                break;
            }
            const int symbol = decode_symbol(t.lookup, r);
            int x = symbol >> 4, y = symbol & 15;
            if (linbits && x == 15) x += int(r.read(linbits));
            x = signed_value(r, x);
            if (linbits && y == 15) y += int(r.read(linbits));
            y = signed_value(r, y);
            is[line] = x;
            is[line + 1] = y;
        }
    }
    line = big_end;

    const HuffLookup& quad = tables[g.count1table_select ? 33 : 32].lookup;
    while (r.position() < end_bit && line <= kLines - 4) {
        const int symbol = decode_symbol(quad, r);
        int v = (symbol >> 3) & 1, w = (symbol >> 2) & 1, x = (symbol >> 1) & 1, y = symbol & 1;
        v = signed_value(r, v);
        w = signed_value(r, w);
        x = signed_value(r, x);
        y = signed_value(r, y);
        if (r.position() > end_bit) break;  // the quadruple ran past the end: dropped
        is[line] = v;
        is[line + 1] = w;
        is[line + 2] = x;
        is[line + 3] = y;
        line += 4;
    }
    r.set_position(end_bit);
    return line;
}

}  // namespace

void count_bands(const StreamParams& p, const GranuleInfo& g, const int* is, int decoded, ChannelSpectrum* c) {
    const BandEdges& e = *p.edges;
    int extent = 0;
    if (decoded > 0) {
        extent = decoded;
        while (extent > 1 && is[extent - 1] == 0) --extent;
    }
    c->extent = extent;

    const int mixed_long_end = p.version == 0 ? e.long_edge[8] : e.long_edge[6];
    c->long_only = !g.short_block() || (g.mixed && extent <= mixed_long_end);
    if (c->long_only) {
        int n = 0;
        while (n < 22 && e.long_edge[n] < extent) ++n;
        c->long_count = n;
    } else {
        int n = 0;
        while (n < 13 && 3 * e.short_edge[n] < extent) ++n;
        c->short_count = n;
        const int first = g.mixed ? 3 : 0;
        for (int w = 0; w < 3; ++w) {
            int count = 0;
            for (int band = first; band < n; ++band) {
                const int width = e.short_edge[band + 1] - e.short_edge[band];
                const int start = 3 * e.short_edge[band] + w * width;
                for (int i = 0; i < width; ++i) {
                    if (start + i < kLines && is[start + i] != 0) {
                        count = band + 1;
                        break;
                    }
                }
            }
            c->window_count[w] = count ? count : n;
        }
    }
    update_subband_count(p, c);
}

namespace {

inline void requantize_lines(const int* is, float* xr, int start, int end, int k) {
    if (k < 0 || k > 127) return;  // xr is already zero there
    const float gain = tables().gain[k];
    const float* pow43 = tables().pow43;
    for (int i = start; i < end; ++i) {
        const int v = is[i];
        if (v == 0) continue;
        const int a = v < 0 ? -v : v;
        const float m = (a < 128 ? pow43[a] : power43(a)) * gain;
        xr[i] = v < 0 ? -m : m;
    }
}

}  // namespace

void requantize(const StreamParams& p, const GranuleInfo& g, const int* is, ChannelSpectrum* c) {
    const BandEdges& e = *p.edges;
    std::memset(c->xr, 0, sizeof(c->xr));
    const int base = 210 - g.global_gain;
    const int multiplier = 2 * (1 + g.scalefac_scale);
    auto long_band = [&](int band) {
        const int k = base + multiplier * (c->scalefac_l[band] + g.preflag * kPretab[band]);
        requantize_lines(is, c->xr, e.long_edge[band], e.long_edge[band + 1], k);
    };
    auto short_band = [&](int band) {
        const int width = e.short_edge[band + 1] - e.short_edge[band];
        for (int w = 0; w < 3; ++w) {
            const int k = base + 8 * g.subblock_gain[w] + multiplier * c->scalefac_s[band][w];
            const int start = 3 * e.short_edge[band] + w * width;
            requantize_lines(is, c->xr, start, start + width, k);
        }
    };
    if (!g.short_block()) {
        for (int band = 0; band < c->long_count; ++band) long_band(band);
    } else if (!g.mixed) {
        for (int band = 0; band < c->short_count; ++band) short_band(band);
    } else {
        const int long_bands = p.version == 0 ? 8 : 6;
        for (int band = 0; band < long_bands; ++band) long_band(band);
        if (!c->long_only)
            for (int band = 3; band < c->short_count; ++band) short_band(band);
    }
    for (int i = c->extent; i < kLines; ++i) c->xr[i] = 0;
}

void update_subband_count(const StreamParams& p, ChannelSpectrum* c) {
    const int lines = c->long_only ? c->extent : 3 * p.edges->short_edge[c->short_count];
    c->subband_count = (lines + 17) / 18;
}

float power43(int v) {
    if (v < 128) return tables().pow43[v];
    return float(double(v) * cube_root(double(v)));
}

void decode_channel(const StreamParams& p, const GranuleInfo& g, const SideInfo& side, int granule, int ch,
                    bool intensity_right, BitReader& r, int64_t end_bit, ChannelSpectrum* c,
                    const ChannelSpectrum* previous_granule) {
    // Every count starts at 0; scale factors and intensity positions of bands without any are 0.
    std::memset(c->scalefac_l, 0, sizeof(c->scalefac_l));
    std::memset(c->scalefac_s, 0, sizeof(c->scalefac_s));
    const int illegal = p.version == 0 ? 7 : 1;
    for (int& v : c->illegal_l) v = illegal;
    for (int& v : c->illegal_s) v = illegal;
    c->extent = c->long_count = c->short_count = c->subband_count = 0;
    c->window_count[0] = c->window_count[1] = c->window_count[2] = 0;
    c->long_only = false;

    if (p.version == 0)
        read_scalefactors_mpeg1(g, side, granule, ch, r, c, previous_granule);
    else
        read_scalefactors_lsf(g, intensity_right, r, c);

    int is[kLines];
    const int decoded = decode_lines(p, g, r, end_bit, is);
    for (int i = decoded; i < kLines; ++i) is[i] = 0;
    count_bands(p, g, is, decoded, c);
    requantize(p, g, is, c);
}

}  // namespace mpa
