// The audio path: every block of decoded 16-bit PCM that an input branch leaves in g_pcm_buf goes
// through rate and channel conversion (the program's Ctolmpcmchange), the sound effects of olumbra
// (when bound), the output's sound encoder while the conversion writes output, the wave output while
// sound is on, and the level scope.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include "base/sound.h"

// Level scope: one byte a sample frame for each channel, read by the scope thread, which sets the
// count back to 0 once it has drawn them.
constexpr int kScopeSize = 8192;
constexpr int kScopeMaxFrames = 8190;
extern uint8_t g_scope_left[kScopeSize];
extern uint8_t g_scope_right[kScopeSize];
extern std::atomic<int> g_scope_count;

// Chunk and work-buffer sizes by speed factor (tested in this order: = 1.0, > 2.0, < 0.5, < 1.0,
// else): 4096/40960, 2000/40000, 3072/49152, 5120/92160, 8192/184320 bytes.
struct AudioChunking {
    int chunk;
    int work;
};
AudioChunking audio_chunking(double speed);

// Per job: the conversion from the job's rate and channels to g_out_rate and g_out_channels (none
// when they match), and the job's speed ratio in g_speed_ratio. A job without sound needs none.
void audio_set_up_job(int job_rate, int job_channels);
// Frees the conversion's buffer and empties the scope's collection (end of a run).
void audio_release();

// Carries g_pcm_buf (g_pcm_len bytes) through every stage in chunks; the play flag and the three ints
// are not read (g_play_sound decides). Returns 0.
int audio_play_speed(bool play, int, int, double speed, int);

// Hands PCM of any length to the audio path in pieces that fit g_pcm_buf.
void audio_feed(const void* pcm, size_t bytes, double speed);
// A reader's sound sink (MediaOutput::on_sound): the block goes to the audio path at the job's speed
// ratio, also when it lies in g_pcm_buf itself (shared_media_output()).
void audio_take_block(const SoundBlock& block);

// End of a job: what the converter still holds comes out and goes through the stages; a merged
// output then brings its sound to its pictures' time.
void audio_end_of_job();
// End of an output: the converter's tail, then the output's held sound padded to a whole codec frame,
// coded, and the encoder's own held frames written (nothing is left unencoded).
void audio_end_of_output();
