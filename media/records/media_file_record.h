// The stored description of one input file: filled by the probe, kept in the file table and saved
// whole in "mpgmp4info.dat", so every field offset is part of the file format.
#pragma once
#include <cstddef>
#include <cstdint>
#include "file_kind.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "stored records are little-endian");

#pragma pack(push, 1)

// Video description block of MPEG-4 video in AVI as the stream parser fills it (its export header
// names the same bytes Mpeg4VideoInfo); only the named fields are read by the program, the rest
// belongs to the parser.
struct RecordVideoInfo {
    uint8_t parser_head[40];
    int32_t width;
    int32_t height;
    double frame_rate;
    char fourcc[4];
    uint8_t parser_tail[20];
};

// Audio description block filled by the stream parser.
struct RecordAudioInfo {
    uint8_t parser_head[52];
    int32_t channels;
    int32_t sample_rate;
    uint8_t parser_tail[4];
};

constexpr int kRecordPathSize = 512;
constexpr int kParamBlockSize = 512;

struct MediaFileRecord {
    int32_t running_number;
    char path[kRecordPathSize];
    uint8_t index_written;
    char index_path[kRecordPathSize];
    uint8_t index_reserved;
    uint8_t seek_mode;
    uint8_t reserved_1031;
    int32_t range_start;
    int32_t range_end;
    int32_t segment_count;
    int32_t index_codec;
    int32_t index_audio;
    uint8_t reserved_1052[32];
    int32_t audio_bits;
    int32_t rate_sum;
    uint8_t reserved_1092[4];
    double sample_rate;
    int32_t audio_format;
    int32_t frame_count;
    int32_t file_size;
    int32_t duration_s;
    int32_t start_value;
    FileKind file_kind;
    int32_t channels;
    int32_t video_index_count;
    int32_t audio_index_count;
    uint8_t reserved_1140[4];
    RecordVideoInfo video_info;
    RecordAudioInfo audio_info;
    char type_name[32];
    int32_t width;
    int32_t height;
    int32_t video_param_a;
    uint8_t reserved_1332[4];
    double frame_rate;
    int32_t video_param_b;
    int32_t video_param_c;
    uint8_t reserved_1352[4];
    FileKind file_kind_copy;
    // A 32-bit pointer in the original layout; the loaded list lives in MediaFile::segments and this
    // slot is always stored as 0.
    uint32_t segments;
    int32_t param_len1;
    int32_t param_len2;
    uint8_t param_block1[kParamBlockSize];
    uint8_t param_block2[kParamBlockSize];
    uint8_t reserved_2396[4];
};

#pragma pack(pop)

static_assert(sizeof(RecordVideoInfo) == 80 && offsetof(RecordVideoInfo, width) == 40 &&
              offsetof(RecordVideoInfo, height) == 44 && offsetof(RecordVideoInfo, frame_rate) == 48 &&
              offsetof(RecordVideoInfo, fourcc) == 56);
static_assert(sizeof(RecordAudioInfo) == 64 && offsetof(RecordAudioInfo, channels) == 52 &&
              offsetof(RecordAudioInfo, sample_rate) == 56);

static_assert(sizeof(MediaFileRecord) == 2400);
static_assert(offsetof(MediaFileRecord, running_number) == 0);
static_assert(offsetof(MediaFileRecord, path) == 4);
static_assert(offsetof(MediaFileRecord, index_written) == 516);
static_assert(offsetof(MediaFileRecord, index_path) == 517);
static_assert(offsetof(MediaFileRecord, index_reserved) == 1029);
static_assert(offsetof(MediaFileRecord, seek_mode) == 1030);
static_assert(offsetof(MediaFileRecord, range_start) == 1032);
static_assert(offsetof(MediaFileRecord, range_end) == 1036);
static_assert(offsetof(MediaFileRecord, segment_count) == 1040);
static_assert(offsetof(MediaFileRecord, index_codec) == 1044);
static_assert(offsetof(MediaFileRecord, index_audio) == 1048);
static_assert(offsetof(MediaFileRecord, audio_bits) == 1084);
static_assert(offsetof(MediaFileRecord, rate_sum) == 1088);
static_assert(offsetof(MediaFileRecord, sample_rate) == 1096);
static_assert(offsetof(MediaFileRecord, audio_format) == 1104);
static_assert(offsetof(MediaFileRecord, frame_count) == 1108);
static_assert(offsetof(MediaFileRecord, file_size) == 1112);
static_assert(offsetof(MediaFileRecord, duration_s) == 1116);
static_assert(offsetof(MediaFileRecord, start_value) == 1120);
static_assert(offsetof(MediaFileRecord, file_kind) == 1124);
static_assert(offsetof(MediaFileRecord, channels) == 1128);
static_assert(offsetof(MediaFileRecord, video_index_count) == 1132);
static_assert(offsetof(MediaFileRecord, audio_index_count) == 1136);
static_assert(offsetof(MediaFileRecord, video_info) == 1144);
static_assert(offsetof(MediaFileRecord, video_info) + offsetof(RecordVideoInfo, width) == 1184);
static_assert(offsetof(MediaFileRecord, video_info) + offsetof(RecordVideoInfo, fourcc) == 1200);
static_assert(offsetof(MediaFileRecord, audio_info) == 1224);
static_assert(offsetof(MediaFileRecord, audio_info) + offsetof(RecordAudioInfo, channels) == 1276);
static_assert(offsetof(MediaFileRecord, audio_info) + offsetof(RecordAudioInfo, sample_rate) == 1280);
static_assert(offsetof(MediaFileRecord, type_name) == 1288);
static_assert(offsetof(MediaFileRecord, width) == 1320);
static_assert(offsetof(MediaFileRecord, height) == 1324);
static_assert(offsetof(MediaFileRecord, video_param_a) == 1328);
static_assert(offsetof(MediaFileRecord, frame_rate) == 1336);
static_assert(offsetof(MediaFileRecord, video_param_b) == 1344);
static_assert(offsetof(MediaFileRecord, video_param_c) == 1348);
static_assert(offsetof(MediaFileRecord, file_kind_copy) == 1356);
static_assert(offsetof(MediaFileRecord, segments) == 1360);
static_assert(offsetof(MediaFileRecord, param_len1) == 1364);
static_assert(offsetof(MediaFileRecord, param_len2) == 1368);
static_assert(offsetof(MediaFileRecord, param_block1) == 1372);
static_assert(offsetof(MediaFileRecord, param_block2) == 1884);
