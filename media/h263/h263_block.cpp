#include "h263_block.h"
#include <algorithm>
#include <cstdlib>
#include "h263_dct.h"

namespace h263 {

namespace {

int32_t clamp_level(int32_t v) { return std::clamp(v, -127, 127); }

// |REC| = QP (2 |level| + 1), minus 1 for an even QP, with the level's sign.
int32_t dequantise(int32_t level, int qp) {
    if (level == 0) return 0;
    int32_t magnitude = qp * (2 * std::abs(level) + 1) - (qp % 2 == 0 ? 1 : 0);
    return level < 0 ? -magnitude : magnitude;
}

void reconstruct(const CodedBlock& block, bool intra, int qp, int32_t out[64]) {
    int32_t coeff[64];
    for (int i = 0; i < 64; ++i) coeff[i] = dequantise(block.level[i], qp);
    if (intra) coeff[0] = block.level[0] * 8;
    inverse_dct(coeff, out);
}

}  // namespace

void quantise_intra(const int32_t samples[64], int qp, CodedBlock& block, int32_t recon[64]) {
    int32_t coeff[64];
    forward_dct(samples, coeff);
    block.level[0] = std::clamp(coeff[0] / 8, 1, 254);
    block.coded = false;
    for (int i = 1; i < 64; ++i) {
        const int32_t magnitude = std::abs(coeff[i]) / (2 * qp);
        block.level[i] = clamp_level(coeff[i] < 0 ? -magnitude : magnitude);
        if (block.level[i]) block.coded = true;
    }
    reconstruct(block, true, qp, recon);
    for (int i = 0; i < 64; ++i) recon[i] = std::clamp(recon[i], 0, 255);
}

void quantise_inter(const int32_t residual[64], int qp, CodedBlock& block, int32_t recon[64]) {
    int32_t coeff[64];
    forward_dct(residual, coeff);
    block.coded = false;
    for (int i = 0; i < 64; ++i) {
        const int32_t a = std::abs(coeff[i]);
        const int32_t magnitude = a < qp / 2 ? 0 : (a - qp / 2) / (2 * qp);
        block.level[i] = clamp_level(coeff[i] < 0 ? -magnitude : magnitude);
        if (block.level[i]) block.coded = true;
    }
    if (block.coded) {
        reconstruct(block, false, qp, recon);
    } else {
        std::fill(recon, recon + 64, 0);
    }
}

bool write_block(BitWriter& bits, const CodedBlock& block, bool intra) {
    const int first = intra ? 1 : 0;
    if (intra) bits.put(block.level[0] == 128 ? 255 : uint32_t(block.level[0]), 8);
    if (!block.coded) return true;
    int last_nonzero = 63;
    while (last_nonzero >= first && block.level[last_nonzero] == 0) --last_nonzero;
    int run = 0;
    for (int i = first; i <= last_nonzero; ++i) {
        const int32_t level = block.level[i];
        if (level == 0) {
            ++run;
            continue;
        }
        const int last = i == last_nonzero ? 1 : 0;
        const Vlc code = tcoef(last, run, std::abs(level));
        if (code.length) {
            bits.put(code);
            bits.put(level < 0 ? 1 : 0, 1);
        } else {
            if (level < -127 || level > 127) return false;
            bits.put(kEscape);
            bits.put(uint32_t(last), 1);
            bits.put(uint32_t(run), 6);
            bits.put(uint32_t(level) & 0xFF, 8);
        }
        run = 0;
    }
    return true;
}

}  // namespace h263
