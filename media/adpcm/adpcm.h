// The two ADPCM sound decoders of the input branches: IMA ADPCM blocks (AMV sound, 4-bit codes) and
// the ADPCM of SWF and FLV files (2- to 5-bit codes). Each keeps its predictor state in a small
// struct; the functions without a state argument work on one process-wide instance each, so one
// stream of each kind is decoded at a time and the threads reset the state before a file.
//
// Output is interleaved signed 16-bit PCM. A caller turns a result into PCM bytes as
// samples per channel x channels x 2.
#pragma once
#include <cstddef>
#include <cstdint>

struct ImaAdpcmState {
    int16_t predictor = 0;
    int16_t index = 0;  // 0..88
};

struct SwfAdpcmState {
    int16_t predictor[2] = {0, 0};
    int16_t index[2] = {0, 0};          // 0..88
    int16_t initial_sample[2] = {0, 0};  // the last block header read
    int16_t initial_index[2] = {0, 0};
};

namespace adpcm {
constexpr int kMaxIndex = 88;
extern const int16_t kStepTable[89];
extern const int8_t kImaIndexTable[16];
// Index change of a SWF ADPCM code by code size (2..5 bits) and the code's magnitude bits.
const int8_t* swf_index_table(int bits_per_code);
}  // namespace adpcm

void ima_adpcm_reset(ImaAdpcmState* state);
void ima_adpcm_reset();

// Decodes one IMA block: an 8-byte header (int16 sample, int16 step index, 4 bytes not used), then two
// codes a byte, high nibble first. Only mono is decoded (AMV sound); another channel count gives 0.
// Returns the samples written: (length - 8) x 2, at most `capacity`; 0 for a block of 8 bytes or less.
int ima_adpcm_decode(ImaAdpcmState* state, const uint8_t* block, size_t length, int channels, int16_t* out,
                     size_t capacity);
int ima_adpcm_decode(const uint8_t* block, size_t length, int channels, int16_t* out, size_t capacity);

void swf_adpcm_reset(SwfAdpcmState* state);
void swf_adpcm_reset();

// Decodes one SWF ADPCM packet of 1 or 2 channels (interleaved output). Writes whole sample frames
// only and never more than `capacity` samples in all. Low 32 bits of the result: samples per channel;
// high 32 bits: the bit position reached in the last byte read (0..7).
uint64_t swf_adpcm_decode(SwfAdpcmState* state, const uint8_t* data, size_t length, int channels, int16_t* out,
                          size_t capacity);
uint64_t swf_adpcm_decode(const uint8_t* data, size_t length, int channels, int16_t* out, size_t capacity);

// The samples per channel of a swf_adpcm_decode result.
inline int swf_adpcm_samples(uint64_t result) { return int(uint32_t(result)); }
