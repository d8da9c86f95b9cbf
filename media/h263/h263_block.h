// One 8x8 block: transform, quantisation, reconstruction and coefficient coding.
#pragma once
#include <cstdint>
#include "h263_bitwriter.h"

namespace h263 {

struct CodedBlock {
    int32_t level[64];  // zigzag order; level[0] is INTRADC for intra blocks
    bool coded;         // CBP bit: a nonzero coefficient to send (AC only for intra)
};

// Intra block from source samples; recon receives the decoded samples (0..255).
void quantise_intra(const int32_t samples[64], int qp, CodedBlock& block, int32_t recon[64]);
// Inter block from a prediction error; recon receives the decoded error (before adding the prediction).
void quantise_inter(const int32_t residual[64], int qp, CodedBlock& block, int32_t recon[64]);

// INTRADC (intra only) and the TCOEF run/level pairs when the block is coded. False when a value
// has no code, which cannot happen for levels the quantisers produce.
bool write_block(BitWriter& bits, const CodedBlock& block, bool intra);

}  // namespace h263
