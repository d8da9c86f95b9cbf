// Export header of tolmmp4decode.dll: MP4, 3GP, MOV and F4V (ISO media) files over libavformat's mov
// demuxer, samples read by number from its index.
//
// State is kept per calling thread: mp4de_init opens a file for the thread that calls it, and the other
// entries read that thread's file. A thread without an open file gets -1 (0 from the counts).
//
// Tracks are libavformat's streams in file order. The video track is the first one of H.263, MPEG-4
// Part 2 or H.264; the sound track the first one of AMR-NB, AMR-WB, AAC or MPEG audio. Samples are
// numbered from 0 in stored order; a sample's time is its decoding time stamp in milliseconds (never
// below 0). Samples lying past the end of the file or larger than 16 MiB cannot be read and count for
// no largest sample. "Values" of the info calls are bit rates in kbit/s (sample bytes x 8 / duration).
#pragma once
#include "codecs/include/tolm_export.h"

// Opens the file (a Windows path). Returns 0, -1 when it cannot be read as an ISO media file.
TOLM_EXPORT(int, mp4de_init, (const char* path))
// The video track: *width, *height, *fps (the track's average frame rate), *value (bit rate),
// *duration_ms, *other (the track's time scale, ticks a second) and the decoder configuration written to
// config (1,024 bytes): for MPEG-4 the stored VOS/VOL headers, for H.264 the sequence and picture
// parameter sets each behind 00 00 00 01; none for H.263. Returns the configuration's length (0 when it
// has none or it exceeds 1,024 bytes); -1 without a video track.
TOLM_EXPORT(int, mp4_getvideo, (int* width, int* height, double* fps, int* value, double* duration_ms, int* other,
                                unsigned char* config))
// The sound track: *sample_rate, *channels, *value (bit rate), *duration_ms. Returns 0; -1 without one.
TOLM_EXPORT(int, mp4_getaudio, (int* sample_rate, int* channels, int* value, double* duration_ms))
// The sound track's codec: 1 AMR-NB, 2 AMR-WB, 3 "mp4a" (AAC, and MPEG audio, which mp4_getaudioname
// names), 0 none. *sample_count and *largest_sample (bytes) describe the track (0 without one).
TOLM_EXPORT(int, mp4_getaudionum, (int* sample_count, int* largest_sample))
// The video track's codec: 1 H.263, 2 MPEG-4 Part 2, 3 H.264, 0 none; *sample_count and *largest_sample
// (bytes) as for sound.
TOLM_EXPORT(int, mp4_getvideonum, (int* sample_count, int* largest_sample))
// The AAC AudioSpecificConfig of the sound track into config (at most capacity bytes). Returns its
// length; 0 when the track is not AAC, has none or it does not fit.
TOLM_EXPORT(int, mp4_getmp4aconfig, (unsigned char* config, int capacity))
// Reads video sample number `sample` into buffer, which holds at least the largest sample. H.264
// samples come as stored (NAL units behind 4-byte big-endian lengths). Returns the sample's length and
// sets *time_ms, *second (the length again) and *key (1 for a sync sample, else 0); -1 when there is no
// such sample or its bytes cannot be read (the buffer's content is then undefined).
TOLM_EXPORT(int, mp4_readvideo, (unsigned char* buffer, int sample, int* time_ms, int* second, unsigned char* key))
// The same for the sound track.
TOLM_EXPORT(int, mp4_readaudio, (unsigned char* buffer, int sample, int* time_ms, int* second))
// Track `track` (0 ... mp4_gettracknum() - 1): handler (5 bytes: "vide", "soun", "text" or "data" and a
// NUL), codec (5 bytes: the sample entry's four-character code, e.g. "avc1", "mp4v", "s263", "samr",
// "sawb", "mp4a", and a NUL), *value = its largest sample. Returns its sample count; -1 for no such track.
TOLM_EXPORT(int, mp4_gettrackinfo, (int track, char* handler, char* codec, int* value))
TOLM_EXPORT(int, mp4_gettracknum, (void))
// Closes the calling thread's file (0; -1 when it had none).
TOLM_EXPORT(int, mp4de_close, (void))
// Name of the sound track's format into name (64 bytes): "MPEG-4 Audio (14496-3)" for AAC,
// "MPEG-1 Audio (11172-3)" for MPEG audio at 32, 44.1 or 48 kHz, "MPEG-2 Audio (13818-3)" for MPEG
// audio at lower rates, "AMR-NB" or "AMR-WB". Returns the name's length; -1 (and "") without one.
TOLM_EXPORT(int, mp4_getaudioname, (char* name))
