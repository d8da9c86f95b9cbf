// One interface for the three sound encoders of the outputs: AMR-NB (3GP), AAC (MP4), MP3 (AVI). Each
// sets itself up from the settings, takes whole blocks of interleaved 16-bit PCM at the output format
// and hands what it codes to the output writer.
#pragma once
#include <cstdint>
#include <vector>

class OutputWriter;

// The sound format an encoder fixes: the output rate, channels and, for mono output from a stereo
// source, which channel is kept (0 mix, 1 left, 2 right).
struct SoundFormat {
    int rate = 0;
    int channels = 0;
    int channel_mode = 0;
};

// What the writer needs to make the sound track or stream.
struct SoundTrack {
    int mp4_codec = 0;            // mp4en_addaudio: 1 AMR-NB, 2 AAC
    int frame_samples = 0;        // samples of one encoder call over all channels (AAC)
    std::vector<uint8_t> config;  // AAC decoder configuration
    int start_delay = 0;          // samples a channel the encoder puts in front of the sound
    int avi_format = 0x55;        // AVI: format tag, header rate in kbit/s, samples a frame for
    int avi_kbps = 0;             // variable-rate MP3 (0: constant rate)
    int avi_vbr_frame_samples = 0;
};

class SoundEncoder {
public:
    virtual ~SoundEncoder() = default;
    // Sets the encoder up from the settings. The first set-up of a run fixes the format (returned in
    // *format); a later one (again) keeps the format it is given. False when the encoder refuses.
    virtual bool set_up(bool again, SoundFormat* format) = 0;
    // Bytes of one encoder call, and the smallest whole unit a tail is padded to.
    virtual int block_bytes() const = 0;
    virtual int frame_bytes() const { return block_bytes(); }
    // Codes `bytes` (a multiple of frame_bytes(), at most block_bytes()) and writes the result;
    // time_ms is the time the sound path gives the block.
    virtual void encode(const uint8_t* pcm, int bytes, unsigned time_ms, OutputWriter& writer) = 0;
    // Writes what the encoder still holds (the end of an output).
    virtual void finish(OutputWriter& writer) = 0;
    virtual void close() = 0;
    virtual const SoundTrack& track() const = 0;
};
