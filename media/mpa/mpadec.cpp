// Input ring, synchronisation, bit reservoir and the per-frame flow of the layer III decoder.
#include "media/mpa/mpadec.h"
#include <cstring>
#include <new>
#include "media/mpa/mpa_layer3.h"

using namespace mpa;

namespace {

constexpr uint32_t kMagic = 0x00726973;
constexpr int kRingBytes = 8192;
constexpr int kReservoirBytes = 2048;
constexpr int kMaxFrameBytes = 2048;  // a layer III frame is at most 1441 bytes

struct Decoder {
    // options
    int downsample = 0;
    bool eight_bit = false;
    bool mono = false;
    bool hook = false;

    // input ring: bytes [read_bit / 8, write_pos) are held
    uint8_t ring[kRingBytes];
    uint64_t write_pos = 0;
    uint64_t read_bit = 0;
    bool ended = false;

    bool synced = false;
    uint32_t fixed_bits = 0;

    // frame being decoded (with read padding)
    FrameHeader header;
    SideInfo side;
    uint8_t frame[kMaxFrameBytes + 16];

    // bit reservoir, followed by room for reading past a channel's declared length
    uint8_t reservoir[2 * kReservoirBytes + 16];
    int reservoir_length = 0;

    ChannelSpectrum spectrum[2][2];  // [granule][channel]
    float overlap[2][32][18];
    SynthesisState synthesis[2];
    float subbands[18][32];

    MpaFrameInfo info;

    void reset_frame_state() {
        reservoir_length = 0;
        std::memset(overlap, 0, sizeof(overlap));
        for (SynthesisState& s : synthesis) s = SynthesisState();
    }
};

struct Aux {
    int32_t first_word = -1;
};

}  // namespace

struct mpadec_instance {
    uint32_t magic;
    Decoder* decoder;
    Aux* aux;
};

