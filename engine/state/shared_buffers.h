// The buffers and output values the readers, the input branches and the engine's paths share for one
// run: the current picture, the current PCM block, the decoded-byte count and the sound's output format.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include "base/media_output.h"
#include "base/picture.h"

// The current decoded picture: `picture` describes what is in `data` now (its own size and stride),
// `capacity` is what the buffer holds. No writer passes the capacity.
struct FrameBuffer {
    PictureView picture;
    size_t capacity = 0;
};
extern FrameBuffer g_frame_buf;

// The PCM block handed to the audio path: g_pcm_len bytes of interleaved 16-bit PCM in g_pcm_buf,
// which holds g_pcm_capacity bytes; appends stop at the capacity.
extern uint8_t* g_pcm_buf;
extern int g_pcm_len;
extern int g_pcm_capacity;
constexpr int kPcmBlockBytes = 184320;

// Bytes of the picture a decoder last left in g_frame_buf; the branch sets it back to 0 once it has
// taken the picture. Written after the picture (release), read before it (acquire).
extern std::atomic<int> g_decoded_bytes;

// The sound's output format (set by the sound encoder's set-up, or by the player from its job) and
// what the audio path needs of the source.
extern int g_out_rate;
extern int g_out_channels;
extern int g_channel_mode;      // mono output from stereo: 0 mix, 1 left, 2 right
extern int g_source_channels;   // channels of the decoded PCM
extern double g_speed_ratio;    // output rate / source rate of the current job (1.0 without conversion)
extern std::atomic<uint8_t> g_effects_window;  // the effects window was shown during the run

// Frees a malloc'ed buffer and clears the pointer, so a second free is harmless.
template <typename T>
inline void free_and_null(T*& pointer) {
    std::free(pointer);
    pointer = nullptr;
}

// Makes g_frame_buf hold at least `capacity` bytes (keeping nothing of the old picture). False when
// memory runs out; the buffer is then empty.
bool frame_buffer_reserve(size_t capacity);
void frame_buffer_free();
// Puts a B,G,R picture into g_frame_buf; false (nothing written) when it does not fit.
bool frame_buffer_store(const PictureView& picture);

// Allocates g_pcm_buf with `capacity` bytes and empties it.
bool pcm_buffer_allocate(int capacity = kPcmBlockBytes);
void pcm_buffer_free();
// Appends up to the capacity; returns the bytes taken.
int pcm_append(const void* data, int bytes);

// A reader's output description over the shared buffers (for readers that fill MediaOutput).
MediaOutput shared_media_output();
