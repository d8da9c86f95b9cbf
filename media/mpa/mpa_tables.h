// Constant tables of MPEG audio layer III decoding (ISO/IEC 11172-3, 13818-3 and the 2.5 extension).
#pragma once
#include <cstdint>

namespace mpa {

// Version index used by the tables: 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5.
constexpr int kMpeg1 = 0, kMpeg2 = 1, kMpeg25 = 2;

// Scale-factor band edges of one version and sampling rate: 23 long edges (0..576) and 14 short edges
// (0..192, per window).
struct BandEdges {
    int16_t long_edge[23];
    int16_t short_edge[14];
};
// By version (0..2) and sampling index (0..2).
extern const BandEdges kBandEdges[3][3];

// Pre-emphasis added to the long-band scale factors when preflag is set.
extern const uint8_t kPretab[22];

// MPEG-1 scale-factor lengths by scalefac_compress.
extern const uint8_t kSlen1[16];
extern const uint8_t kSlen2[16];

// MPEG-2/2.5 scale-factor partitions: [table][block kind (0 long, 1 short, 2 mixed)][partition].
// Tables 0-2 for channels without intensity coding, 3-5 for the right channel with intensity stereo.
extern const uint8_t kLsfPartitions[6][3][4];

// The synthesis window D[i] of the standard, as multiples of 2^-16.
extern const int32_t kSynthesisWindow[512];

// Alias-reduction coefficients c[i] of the standard.
extern const double kAliasCoefficients[8];

}  // namespace mpa