namespace {

Decoder* decoder_of(mpadec_t h) {
    if (!h || h->magic != kMagic || !h->decoder || !h->aux) return nullptr;
    return h->decoder;
}

uint8_t ring_byte(const Decoder* d, uint64_t index) { return d->ring[index & (kRingBytes - 1)]; }

// 32 bits of the ring from bit position `bit`.
uint32_t peek32(const Decoder* d, uint64_t bit) {
    const uint64_t byte = bit >> 3;
    uint64_t v = 0;
    for (int i = 0; i < 5; ++i) v = v << 8 | ring_byte(d, byte + i);
    return uint32_t(v >> (8 - (bit & 7)));
}

uint64_t available_bits(const Decoder* d) { return d->write_pos * 8 - d->read_bit; }

// Copies `count` bytes from bit position `bit` of the ring.
void copy_out(const Decoder* d, uint64_t bit, uint8_t* out, int count) {
    const uint64_t byte = bit >> 3;
    const int shift = int(bit & 7);
    if (shift == 0) {
        for (int i = 0; i < count; ++i) out[i] = ring_byte(d, byte + i);
        return;
    }
    for (int i = 0; i < count; ++i)
        out[i] = uint8_t(ring_byte(d, byte + i) << shift | ring_byte(d, byte + i + 1) >> (8 - shift));
}

bool same_stream(const Decoder* d, uint32_t word) { return (word & kFixedHeaderBits) == d->fixed_bits; }

void lose_sync(Decoder* d) {
    d->synced = false;
    d->reset_frame_state();
}

// Finds the frame at the read position (synchronising first when needed); OK leaves its header in
// d->header.
uint32_t find_frame(Decoder* d) {
    if (!d->synced) {
        for (;;) {
            const uint64_t avail = available_bits(d);
            if (avail < 32) return MPADEC_NEED_SYNC_DATA;
            const uint32_t word = peek32(d, d->read_bit);
            FrameHeader h;
            if (parse_layer3_header(word, &h)) {
                const uint64_t frame_bits = uint64_t(h.frame_bytes) * 8;
                if (avail < frame_bits + 32) return MPADEC_NEED_SYNC_DATA;  // resumes here after a feed
                const uint32_t next = peek32(d, d->read_bit + frame_bits);
                if ((next & kFixedHeaderBits) == (word & kFixedHeaderBits)) {
                    d->synced = true;
                    d->fixed_bits = word & kFixedHeaderBits;
                    d->header = h;
                    return MPADEC_OK;
                }
            }
            ++d->read_bit;  // a header need not start on a byte boundary
        }
    }
    const uint64_t avail = available_bits(d);
    if (avail < 32) return MPADEC_NEED_DATA;
    const uint32_t word = peek32(d, d->read_bit);
    FrameHeader h;
    if (!parse_layer3_header(word, &h) || !same_stream(d, word)) {
        lose_sync(d);
        return MPADEC_SYNC_LOST;
    }
    const uint64_t frame_bits = uint64_t(h.frame_bytes) * 8;
    if (avail < frame_bits) return MPADEC_NEED_DATA;
    if (avail >= frame_bits + 32 && !same_stream(d, peek32(d, d->read_bit + frame_bits))) {
        lose_sync(d);
        return MPADEC_SYNC_LOST;
    }
    d->header = h;
    return MPADEC_OK;
}

// What the hook option calls for every block it synthesises: nothing.
void synthesis_hook() {}

int output_bytes(const Decoder* d, const FrameHeader& h) {
    const int channels = d->mono ? 1 : h.channels;
    return (h.samples >> d->downsample) * channels * (d->eight_bit ? 1 : 2);
}

// Adds the frame's main data to the reservoir; returns the bit position decoding starts at, or -1
// when the reservoir does not reach back main_data_begin bytes.
int64_t fill_reservoir(Decoder* d, const uint8_t* main_data, int length) {
    if (length < 0) length = 0;
    if (d->reservoir_length + length > kReservoirBytes) {
        const int drop = d->reservoir_length + length - kReservoirBytes;
        std::memmove(d->reservoir, d->reservoir + drop, size_t(d->reservoir_length - drop));
        d->reservoir_length -= drop;
    }
    const int held = d->reservoir_length;
    std::memcpy(d->reservoir + held, main_data, size_t(length));
    d->reservoir_length += length;
    if (held < d->side.main_data_begin) return -1;
    return int64_t(held - d->side.main_data_begin) * 8;
}

void decode_granules(Decoder* d, int64_t start_bit, int16_t* pcm) {
    const FrameHeader& h = d->header;
    StreamParams p;
    p.version = h.version;
    p.sampling_index = h.sampling_index;
    p.channels = h.channels;
    p.mode = h.mode;
    p.mode_extension = h.mode_extension;
    p.edges = &kBandEdges[h.version][h.sampling_index];
    p.eight_khz = h.version == 2 && h.sampling_index == 2;

    const int out_channels = d->mono ? 1 : h.channels;
    const int slot_samples = 18 * (32 >> d->downsample);
    BitReader reader(d->reservoir, start_bit);
    const int64_t data_end = int64_t(d->reservoir_length) * 8;
    const bool intensity = h.mode == 1 && (h.mode_extension & 1);

    for (int gr = 0; gr < d->side.granules; ++gr) {
        for (int ch = 0; ch < h.channels; ++ch) {
            const GranuleInfo& g = d->side.gr[gr][ch];
            int64_t end = reader.position() + g.part2_3_length;
            if (end > data_end) end = data_end;
            const ChannelSpectrum* previous = gr == 1 ? &d->spectrum[0][ch] : nullptr;
            decode_channel(p, g, d->side, gr, ch, h.version != 0 && ch == 1 && intensity, reader, end,
                           &d->spectrum[gr][ch], previous);
            reader.set_position(end);
        }
        ChannelSpectrum* left = &d->spectrum[gr][0];
        if (h.channels == 2)
            stereo_process(p, d->side.gr[gr][0], d->side.gr[gr][1], d->mono, left, &d->spectrum[gr][1]);
        for (int ch = 0; ch < out_channels; ++ch) {
            hybrid(p, d->side.gr[gr][ch], d->downsample, &d->spectrum[gr][ch], d->overlap[ch], d->subbands);
            if (d->hook) synthesis_hook();
            synthesize(&d->synthesis[ch], d->downsample, d->subbands, pcm + gr * slot_samples * out_channels + ch,
                       out_channels);
        }
    }
}

void fill_info(Decoder* d, bool crc_cleared, bool silence) {
    const FrameHeader& h = d->header;
    MpaFrameInfo& i = d->info;
    i.layer = h.layer;
    i.version = h.version;
    i.bitrate = h.bitrate;
    i.bitrate_index = h.bitrate_index;
    i.channels = h.channels;
    i.sample_rate = h.sample_rate;
    i.output_channels = d->mono ? 1 : h.channels;
    i.output_rate = h.sample_rate >> d->downsample;
    i.output_bits = d->eight_bit ? 8 : 16;
    i.frame_bits = h.frame_bytes * 8;
    i.duration_ms = float(h.samples) * 1000.0f / float(h.sample_rate);
    i.crc_cleared = crc_cleared;
    i.silence = silence;
}

}  // namespace

