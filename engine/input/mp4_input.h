// The MP4/3GP branch's pure parts, for the reader and its tests: AMR-NB samples cut into frames, H.264
// samples turned from length prefixes into start codes, and the range with its key-frame walk-back.
#pragma once
#include <cstdint>
#include "engine/input/conversion_branch.h"

// Stored payload bytes of an AMR-NB frame of type 0..8 (4.75 ... 12.2 kbit/s, SID): 12, 13, 15, 17,
// 19, 20, 26, 31, 5; 0 for the other types (NO_DATA and those not used).
int amr_nb_payload(int type);

// How a stored AMR-NB sample is cut: every frame takes the length of the sample's first frame
// (1 + its payload), and the sample holds length / frame_length of them.
struct AmrCut {
    int frames = 0;
    int frame_length = 0;
};
AmrCut amr_cut(const uint8_t* sample, int length);

// True when the sample already carries start codes: its first 4 bytes, read big-endian, are 0 or 1.
bool h264_has_start_codes(const uint8_t* sample, int length);
// Rewrites the 4-byte big-endian length before each NAL unit into 00 00 00 01, in place. Returns the
// bytes worth decoding: the whole sample, or up to the unit whose length runs past the sample (or
// whose prefix is cut short), which is left out.
int h264_prefix_rewrite(uint8_t* sample, int length);

// The range of an MP4 job: reading starts at the marked picture at or before S (always walked back),
// pictures are shown from S, and the job ends before E; bounded by the segment list and the samples.
AviRange mp4_range(const MediaFile* file, int video_count);
