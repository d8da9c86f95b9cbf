// Variable-length codes of ITU-T H.263 (the standard's tables for MCBPC, CBPY, MVD and TCOEF).
#pragma once
#include <cstdint>

namespace h263 {

struct Vlc {
    uint16_t code = 0;
    uint8_t length = 0;  // 0: no code for this value
};

enum MacroblockType { kInter = 0, kInterQ = 1, kInter4V = 2, kIntra = 3, kIntraQ = 4 };

// Each lookup gives an empty code (length 0) for a value outside its table.
Vlc mcbpc_i(int type, int cbpc);  // I pictures: types 3 and 4
Vlc mcbpc_p(int type, int cbpc);  // P pictures: types 0 to 4
Vlc cbpy(int pattern);            // the pattern as coded for INTER; INTRA passes pattern ^ 15
Vlc mvd(int difference);          // half-pel units, -32..31
Vlc tcoef(int last, int run, int level);  // |level| 1..12, run 0..63; no code: use ESCAPE

constexpr Vlc kEscape = {0x03, 7};

}  // namespace h263