uint32_t mpadec_create(mpadec_t* handle, int downsample, int eight_bit, int mono, int hook) {
    if (!handle) return MPADEC_BAD_ARGUMENT;
    *handle = nullptr;
    if (downsample < 0 || downsample > 2) return MPADEC_BAD_ARGUMENT;
    mpadec_instance* h = new (std::nothrow) mpadec_instance{kMagic, nullptr, nullptr};
    if (!h) return MPADEC_NO_MEMORY;
    h->decoder = new (std::nothrow) Decoder();
    h->aux = new (std::nothrow) Aux();
    if (!h->decoder || !h->aux) {
        delete h->decoder;
        delete h->aux;
        delete h;
        return MPADEC_NO_MEMORY;
    }
    Decoder* d = h->decoder;
    d->downsample = downsample;
    d->eight_bit = eight_bit != 0;
    d->mono = mono != 0;
    d->hook = hook != 0;
    d->reset_frame_state();
    std::memset(d->reservoir, 0, sizeof(d->reservoir));
    std::memset(d->frame, 0, sizeof(d->frame));
    std::memset(&d->info, 0, sizeof(d->info));
    *handle = h;
    return MPADEC_OK;
}

uint32_t mpadec_destroy(mpadec_t handle) {
    if (!decoder_of(handle)) return MPADEC_BAD_HANDLE;
    handle->magic = 0;
    delete handle->decoder;
    delete handle->aux;
    delete handle;
    return MPADEC_OK;
}

uint32_t mpadec_feed(mpadec_t handle, const uint8_t* bytes, uint32_t length, uint32_t* taken) {
    Decoder* d = decoder_of(handle);
    if (!d) return MPADEC_BAD_HANDLE;
    if (!taken || (!bytes && length > 0)) return MPADEC_BAD_ARGUMENT;
    *taken = 0;
    if (length == 0) {
        d->ended = true;
        return MPADEC_OK;
    }
    d->ended = false;
    const uint64_t held = d->write_pos - (d->read_bit >> 3);
    const uint32_t room = uint32_t(kRingBytes - held);
    const uint32_t count = length < room ? length : room;
    for (uint32_t i = 0; i < count; ++i) d->ring[(d->write_pos + i) & (kRingBytes - 1)] = bytes[i];
    d->write_pos += count;
    *taken = count;
    return MPADEC_OK;
}

uint32_t mpadec_decode(mpadec_t handle, uint8_t* out, uint32_t size, uint32_t* written) {
    Decoder* d = decoder_of(handle);
    if (!d) return MPADEC_BAD_HANDLE;
    if (!written || !out) return MPADEC_BAD_ARGUMENT;
    *written = 0;

    uint32_t status = find_frame(d);
    if (status != MPADEC_OK) {
        if (d->ended && (status == MPADEC_NEED_SYNC_DATA || status == MPADEC_NEED_DATA)) status = MPADEC_END;
        return status;
    }
    const FrameHeader h = d->header;
    const int bytes = output_bytes(d, h);
    if (uint32_t(bytes) > size) return MPADEC_OUTPUT_TOO_SMALL;

    copy_out(d, d->read_bit, d->frame, h.frame_bytes);
    d->read_bit += uint64_t(h.frame_bytes) * 8;

    read_side_info(h, d->frame, &d->side);
    const int main_start = 4 + (h.protection ? 2 : 0) + d->side.bytes;
    const int64_t start_bit = fill_reservoir(d, d->frame + main_start, h.frame_bytes - main_start);

    // 16-bit samples are produced in place; 8-bit output is narrowed afterwards.
    int16_t pcm[1152 * 2];
    const int samples = bytes / (d->eight_bit ? 1 : 2);
    if (start_bit < 0) {
        std::memset(pcm, 0, sizeof(int16_t) * size_t(samples));
    } else {
        decode_granules(d, start_bit, pcm);
    }
    if (d->eight_bit) {
        for (int i = 0; i < samples; ++i) out[i] = uint8_t((pcm[i] >> 8) + 128);
    } else {
        std::memcpy(out, pcm, size_t(bytes));
    }
    *written = uint32_t(bytes);
    fill_info(d, d->side.crc_failed, start_bit < 0);
    if (d->side.crc_failed) return MPADEC_CRC_CLEARED;
    if (start_bit < 0) return MPADEC_SILENCE;
    return MPADEC_OK;
}

uint32_t mpadec_get_info(mpadec_t handle, MpaFrameInfo* info) {
    Decoder* d = decoder_of(handle);
    if (!d) return MPADEC_BAD_HANDLE;
    if (!info) return MPADEC_BAD_ARGUMENT;
    *info = d->info;
    return MPADEC_OK;
}
