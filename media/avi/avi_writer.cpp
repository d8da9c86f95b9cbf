// Writing: chunks go out in the order given, the index is kept in memory and the header area
// is built when the file is finished.
#include <cstdlib>
#include <cstring>
#include <new>
#include "avi_bytes.h"
#include "avilib.h"

int AVI_errno = 0;

namespace {

constexpr int64_t kSizeLimit = 2000000000;
constexpr int kIndexGrowth = 4096;

int fail(int code) {
    AVI_errno = code;
    return -1;
}

bool writable(AviFile* avi) {
    if (!avi) return fail(AVI_ERR_WRITE), false;
    if (avi->mode != 0) return fail(AVI_ERR_NOT_PERM), false;
    return true;
}

bool reserve_index_entry(AviFile* avi) {
    if (avi->index_used < avi->index_capacity) return true;
    size_t capacity = size_t(avi->index_capacity) + kIndexGrowth;
    void* grown = std::realloc(avi->index_entries, capacity * sizeof(AviIndexEntry));
    if (!grown) return false;
    avi->index_entries = static_cast<AviIndexEntry*>(grown);
    avi->index_capacity = int(capacity);
    return true;
}

// Writes id, length, data and the pad byte at file_pos. A short write leaves the file position
// at the start of the chunk, so the next chunk overwrites the broken one.
bool write_chunk(AviFile* avi, const char* id, const void* data, uint32_t length) {
    uint8_t head[8];
    avi_bytes::Writer(head).code(id).u32(length);
    static const uint8_t pad = 0;
    bool ok = avi->file.write_all(head, 8) && avi->file.write_all(data, length) &&
              ((length & 1) == 0 || avi->file.write_all(&pad, 1));
    if (!ok) {
        avi->file.seek(avi->file_pos);
        return false;
    }
    avi->file_pos += 8 + length + (length & 1);
    return true;
}

// One data chunk with its index entry; the entry is added only once the chunk is in the file.
int write_data_chunk(AviFile* avi, const char* id, uint32_t flags, const void* data, int length) {
    if (length < 0 || (length > 0 && !data)) return fail(AVI_ERR_WRITE);
    if (avi->file_pos + (int64_t(avi->index_used) + 2) * 16 + length > kSizeLimit) return fail(AVI_ERR_SIZELIMIT);
    if (!reserve_index_entry(avi)) return fail(AVI_ERR_NO_MEM);
    int64_t at = avi->file_pos;
    if (!write_chunk(avi, id, data, uint32_t(length))) return fail(AVI_ERR_WRITE);
    AviIndexEntry& e = avi->index_entries[avi->index_used++];
    std::memcpy(e.id, id, 4);
    e.flags = flags;
    e.offset = uint32_t(at);
    e.length = uint32_t(length);
    return 0;
}

bool audio_list_written(const AviFile* avi) { return avi->audio_channels != 0 && avi->audio_byte_count != 0; }

uint32_t microseconds_per_frame(double fps) {
    return !(fps >= 0.001) ? 0 : uint32_t(int(1000000 / fps + 0.5));
}

// The video stream's scale and rate: the exact fraction when one was given, else microseconds a
// picture over a million.
void video_timing(const AviFile* avi, uint32_t* usec, uint32_t* scale, uint32_t* rate) {
    if (avi->video_rate && avi->video_scale) {
        *scale = avi->video_scale;
        *rate = avi->video_rate;
        *usec = uint32_t((uint64_t(avi->video_scale) * 1000000 + avi->video_rate / 2) / avi->video_rate);
        return;
    }
    *usec = microseconds_per_frame(avi->fps);
    *scale = *usec;
    *rate = 1000000;
}

// The 2048 bytes in front of the chunks: RIFF head, header list, stream lists, padding, movi head.
void build_header_area(const AviFile* avi, bool index_written, int64_t movi_end, uint8_t* area) {
    using avi_bytes::Writer;
    const bool with_audio = audio_list_written(avi);
    const uint32_t stream_lists_end = with_audio ? 328 : 220;
    uint32_t usec = 0, scale = 0, rate = 0;
    video_timing(avi, &usec, &scale, &rate);
    uint32_t flags = 0x10000;
    if (index_written) flags |= avi->force_index_flag ? 0x30 : 0x10;

    Writer w(area);
    w.code("RIFF").u32(uint32_t(avi->file_pos - 8)).code("AVI ");
    w.code("LIST").u32(stream_lists_end - 20).code("hdrl");
    w.code("avih").u32(56).u32(usec).u32(10000000).u32(0).u32(flags).u32(uint32_t(avi->frame_count)).u32(0)
        .u32(with_audio ? 2 : 1).u32(0).u32(uint32_t(avi->width)).u32(uint32_t(avi->height)).zeros(16);

    w.code("LIST").u32(124).code("strl");
    w.code("strh").u32(64).code("vids").code(avi->compressor).u32(0).u32(0).u32(0).u32(scale).u32(rate).u32(0)
        .u32(uint32_t(avi->frame_count)).u32(0).u32(0xFFFFFFFF).u32(0).zeros(16);
    w.code("strf").u32(40).u32(40).u32(uint32_t(avi->width)).u32(uint32_t(avi->height)).u16(1).u16(24)
        .code(avi->compressor).u32(uint32_t(avi->width) * uint32_t(avi->height)).zeros(16);

    if (with_audio) {
        // Constant rate: timed by bytes. Variable rate: timed by chunks of one frame each.
        const uint32_t frame = uint32_t(avi->audio_vbr_frame_samples);
        const uint32_t a_scale = frame ? frame : 1;
        const uint32_t a_rate = frame ? uint32_t(avi->audio_rate) : uint32_t(avi->audio_byte_rate);
        const uint32_t a_length = frame ? uint32_t(avi->audio_chunk_count) : uint32_t(avi->audio_byte_count);
        const uint32_t sample_size = frame ? 0 : 1;
        const uint16_t block_align = frame ? uint16_t(frame) : 1;
        w.code("LIST").u32(100).code("strl");
        w.code("strh").u32(64).code("auds").u32(0x55).u32(0).u32(0).u32(0).u32(a_scale).u32(a_rate)
            .u32(0).u32(a_length).u32(0).u32(0xFFFFFFFF).u32(sample_size).zeros(16);
        w.code("strf").u32(16).u16(uint16_t(avi->audio_format_tag)).u16(uint16_t(avi->audio_channels))
            .u32(uint32_t(avi->audio_rate)).u32(uint32_t(avi->audio_byte_rate)).u16(block_align)
            .u16(uint16_t(avi->audio_bits));
    }
    w.code("JUNK").u32(2028 - stream_lists_end).zeros(2028 - stream_lists_end);
    w.code("LIST").u32(uint32_t(movi_end - 2044)).code("movi");
}

int close_output_file(AviFile* avi) {
    const int64_t movi_end = avi->file_pos;
    const bool index_written = write_chunk(avi, "idx1", avi->index_entries, uint32_t(avi->index_used) * 16);
    if (!index_written) AVI_errno = AVI_ERR_WRITE_INDEX;

    uint8_t area[AVI_HEADER_AREA];
    build_header_area(avi, index_written, movi_end, area);
    // The file ends where the last chunk does: a failed write may have left bytes past it.
    if (!avi->file.seek(0) || !avi->file.write_all(area, sizeof area) || !avi->file.set_size(avi->file_pos))
        return fail(AVI_ERR_CLOSE);
    return index_written ? 0 : -1;
}

}  // namespace

