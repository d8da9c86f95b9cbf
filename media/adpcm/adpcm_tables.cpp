#include "adpcm.h"

namespace adpcm {

const int16_t kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int8_t kImaIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

namespace {
const int8_t kSwf2[2] = {-1, 2};
const int8_t kSwf3[4] = {-1, -1, 2, 4};
const int8_t kSwf4[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
const int8_t kSwf5[16] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
}  // namespace

const int8_t* swf_index_table(int bits_per_code) {
    static const int8_t* const tables[4] = {kSwf2, kSwf3, kSwf4, kSwf5};
    return bits_per_code >= 2 && bits_per_code <= 5 ? tables[bits_per_code - 2] : nullptr;
}

}  // namespace adpcm
