// The AVI reader's parts that tests reach on their own: the sound modes and the PCM expansion.
#pragma once
#include <cstddef>
#include <cstdint>
#include "base/media_output.h"
#include "codecs/tolmmux/mux_blocks.h"

// How an AVI file's sound is decoded.
enum class AviSound {
    kNone,   // no sound index, or no decoder for it
    kPcm,    // expanded here to 16 bits
    kMpeg,   // MPEG audio through the demultiplexer's audio decoder
    kOther,  // the ADPCM decoder library (IMA, Microsoft ADPCM, MPEG layer I/II by tag 0x50, ...)
};
constexpr int kAviMpegAudioMode = 9999999;

// The audio mode: the description's codec field when not 0; else by format tag: 1 PCM, 0x55 MPEG
// audio (kAviMpegAudioMode), any other the tag itself for the ADPCM decoder.
int avi_audio_mode(const Mpeg4AudioInfo& audio);

// PCM of 4, 8 or 16 bits a sample into 16-bit samples appended to out.pcm: 4 bits give two samples a
// byte, ((high nibble - 8) << 8) then ((low nibble - 8) << 8); 8 bits (byte - 128) << 8; 16 bits as they
// are (an odd last byte is left out). A full block goes to out.on_sound and the rest follows in the
// emptied block; without a sound sink what does not fit is left out. Returns the bytes produced.
size_t avi_pcm_expand(const uint8_t* data, size_t length, int bits, MediaOutput& out);
