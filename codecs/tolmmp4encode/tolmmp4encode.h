// Export header of tolmmp4encode.dll: writes one 3GP or MP4 file at a time. The calls carry no handle.
//
// Order for one file: mp4en_init -> mp4en_addvideo (not for H.264) -> mp4en_addaudio when there is
// sound -> mp4en_setaudioinfo and mp4en_setaudiodelay for AAC -> at the first H.264 picture mp4_add264, mp4_add264pps,
// mp4_add264sps -> mp4en_video / mp4en_audio in any interleaving -> mp4en_close.
// Calls without a successful mp4en_init, and pictures or sound for a track never added, are ignored.
// Every entry but mp4en_init returns 0 when it did its work and -1 when it was refused or failed.
// Every entry is safe to call from two threads (sound may be written from another thread).
//
// Time units:
//   picture durations: milliseconds for H.263 and MPEG-4; 1/90000 s for H.264.
//   sound durations: samples at the sound track's rate (an AMR-NB block of 2 frames = 320;
//   an AAC frame = 1024, as aacbuf_encode reports it). AMR-NB blocks are stored one 20 ms frame a
//   sample, each timed 160 samples, whatever the duration given.
#pragma once
#include "codecs/include/tolm_export.h"

enum {
    MP4EN_CONTAINER_MP4 = 1,
    MP4EN_CONTAINER_3GP = 2,
    MP4EN_VIDEO_H263 = 1,
    MP4EN_VIDEO_MPEG4 = 2,
    MP4EN_AUDIO_AMRNB = 1,
    MP4EN_AUDIO_AAC = 2,
    MP4EN_PICTURE_H263 = 1,   // key or not is read from the H.263 picture header
    MP4EN_PICTURE_KEY = 2,    // MPEG-4 / H.264 key picture
    MP4EN_PICTURE_OTHER = 3,  // MPEG-4 / H.264 other picture
};

// path: Windows path of the new file; container: 1 MP4, 2 3GP. 0, or below 0 when the file cannot be
// created (an existing file is never overwritten).
TOLM_EXPORT(int, mp4en_init, (const char* path, int container))
// codec 1 H.263 or 2 MPEG-4 Part 2; the last value is accepted and not used.
TOLM_EXPORT(int, mp4en_addvideo, (int codec, int width, int height, int reserved))
// codec 1 AMR-NB (8000 Hz mono; the last value is accepted and not used) or 2 AAC (last value: the
// encoder's samples per frame over all channels, as aacbuf_init returns it).
TOLM_EXPORT(int, mp4en_addaudio, (int codec, int sample_rate, int channels, int frame_samples))
// AAC AudioSpecificConfig bytes (at most 64).
TOLM_EXPORT(int, mp4en_setaudioinfo, (const unsigned char* config, int length))
// Samples (at the sound track's rate, at most one second) that the sound encoder puts in front of the
// sound, such as the AAC encoder's start-up delay: the file's edit list leaves them out, so the sound
// lines up with the pictures from its first sample. After mp4en_addaudio, before the first picture.
TOLM_EXPORT(int, mp4en_setaudiodelay, (int samples))
// Adds the H.264 track; level, compatibility and profile are the three values of
// tolm264encode_getx264 (profile, compatibility, level), last first.
TOLM_EXPORT(int, mp4_add264, (int width, int height, int level, int compatibility, int profile))
// Parameter sets as bare NAL units (no start code, at most 1024 bytes).
TOLM_EXPORT(int, mp4_add264pps, (const unsigned char* pps, int length))
TOLM_EXPORT(int, mp4_add264sps, (const unsigned char* sps, int length))
// One coded picture. H.264 pictures come in Annex B form (start codes) and are stored with 4-byte
// length prefixes; parameter-set NAL units inside them are left out (they are in the avcC box).
TOLM_EXPORT(int, mp4en_video, (int kind, const unsigned char* data, int length, int duration, int reserved))
// One coded sound block (track is 1).
TOLM_EXPORT(int, mp4en_audio, (int track, const unsigned char* data, int length, int duration))
// Writes the index and closes the file.
TOLM_EXPORT(int, mp4en_close, (void))
