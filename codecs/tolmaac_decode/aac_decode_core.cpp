#include "codecs/tolmaac_decode/aac_decode_core.h"
#include <algorithm>
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace aacdec {

namespace {

class Bits {
public:
    Bits(const uint8_t* data, int length) : data_(data), bits_(int64_t(length) * 8) {}
    uint32_t read(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++pos_) {
            if (pos_ >= bits_) {
                failed_ = true;
                return 0;
            }
            v = v << 1 | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
        }
        return v;
    }
    int64_t left() const { return bits_ - pos_; }
    bool failed() const { return failed_; }

private:
    const uint8_t* data_;
    int64_t bits_, pos_ = 0;
    bool failed_ = false;
};

int object_type(Bits& bits) {
    int type = int(bits.read(5));
    return type == 31 ? 32 + int(bits.read(6)) : type;
}

int sample_rate(Bits& bits) {
    static const int kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                   22050, 16000, 12000, 11025, 8000,  7350};
    int index = int(bits.read(4));
    if (index == 15) return int(bits.read(24));
    return index < 13 ? kRates[index] : 0;
}

// Object types whose configuration is a GASpecificConfig (the AAC family libavcodec decodes).
bool general_audio(int type) {
    return (type >= 1 && type <= 4) || type == 6 || type == 7 || type == 17 || (type >= 19 && type <= 23);
}

}  // namespace

bool parse_config(const uint8_t* data, int length, Config* config) {
    if (!data || length < 2 || !config) return false;
    Bits bits(data, length);
    Config c;
    c.object_type = object_type(bits);
    c.sample_rate = sample_rate(bits);
    int channel_config = int(bits.read(4));
    int extension_rate = 0;
    if (c.object_type == 5 || c.object_type == 29) {
        c.sbr = true;
        c.ps = c.object_type == 29;
        extension_rate = sample_rate(bits);
        c.object_type = object_type(bits);
    }
    if (bits.failed() || !general_audio(c.object_type) || c.sample_rate <= 0) return false;
    static const int kChannels[8] = {0, 1, 2, 3, 4, 5, 6, 8};
    c.channels = channel_config < 8 ? kChannels[channel_config] : 0;
    if (!c.sbr && channel_config != 0) {
        // GASpecificConfig, then a backward-compatible SBR / parametric-stereo signal when one follows.
        bits.read(1);                      // frame length flag
        if (bits.read(1)) bits.read(14);   // core coder delay
        bool extension = bits.read(1) != 0;
        if (c.object_type == 6 || c.object_type == 20) bits.read(3);
        if (extension) {
            if (c.object_type == 22) bits.read(16);
            if (c.object_type == 17 || c.object_type == 19 || c.object_type == 20 || c.object_type == 23) bits.read(3);
            bits.read(1);
        }
        if (!bits.failed() && bits.left() >= 16 && bits.read(11) == 0x2B7) {
            if (object_type(bits) == 5 && bits.read(1)) {
                c.sbr = true;
                extension_rate = sample_rate(bits);
                if (bits.left() >= 12 && bits.read(11) == 0x548 && bits.read(1)) c.ps = true;
            }
            if (bits.failed()) c.sbr = c.ps = false, extension_rate = 0;
        }
    }
    c.output_rate = c.sbr ? (extension_rate > 0 ? extension_rate : 2 * c.sample_rate) : c.sample_rate;
    c.output_channels = c.ps ? 2 : (c.channels == 1 ? 1 : 2);
    *config = c;
    return true;
}

bool Decoder::init(const uint8_t* config, int length, int* rate, int* channels) {
    Config c;
    if (!parse_config(config, length, &c) || length > 1024) return false;
    libav::AudioFormat format;
    format.codec_id = AV_CODEC_ID_AAC;
    format.extradata = config;
    format.extradata_size = length;
    if (!audio_.open(format, c.output_rate, c.output_channels)) return false;
    if (rate) *rate = c.output_rate;
    if (channels) *channels = c.output_channels;
    return true;
}

int Decoder::decode(const uint8_t* data, int length, uint8_t* pcm) {
    if (!audio_.is_open() || !data || length <= 0 || !pcm) return -1;
    return audio_.decode(data, length, pcm, kMaxOutput);
}

}  // namespace aacdec
