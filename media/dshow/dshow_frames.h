// The arithmetic of the DirectShow readers, free of Win32 so it is tested natively: frame rate and
// frame count from the connected format, copying a delivered RGB24 picture into the program's
// top-down layout, cutting delivered sound into pieces that fit the PCM block, and knowing RealMedia
// whose graph would never deliver.
#pragma once
#include <cstddef>
#include <cstdint>

namespace dshow {

constexpr int64_t kUnitsPerSecond = 10'000'000;  // DirectShow reference time: 100 ns

// Frames a second for AvgTimePerFrame (100-ns units), kept fractional (29.97 stays 29.97); 0 when the
// format gives no frame time.
double frame_rate(int64_t avg_time_per_frame);

// Frames in a stream of `duration` 100-ns units: the duration over the frame time, rounded to the
// nearest frame (AvgTimePerFrame is itself rounded, so 2.002 s at 333,667 is 60 frames, not 59).
// Without a frame time the duration itself; a count past 2^31 - 1 is divided by 1000.
int64_t frame_count(int64_t duration, int64_t avg_time_per_frame);

// Seconds of the stream: frames x frame time, or the duration itself without a frame time.
double duration_seconds(int64_t frames, int64_t avg_time_per_frame, int64_t duration);

// Bytes of an RGB24 picture with rows padded to 4 bytes; 0 for an impossible size.
size_t rgb24_picture_bytes(int width, int height);

// Copies a delivered RGB24 picture (rows bottom-up for a positive DIB height, top-down for a negative
// one) into `out` as B,G,R rows top-down with the same row padding. Only a picture of exactly the
// connected format's size that fits the buffer is copied; false otherwise (nothing written).
bool copy_picture_top_down(const uint8_t* data, size_t length, int width, int dib_height, uint8_t* out,
                           size_t capacity);

// Whether the first bytes of a file (`head`, `size` of them) are RealMedia whose properties header
// gives no index (ffmpeg writes none). GStreamer's RealMedia demuxer cannot seek in such a file, and
// the seek to the start that Wine's splitter makes when its graph runs leaves the graph delivering
// nothing, never completing and never stopping. False for anything else, or when the properties
// header is not within `head`.
bool realmedia_without_index(const uint8_t* head, size_t size);

// Bytes of the next piece of `remaining` bytes of sound for a PCM block of `capacity` bytes: whole
// sample frames of `block_align` bytes, never more than the capacity; 0 when not one frame fits.
size_t pcm_piece(size_t remaining, size_t capacity, int block_align);

}  // namespace dshow
