// Where a reader puts what it decodes: the demultiplexers, the DirectShow readers and the input
// branches all fill this one shape. The engine points it at the program's frame buffer and PCM block
// and installs its sinks; a test points it at buffers of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include "base/picture.h"
#include "base/sound.h"

struct MediaOutput {
    // The picture buffer: `frame.data` holds `frame_capacity` bytes. A reader sets width, height and
    // stride of each picture it writes there (B,G,R rows top-down unless the format says otherwise);
    // a picture larger than the capacity is not written.
    PictureView frame;
    size_t frame_capacity = 0;
    int pictures = 0;         // pictures written since the caller last cleared it
    int pictures_too_big = 0; // pictures left out because they did not fit
    // The size the picture sink brings every picture to by stretching it whole (nearest neighbour),
    // 0 x 0 when it takes pictures as they are. A reader that scales while it converts may write its
    // pictures at this size instead of their own (so no pixel is converted only to be dropped); one
    // that cannot writes them at their own size, and the sink scales them.
    int scale_width = 0;
    int scale_height = 0;

    // The PCM block: decoded sound is appended after `pcm_length` bytes, never past `pcm_capacity`.
    uint8_t* pcm = nullptr;
    size_t pcm_length = 0;
    size_t pcm_capacity = 0;
    int pcm_rate = 0;
    int pcm_channels = 0;

    // Optional sinks. With a picture sink every picture is handed on as soon as it is complete; with a
    // sound sink a full PCM block is handed on (and emptied) before more is appended.
    std::function<void(const PictureView&)> on_picture;
    std::function<void(const SoundBlock&)> on_sound;

    size_t pcm_room() const { return pcm_length < pcm_capacity ? pcm_capacity - pcm_length : 0; }
    SoundBlock pcm_block() const { return sound::block(pcm, pcm_length, pcm_channels, pcm_rate); }
    // Hands the PCM block to the sound sink and empties it; false without a sink (the block stays).
    bool flush_sound() {
        if (!on_sound) return false;
        if (pcm_length > 0) on_sound(pcm_block());
        pcm_length = 0;
        return true;
    }
};
