#include "h263_vlc.h"

namespace h263 {

namespace {

// MCBPC for I pictures: rows type 3, type 4; columns CBPC 0..3.
const Vlc kMcbpcI[2][4] = {
    {{0x1, 1}, {0x1, 3}, {0x2, 3}, {0x3, 3}},
    {{0x1, 4}, {0x1, 6}, {0x2, 6}, {0x3, 6}},
};

// MCBPC for P pictures: rows types 0 to 4; columns CBPC 0..3.
const Vlc kMcbpcP[5][4] = {
    {{0x1, 1}, {0x3, 4}, {0x2, 4}, {0x5, 6}},
    {{0x3, 3}, {0x7, 7}, {0x6, 7}, {0x5, 9}},
    {{0x2, 3}, {0x5, 7}, {0x4, 7}, {0x5, 8}},
    {{0x3, 5}, {0x4, 8}, {0x3, 8}, {0x3, 7}},
    {{0x4, 6}, {0x4, 9}, {0x3, 9}, {0x2, 9}},
};

// CBPY by the INTER pattern (Y0 is the most significant bit).
const Vlc kCbpy[16] = {
    {0x3, 2}, {0x6, 4}, {0x8, 4}, {0x4, 4}, {0xA, 4}, {0x5, 4}, {0x3, 6}, {0x2, 5},
    {0xB, 4}, {0x2, 6}, {0x7, 4}, {0x3, 5}, {0x9, 4}, {0x4, 5}, {0x5, 5}, {0x3, 4},
};

// MVD by the magnitude of the difference in half pels; a sign bit follows every nonzero value.
const Vlc kMvdMagnitude[33] = {
    {0x1, 1},   {0x1, 2},   {0x1, 3},   {0x1, 4},   {0x3, 6},   {0x5, 7},   {0x4, 7},   {0x3, 7},   {0xB, 9},
    {0xA, 9},   {0x9, 9},   {0x11, 10}, {0x10, 10}, {0xF, 10},  {0xE, 10},  {0xD, 10},  {0xC, 10},  {0xB, 10},
    {0xA, 10},  {0x9, 10},  {0x8, 10},  {0x7, 10},  {0x6, 10},  {0x5, 10},  {0x4, 10},  {0x7, 11},  {0x6, 11},
    {0x5, 11},  {0x4, 11},  {0x3, 11},  {0x2, 11},  {0x3, 12},  {0x2, 12},
};

struct TcoefRow {
    uint8_t last, run, level;
    uint16_t code;
    uint8_t length;
};

// TCOEF: (LAST, RUN, |LEVEL|) -> code without the sign bit.
const TcoefRow kTcoef[] = {
    {0,  0,  1, 0x02,  2}, {0,  0,  2, 0x0f,  4}, {0,  0,  3, 0x15,  6},
    {0,  0,  4, 0x17,  7}, {0,  0,  5, 0x1f,  8}, {0,  0,  6, 0x25,  9},
    {0,  0,  7, 0x24,  9}, {0,  0,  8, 0x21, 10}, {0,  0,  9, 0x20, 10},
    {0,  0, 10, 0x07, 11}, {0,  0, 11, 0x06, 11}, {0,  0, 12, 0x20, 11},
    {0,  1,  1, 0x06,  3}, {0,  1,  2, 0x14,  6}, {0,  1,  3, 0x1e,  8},
    {0,  1,  4, 0x0f, 10}, {0,  1,  5, 0x21, 11}, {0,  1,  6, 0x50, 12},
    {0,  2,  1, 0x0e,  4}, {0,  2,  2, 0x1d,  8}, {0,  2,  3, 0x0e, 10},
    {0,  2,  4, 0x51, 12}, {0,  3,  1, 0x0d,  5}, {0,  3,  2, 0x23,  9},
    {0,  3,  3, 0x0d, 10}, {0,  4,  1, 0x0c,  5}, {0,  4,  2, 0x22,  9},
    {0,  4,  3, 0x52, 12}, {0,  5,  1, 0x0b,  5}, {0,  5,  2, 0x0c, 10},
    {0,  5,  3, 0x53, 12}, {0,  6,  1, 0x13,  6}, {0,  6,  2, 0x0b, 10},
    {0,  6,  3, 0x54, 12}, {0,  7,  1, 0x12,  6}, {0,  7,  2, 0x0a, 10},
    {0,  8,  1, 0x11,  6}, {0,  8,  2, 0x09, 10}, {0,  9,  1, 0x10,  6},
    {0,  9,  2, 0x08, 10}, {0, 10,  1, 0x16,  7}, {0, 10,  2, 0x55, 12},
    {0, 11,  1, 0x15,  7}, {0, 12,  1, 0x14,  7}, {0, 13,  1, 0x1c,  8},
    {0, 14,  1, 0x1b,  8}, {0, 15,  1, 0x21,  9}, {0, 16,  1, 0x20,  9},
    {0, 17,  1, 0x1f,  9}, {0, 18,  1, 0x1e,  9}, {0, 19,  1, 0x1d,  9},
    {0, 20,  1, 0x1c,  9}, {0, 21,  1, 0x1b,  9}, {0, 22,  1, 0x1a,  9},
    {0, 23,  1, 0x22, 11}, {0, 24,  1, 0x23, 11}, {0, 25,  1, 0x56, 12},
    {0, 26,  1, 0x57, 12}, {1,  0,  1, 0x07,  4}, {1,  0,  2, 0x19,  9},
    {1,  0,  3, 0x05, 11}, {1,  1,  1, 0x0f,  6}, {1,  1,  2, 0x04, 11},
    {1,  2,  1, 0x0e,  6}, {1,  3,  1, 0x0d,  6}, {1,  4,  1, 0x0c,  6},
    {1,  5,  1, 0x13,  7}, {1,  6,  1, 0x12,  7}, {1,  7,  1, 0x11,  7},
    {1,  8,  1, 0x10,  7}, {1,  9,  1, 0x1a,  8}, {1, 10,  1, 0x19,  8},
    {1, 11,  1, 0x18,  8}, {1, 12,  1, 0x17,  8}, {1, 13,  1, 0x16,  8},
    {1, 14,  1, 0x15,  8}, {1, 15,  1, 0x14,  8}, {1, 16,  1, 0x13,  8},
    {1, 17,  1, 0x18,  9}, {1, 18,  1, 0x17,  9}, {1, 19,  1, 0x16,  9},
    {1, 20,  1, 0x15,  9}, {1, 21,  1, 0x14,  9}, {1, 22,  1, 0x13,  9},
    {1, 23,  1, 0x12,  9}, {1, 24,  1, 0x11,  9}, {1, 25,  1, 0x07, 10},
    {1, 26,  1, 0x06, 10}, {1, 27,  1, 0x05, 10}, {1, 28,  1, 0x04, 10},
    {1, 29,  1, 0x24, 11}, {1, 30,  1, 0x25, 11}, {1, 31,  1, 0x26, 11},
    {1, 32,  1, 0x27, 11}, {1, 33,  1, 0x58, 12}, {1, 34,  1, 0x59, 12},
    {1, 35,  1, 0x5a, 12}, {1, 36,  1, 0x5b, 12}, {1, 37,  1, 0x5c, 12},
    {1, 38,  1, 0x5d, 12}, {1, 39,  1, 0x5e, 12}, {1, 40,  1, 0x5f, 12},
};

constexpr int kMaxLevel = 12;

// Dense lookup built once from the rows above: [last][run][level].
struct TcoefTable {
    Vlc v[2][64][kMaxLevel + 1];
    TcoefTable() {
        for (const TcoefRow& r : kTcoef) v[r.last][r.run][r.level] = {r.code, r.length};
    }
};

const TcoefTable& tcoef_table() {
    static const TcoefTable table;
    return table;
}

}  // namespace

Vlc mcbpc_i(int type, int cbpc) {
    if ((type != kIntra && type != kIntraQ) || cbpc < 0 || cbpc > 3) return {};
    return kMcbpcI[type - kIntra][cbpc];
}

Vlc mcbpc_p(int type, int cbpc) {
    if (type < kInter || type > kIntraQ || cbpc < 0 || cbpc > 3) return {};
    return kMcbpcP[type][cbpc];
}

Vlc cbpy(int pattern) { return pattern >= 0 && pattern < 16 ? kCbpy[pattern] : Vlc{}; }

Vlc mvd(int difference) {
    if (difference < -32 || difference > 31) return {};
    const int magnitude = difference < 0 ? -difference : difference;
    Vlc v = kMvdMagnitude[magnitude];
    if (difference == 0) return v;
    v.code = uint16_t(v.code << 1 | (difference < 0 ? 1 : 0));
    v.length++;
    return v;
}

Vlc tcoef(int last, int run, int level) {
    if (last < 0 || last > 1 || run < 0 || run > 63 || level < 1 || level > kMaxLevel) return {};
    return tcoef_table().v[last][run][level];
}

}  // namespace h263
