// Stored layouts: every field sits at the offset and with the width the saved files use, and a value
// written through the field lands little-endian at that offset.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "media/records/index_entry.h"
#include "media/records/index_file.h"
#include "media/records/media_file_record.h"

namespace {

struct FieldAt {
    const char* name;
    size_t offset;  // as stored
    size_t width;
    size_t actual_offset;
    size_t actual_width;
};

#define RECORD_FIELD(field, off, width) \
    FieldAt { #field, off, width, offsetof(MediaFileRecord, field), sizeof(MediaFileRecord::field) }
#define ENTRY_FIELD(field, off, width) \
    FieldAt { #field, off, width, offsetof(IndexEntry, field), sizeof(IndexEntry::field) }

const std::vector<FieldAt> kRecordFields = {
    RECORD_FIELD(running_number, 0, 4),     RECORD_FIELD(path, 4, 512),
    RECORD_FIELD(index_written, 516, 1),    RECORD_FIELD(index_path, 517, 512),
    RECORD_FIELD(index_reserved, 1029, 1),  RECORD_FIELD(seek_mode, 1030, 1),
    RECORD_FIELD(range_start, 1032, 4),     RECORD_FIELD(range_end, 1036, 4),
    RECORD_FIELD(segment_count, 1040, 4),   RECORD_FIELD(index_codec, 1044, 4),
    RECORD_FIELD(index_audio, 1048, 4),     RECORD_FIELD(audio_bits, 1084, 4),
    RECORD_FIELD(rate_sum, 1088, 4),        RECORD_FIELD(sample_rate, 1096, 8),
    RECORD_FIELD(audio_format, 1104, 4),    RECORD_FIELD(frame_count, 1108, 4),
    RECORD_FIELD(file_size, 1112, 4),       RECORD_FIELD(duration_s, 1116, 4),
    RECORD_FIELD(start_value, 1120, 4),     RECORD_FIELD(file_kind, 1124, 4),
    RECORD_FIELD(channels, 1128, 4),        RECORD_FIELD(video_index_count, 1132, 4),
    RECORD_FIELD(audio_index_count, 1136, 4), RECORD_FIELD(video_info, 1144, 80),
    RECORD_FIELD(audio_info, 1224, 64),     RECORD_FIELD(type_name, 1288, 32),
    RECORD_FIELD(width, 1320, 4),           RECORD_FIELD(height, 1324, 4),
    RECORD_FIELD(video_param_a, 1328, 4),   RECORD_FIELD(frame_rate, 1336, 8),
    RECORD_FIELD(video_param_b, 1344, 4),   RECORD_FIELD(video_param_c, 1348, 4),
    RECORD_FIELD(file_kind_copy, 1356, 4),  RECORD_FIELD(segments, 1360, 4),
    RECORD_FIELD(param_len1, 1364, 4),      RECORD_FIELD(param_len2, 1368, 4),
    RECORD_FIELD(param_block1, 1372, 512),  RECORD_FIELD(param_block2, 1884, 512),
};

const std::vector<FieldAt> kEntryFields = {
    ENTRY_FIELD(is_key, 0, 1),     ENTRY_FIELD(position, 4, 4), ENTRY_FIELD(length, 8, 4),
    ENTRY_FIELD(time_ms, 12, 4),   ENTRY_FIELD(aux_w, 16, 2),   ENTRY_FIELD(aux_h, 18, 2),
    ENTRY_FIELD(data_size, 20, 4), ENTRY_FIELD(data_ptr, 24, 4),
};

template <typename T>
T read_at(const void* base, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(base) + offset, sizeof value);
    return value;
}

}  // namespace

TEST(RecordLayout, EveryFieldAtItsStoredOffset) {
    EXPECT_EQ(sizeof(MediaFileRecord), 2400u);
    for (const FieldAt& f : kRecordFields) {
        EXPECT_EQ(f.actual_offset, f.offset) << f.name;
        EXPECT_EQ(f.actual_width, f.width) << f.name;
    }
    EXPECT_EQ(sizeof(IndexEntry), 28u);
    for (const FieldAt& f : kEntryFields) {
        EXPECT_EQ(f.actual_offset, f.offset) << f.name;
        EXPECT_EQ(f.actual_width, f.width) << f.name;
    }
    EXPECT_EQ(sizeof(IndexFileHeader), 24u);
}

TEST(RecordLayout, ValuesLandLittleEndianAtTheirOffsets) {
    MediaFileRecord r{};
    r.file_kind = 0x01020304;
    r.frame_rate = 29.97;
    r.video_info.width = 720;
    r.video_info.frame_rate = 25.0;
    std::memcpy(r.video_info.fourcc, "XVID", 4);
    r.audio_info.channels = 2;
    r.audio_info.sample_rate = 44100;
    std::strcpy(r.type_name, "MP4");
    EXPECT_EQ(read_at<uint8_t>(&r, 1124), 0x04);
    EXPECT_EQ(read_at<uint8_t>(&r, 1127), 0x01);
    EXPECT_EQ(read_at<double>(&r, 1336), 29.97);
    EXPECT_EQ(read_at<int32_t>(&r, 1184), 720);
    EXPECT_EQ(read_at<double>(&r, 1192), 25.0);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&r) + 1200, "XVID", 4), 0);
    EXPECT_EQ(read_at<int32_t>(&r, 1276), 2);
    EXPECT_EQ(read_at<int32_t>(&r, 1280), 44100);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t*>(&r) + 1288, "MP4", 4), 0);

    IndexEntry e{};
    e.is_key = 1;
    e.position = -2;
    e.aux_h = 0x1234;
    e.data_size = 77;
    EXPECT_EQ(read_at<uint8_t>(&e, 0), 1);
    EXPECT_EQ(read_at<int32_t>(&e, 4), -2);
    EXPECT_EQ(read_at<uint8_t>(&e, 18), 0x34);
    EXPECT_EQ(read_at<int32_t>(&e, 20), 77);
}
