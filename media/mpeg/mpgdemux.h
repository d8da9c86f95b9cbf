// MPEG program and transport stream demultiplexer: the program pushes a file through it in blocks of at
// most 4096 bytes; it decodes the video with libmpeg2 into the output's picture buffer (B,G,R) and the
// sound into the output's PCM block (MPEG audio through our layer III decoder or the outside MPEG-1
// audio library, AC-3 through the outside AC-3 library). One instance in program-wide state; one job
// uses it at a time.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include "base/media_output.h"
#include "codecs/tolmmp3dec/mp3_frame_table.h"

// How the fed bytes are read: the caller sets it after mpgdemux_init to the job's file kind.
//   0 transport stream, ids known      1, 5 program stream (transport ids cleared first)
//   2 raw MPEG video                    3 transport stream, discovery from the association table
//   4 transport stream, discovery from the map table of mpg_pmt_pid    6 program stream, ids kept
//   10 raw MPEG audio                   11 raw AC-3
extern int mpg_stream_kind;
extern int mpg_video_pid;    // transport stream: video packet id, 0 none
extern int mpg_audio_pid;    // transport stream: MPEG audio packet id, 0 none
extern int mpg_pmt_pid;      // transport stream: map table looked for, 0 none yet
extern int mpg_frame_bytes;  // size of the last picture written to the picture buffer (stride x height)
extern int mpg_frame_flags;  // libmpeg2's flags of the last displayed picture (coding type in the low bits)
extern int mpg_video_bytes;  // bytes handed to libmpeg2 so far
extern bool mpg_seq_seen;    // a sequence header has been seen in the video
extern bool mpg_es_dump;     // write the video elementary stream to the dump file (off by default)

// What the demultiplexer calls outside itself. The caller binds the outside libraries, calls their
// initialisation (mp3_init, ac3buf_init) and fills these; unset entries mean the sound of that kind is
// dropped. `busy` is read as a stop request (0 = stop); null never stops.
struct MpegDemuxLinks {
    std::function<int(const uint8_t* first_frame)> mp3_open;
    std::function<int(const Mp3FrameRecord* table, int count, uint8_t* pcm, int capacity)> mp3_play;
    std::function<int(const uint8_t* frame, int length, uint8_t* out, int capacity, int* out_length)> ac3_readdata;
    const std::atomic<uint8_t>* busy = nullptr;
};

// Where decoded pictures and sound go (kept by pointer until replaced) and what is called outside.
void mpgdemux_set_output(MediaOutput* output);
void mpgdemux_set_links(const MpegDemuxLinks& links);
// Opens (path) or closes (null) the video elementary-stream dump file.
bool mpgdemux_set_es_dump_file(const char* path);

// Clears all state and makes the decoders; -1 (after the message "解码器内存分配失败") when libmpeg2
// cannot be created.
int mpgdemux_init();
void mpgdemux_close();
// One block: 0, 1 (program-stream end code met), -1 (block above 4096 bytes, unknown kind, kind 4
// without a map id; nothing read), -2 (transport packet sync lost; the packets before were taken).
int mpgdemux_feed(const uint8_t* data, int length);
// At the end of the input: the last audio packet and frame and the last picture still held are
// decoded.
void mpgdemux_flush();

// Decodes a buffer of MPEG audio frames found in another container into the PCM block: layer III of
// every version with our decoder (one instance, made on first use), layers I and II with the outside
// library. Without MPGDEMUX_APPEND in `flags` the PCM block is emptied first. Returns 0.
constexpr int MPGDEMUX_APPEND = 1;
int mpgdemux_decode_audio(const uint8_t* data, int length, int flags);
// Resets the MPEG audio decoding state of mpgdemux_decode_audio (decoder, carried bytes, choice).
void mpgdemux_audio_reset();
