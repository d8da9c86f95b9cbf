// AAC access units (libavcodec's aac decoder) into interleaved 16-bit PCM of at most two channels. The
// AudioSpecificConfig is read here too, so the rate and channels the PCM will have are known before the
// first frame: a configuration that signals SBR (HE-AAC) gives the doubled rate, one that signals
// parametric stereo two channels. A stream that turns out otherwise is converted to what was reported.
#pragma once
#include "codecs/libav/audio_decoder.h"

namespace aacdec {

struct Config {
    int object_type = 0;     // of the core coder (2 for AAC LC, also under SBR)
    int sample_rate = 0;     // of the core coder
    int channels = 0;        // 0 when a program configuration element gives them
    int output_rate = 0;     // the rate decoding gives (doubled with SBR)
    int output_channels = 0; // 1 or 2
    bool sbr = false, ps = false;
};

// Reads an AudioSpecificConfig; false when it is not one of an AAC object type.
bool parse_config(const uint8_t* data, int length, Config* config);

class Decoder {
public:
    static constexpr int kMaxOutput = 8192;
    // Returns false when the configuration is refused; else the PCM's rate and channel count.
    bool init(const uint8_t* config, int length, int* sample_rate, int* channels);
    // One access unit: PCM bytes written to pcm (at most kMaxOutput), -1 when refused.
    int decode(const uint8_t* data, int length, uint8_t* pcm);

private:
    libav::AudioDecoder audio_;
};

}  // namespace aacdec
