// One pass over an FLV file's tags, as the probe needs it: the video codec and the first pictures'
// bytes (from which the decoders give the picture size), the AVC parameter sets and the AAC
// configuration (the index file's two blocks), the first audio tag's format, counts and times, and one
// index entry per video tag. Every length read from the file is checked against the bytes there.
#pragma once
#include <cstdint>
#include <vector>
#include "media/probe/byte_source.h"
#include "media/records/index_entry.h"

// Video tags indexed at most; later ones are counted but not indexed.
constexpr int kFlvMaxIndexed = 180000;
// A video tag's data kept for the decoders (the first tag, and for H.264 the second) is at most this.
constexpr int64_t kFlvKeptTagLimit = 16 << 20;
// An AVC sequence header is looked at only up to this size.
constexpr int64_t kFlvAvcHeaderLimit = 64 << 10;
// A parameter-set block (the index file's L1 or L2) is kept only up to this size.
constexpr int kFlvBlockLimit = 512;

constexpr int kFlvSorenson = 2;
constexpr int kFlvScreenVideo = 3;
constexpr int kFlvVp6 = 4;
constexpr int kFlvAvc = 7;
constexpr int kFlvPcmPlusOne = 1;    // sound format 0 (raw PCM, the platform's byte order) + 1
constexpr int kFlvPcmLePlusOne = 4;  // sound format 3 (little-endian PCM) + 1
constexpr int kFlvAacPlusOne = 11;  // sound format 10 (AAC) + 1

struct FlvScan {
    bool is_flv = false;  // "FLV" and version 1

    // Video.
    int video_codec = 0;   // low 4 bits of the first video tag's header byte; 0 without video tags
    int video_tags = 0;    // every video tag
    int picture_tags = 0;  // video tags carrying a picture (no AVC sequence header or end, no command)
    int64_t first_picture_ms = -1, last_picture_ms = -1;
    // The first video tag's data after its header byte, when it has more than 16 data bytes (else empty).
    std::vector<uint8_t> first_video;
    bool avc_sequence_header = false;  // the first video tag is an AVC sequence header (> 16 data bytes)
    // Block 1: the first sequence and picture parameter sets, each behind 00 00 00 01 (empty when the
    // header has none, a length is wrong or they exceed kFlvBlockLimit).
    std::vector<uint8_t> avc_parameter_sets;
    // H.264: the second video tag's NAL units behind start codes.
    std::vector<uint8_t> second_picture;

    // Sound: the first audio tag with data.
    int audio_tags = 0;     // every audio tag
    int sound_plus_one = 0; // sound format + 1, 0 without sound
    int sample_rate = 0;    // 5500, 11025, 22050 or 44100
    int channels = 0;       // 1 or 2
    int audio_bits = 0;     // 8 or 16
    // Block 2: the AAC AudioSpecificConfig of a first audio tag that is an AAC sequence header.
    std::vector<uint8_t> aac_config;

    int64_t last_time_ms = 0;  // of the last audio or video tag
    std::vector<IndexEntry> entries;

    // Pictures a second over the span from the first picture to the last; 0 with fewer than two or no span.
    double frame_rate() const;
};

FlvScan scan_flv(ByteSource& source);

// The first SPS and PPS of an AVC sequence header tag's data (after the video header byte: packet type,
// composition time, AVCDecoderConfigurationRecord) as block 1; false (block empty) when they cannot be
// taken whole or the block would exceed kFlvBlockLimit.
bool flv_avc_parameter_sets(const uint8_t* data, size_t size, std::vector<uint8_t>* block);
// NAL units behind 4-byte big-endian lengths turned into units behind 00 00 00 01; conversion stops at
// the first length of 0 or past the bytes there. Returns false when it stopped early.
bool flv_nal_units_to_annex_b(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