AviFile* AVI_open_output_file(const char* path) {
    AviFile* avi = new (std::nothrow) AviFile();
    if (!avi) return fail(AVI_ERR_NO_MEM), nullptr;
    // Never over an existing file: the caller picks a free name, so a name taken meanwhile is an error.
    if (!path || !avi->file.open(path, fileio::File::Mode::CreateNew)) {
        delete avi;
        return fail(AVI_ERR_OPEN), nullptr;
    }
    static const uint8_t zeros[AVI_HEADER_AREA] = {};
    if (!avi->file.write_all(zeros, sizeof zeros)) {
        delete avi;  // closes the file, which this call created: take it away again
        fileio::remove(path);
        return fail(AVI_ERR_WRITE), nullptr;
    }
    avi->file_pos = AVI_HEADER_AREA;
    avi->mode = 0;
    return avi;
}

void AVI_set_video(AviFile* avi, int width, int height, double fps, const char* compressor) {
    if (!avi || avi->mode != 0) return;
    avi->width = width;
    avi->height = height;
    avi->fps = fps;
    std::memset(avi->compressor, 0, sizeof avi->compressor);
    if (compressor) std::memcpy(avi->compressor, compressor, 4);
}

void AVI_set_audio(AviFile* avi, int channels, int rate, int bits, int format, int kbps) {
    if (!avi || avi->mode != 0) return;
    avi->audio_channels = channels;
    avi->audio_rate = rate;
    avi->audio_bits = bits;
    avi->audio_format_tag = format;
    avi->audio_byte_rate = kbps * 1000 / 8;
}

void AVI_set_video_rate(AviFile* avi, uint32_t rate, uint32_t scale) {
    if (!avi || avi->mode != 0) return;
    avi->video_rate = rate && scale ? rate : 0;
    avi->video_scale = rate && scale ? scale : 0;
}

void AVI_set_audio_vbr(AviFile* avi, int samples_per_frame) {
    if (!avi || avi->mode != 0) return;
    avi->audio_vbr_frame_samples = samples_per_frame > 0 && samples_per_frame <= 0xFFFF ? samples_per_frame : 0;
}

int AVI_write_frame(AviFile* avi, const void* data, int length, int keyframe) {
    if (!writable(avi)) return -1;
    const int64_t at = avi->file_pos;
    if (write_data_chunk(avi, "00db", keyframe ? AVI_KEYFRAME : 0, data, length) != 0) return -1;
    avi->last_frame_pos = at;
    avi->last_frame_len = length;
    avi->frame_count++;
    return 0;
}

int AVI_write_audio(AviFile* avi, const void* data, int length) {
    if (!writable(avi)) return -1;
    if (write_data_chunk(avi, "01wb", 0, data, length) != 0) return -1;
    avi->audio_byte_count += length;
    avi->audio_chunk_count++;
    return 0;
}

int AVI_close(AviFile* avi) {
    if (!avi) return -1;
    int result = avi->mode == 0 ? close_output_file(avi) : 0;
    std::free(avi->index_entries);
    std::free(avi->video_entries);
    std::free(avi->audio_entries);
    delete avi;
    return result;
}
