// Layer III decoding steps, shared by the decoder's files: side information, scale factors, Huffman
// decoding with requantisation, stereo processing, the hybrid filterbank and the polyphase synthesis.
#pragma once
#include <cstdint>
#include "media/mpa/mpa_bits.h"
#include "media/mpa/mpa_header.h"
#include "media/mpa/mpa_tables.h"

namespace mpa {

constexpr int kLines = 576;

struct GranuleInfo {
    int part2_3_length = 0;
    int big_values = 0;
    int global_gain = 0;
    int scalefac_compress = 0;
    int window_switching = 0;
    int block_type = 0;  // 0 normal, 1 start, 2 short, 3 stop
    int mixed = 0;
    int table_select[3] = {};
    int subblock_gain[3] = {};
    int region0_count = 0;
    int region1_count = 0;
    int preflag = 0;
    int scalefac_scale = 0;
    int count1table_select = 0;

    bool short_block() const { return window_switching && block_type == 2; }
    bool pure_short() const { return short_block() && !mixed; }
    bool mixed_block() const { return short_block() && mixed; }
};

struct SideInfo {
    int main_data_begin = 0;
    int scfsi[2][4] = {};
    GranuleInfo gr[2][2];
    int granules = 0;
    int bytes = 0;            // length of the side information
    bool crc_failed = false;  // side information cleared
};

// The frame-independent parameters of one stream's decoding.
struct StreamParams {
    int version = 0;        // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    int sampling_index = 0;
    int channels = 0;
    int mode = 0;
    int mode_extension = 0;
    const BandEdges* edges = nullptr;
    bool eight_khz = false;  // MPEG-2.5 at 8 kHz (wider mixed-block long part)
};

// Side information after the header (and CRC word) of a frame held whole in `frame`. With a protected
// frame whose CRC does not match, the side information is cleared (crc_failed).
void read_side_info(const FrameHeader& h, const uint8_t* frame, SideInfo* side);

// CRC-16 of the standard (polynomial 0x8005) over `bytes`, continuing from `crc`.
uint16_t crc16(uint16_t crc, const uint8_t* bytes, int count);

// One channel of one granule after Huffman decoding and requantisation.
struct ChannelSpectrum {
    float xr[kLines];
    int scalefac_l[22];      // long bands (band 21: none, 0)
    int scalefac_s[13][3];   // short bands by window (band 12: none, 0)
    int illegal_l[22];       // intensity position that marks "not intensity coded"
    int illegal_s[13];
    int extent = 0;
    int long_count = 0;
    int short_count = 0;
    int window_count[3] = {};
    int subband_count = 0;
    bool long_only = false;
};

// Scale factors, Huffman decoding, extent and band counts, and requantisation of one channel of a
// granule, read from `reader` (at the start of the channel's part 2), which ends at end_bit.
// `intensity_right`: the right channel of an MPEG-2/2.5 frame with intensity stereo.
void decode_channel(const StreamParams& p, const GranuleInfo& g, const SideInfo& side, int granule, int ch,
                    bool intensity_right, BitReader& reader, int64_t end_bit, ChannelSpectrum* out,
                    const ChannelSpectrum* previous_granule);

// Extent and band counts of a channel from its decoded lines (the counts cleared beforehand).
void count_bands(const StreamParams& p, const GranuleInfo& g, const int* is, int decoded, ChannelSpectrum* c);
// Requantisation of the decoded lines into c->xr by the channel's scale factors and band counts.
void requantize(const StreamParams& p, const GranuleInfo& g, const int* is, ChannelSpectrum* c);

// Sub-band count from the extent and band counts.
void update_subband_count(const StreamParams& p, ChannelSpectrum* c);

// Joint-stereo processing of the two channels (mode 1), or with `mono` the mix-down into channel 0.
void stereo_process(const StreamParams& p, const GranuleInfo& left_info, const GranuleInfo& right_info,
                    bool mono, ChannelSpectrum* left, ChannelSpectrum* right);

// Hybrid filterbank of one channel: reordering, alias reduction, IMDCT with overlap-add and frequency
// inversion. `out` receives 18 time slots of (32 >> downsample) sub-band samples, slot-major.
void hybrid(const StreamParams& p, const GranuleInfo& g, int downsample, ChannelSpectrum* c,
            float overlap[32][18], float out[18][32]);

// Polyphase synthesis state of one channel.
struct SynthesisState {
    float v[16][64] = {};
    int slot = 0;
};

// 18 slots of sub-band samples into 18 x (32 >> downsample) output samples, written every `step`-th
// int16 from `pcm` (step = output channels), clamped to +-32767 and truncated toward zero.
void synthesize(SynthesisState* s, int downsample, const float in[18][32], int16_t* pcm, int step);

// |v|^(4/3) for the requantiser.
float power43(int v);
// The cube root used above 127.
double cube_root(double x);

}  // namespace mpa
