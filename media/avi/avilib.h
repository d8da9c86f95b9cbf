// RIFF AVI writer and reader with a C-style interface: one context per open file and one
// program-wide error code. The writer reserves a fixed 2048-byte header area at the start of the file
// and fills it in when the file is closed; the reader validates a file and builds its chunk tables.
#pragma once
#include <cstddef>
#include <cstdint>
#include "base/fileio.h"

// Codes left in AVI_errno by the last failing call.
enum AviError {
    AVI_ERR_SIZELIMIT = 1,   // file size limit reached
    AVI_ERR_OPEN = 2,        // the file cannot be opened
    AVI_ERR_READ = 3,        // error reading from the file
    AVI_ERR_WRITE = 4,       // error writing to the file
    AVI_ERR_WRITE_INDEX = 5, // error writing the index (the file may still be usable)
    AVI_ERR_CLOSE = 6,       // error writing the header area or setting the final file size
    AVI_ERR_NOT_PERM = 7,    // operation not permitted (writing to a file opened for reading)
    AVI_ERR_NO_MEM = 8,      // out of memory
    AVI_ERR_NO_AVI = 9,      // not a RIFF AVI file
    AVI_ERR_NO_HDRL = 10,    // no header list
    AVI_ERR_NO_MOVI = 11,    // no movi list
    AVI_ERR_NO_VIDS = 12,    // no video data
    AVI_ERR_BAD_CHUNK = 13,  // a length or offset in the file points outside the bytes there
    AVI_ERR_OPENDML = 14,    // OpenDML extensions (a "RIFF AVIX" after the first RIFF): not read
};

extern int AVI_errno;

#pragma pack(push, 1)
// One "idx1" entry as stored in the file.
struct AviIndexEntry {
    char id[4];
    uint32_t flags;   // 0x10: key frame
    uint32_t offset;  // chunk header position (absolute in our files)
    uint32_t length;  // data length, unpadded
};
// Reader: one video chunk.
struct AviVideoEntry {
    uint32_t flags;
    uint32_t pos;     // absolute position of the chunk's data
    uint32_t length;
};
// Reader: one audio chunk.
struct AviAudioEntry {
    uint32_t pos;     // absolute position of the chunk's data
    uint32_t length;
    uint32_t total_before;  // audio bytes in all earlier chunks
};
#pragma pack(pop)
static_assert(sizeof(AviIndexEntry) == 16, "idx1 entry is 16 bytes");
static_assert(offsetof(AviIndexEntry, flags) == 4 && offsetof(AviIndexEntry, offset) == 8 &&
              offsetof(AviIndexEntry, length) == 12, "idx1 entry layout");
static_assert(sizeof(AviVideoEntry) == 12 && sizeof(AviAudioEntry) == 12, "reader entries are 12 bytes");

constexpr uint32_t AVI_KEYFRAME = 0x10;
constexpr int AVI_HEADER_AREA = 2048;

struct AviFile {
    fileio::File file;
    int mode = 0;  // 0 writing, 1 reading
    int width = 0;
    int height = 0;
    double fps = 0;
    char compressor[8] = {};
    int video_stream_no = 0;
    int frame_count = 0;
    char video_chunk_id[4] = {};
    int next_frame = 0;
    int audio_format_tag = 0;
    int audio_channels = 0;
    int audio_rate = 0;
    int audio_bits = 0;
    int audio_byte_rate = 0;
    int audio_block_align = 0;
    int audio_stream_no = 0;
    int64_t audio_byte_count = 0;
    int audio_chunk_count = 0;
    char audio_chunk_id[4] = {};
    int audio_read_chunk = 0;
    int audio_read_byte = 0;
    int64_t file_pos = 0;
    int index_used = 0;
    int index_capacity = 0;
    AviIndexEntry* index_entries = nullptr;
    AviVideoEntry* video_entries = nullptr;
    AviAudioEntry* audio_entries = nullptr;
    int64_t last_frame_pos = 0;
    int last_frame_len = 0;
    int force_index_flag = 0;
    int64_t movi_data_pos = 0;
    uint32_t video_rate = 0;   // exact picture rate rate/scale when set (AVI_set_video_rate), else from fps
    uint32_t video_scale = 0;
    int audio_vbr_frame_samples = 0;  // variable-rate sound: samples a chunk (AVI_set_audio_vbr), else 0
    // Reader: the sound stream's header timing. A chunk lasts audio_scale / audio_stream_rate seconds
    // when audio_sample_size is 0 (sound timed by chunks); else audio_sample_size bytes make one
    // audio_scale / audio_stream_rate step. 0 where the header does not say.
    uint32_t audio_scale = 0;
    uint32_t audio_stream_rate = 0;
    uint32_t audio_sample_size = 0;
};

// Reader: where in time the sound chunk `index` starts, in seconds from the stream's start, by the
// sound header's timing (by chunks or by bytes, else by the format's byte rate); -1 when the file
// does not tell.
double AVI_audio_chunk_time(const AviFile* avi, int index);

// Writer. The path is created new: an existing file of that name is left alone and the open fails
// (AVI_ERR_OPEN); callers pick a free name.
AviFile* AVI_open_output_file(const char* path);
void AVI_set_video(AviFile* avi, int width, int height, double fps, const char* compressor);
void AVI_set_audio(AviFile* avi, int channels, int rate, int bits, int format, int kbps);
// The picture rate as the exact fraction rate/scale frames a second (30000/1001 for NTSC), in place of
// the fps given to AVI_set_video; 0 in either leaves the fps.
void AVI_set_video_rate(AviFile* avi, uint32_t rate, uint32_t scale);
// Sound whose chunks each hold one frame of samples_per_frame samples of a variable-rate codec (MP3 at
// variable or average rate): the stream is timed by chunks, as players read such sound (sample size 0,
// scale = samples a frame, rate = sampling rate, block align = samples a frame). 0 goes back to timing
// by bytes.
void AVI_set_audio_vbr(AviFile* avi, int samples_per_frame);
// keyframe 0 marks a picture that needs earlier pictures to decode; it is then not flagged as key
// in the index, so players seek only to pictures that decode on their own.
int AVI_write_frame(AviFile* avi, const void* data, int length, int keyframe = 1);
int AVI_write_audio(AviFile* avi, const void* data, int length);
// Finishes a written file (index and header area, the file cut after the last chunk), closes and frees
// the context in any case.
int AVI_close(AviFile* avi);

// Reader: with read_index nonzero also builds video_entries and audio_entries.
AviFile* AVI_open_input_file(const char* path, int read_index);
