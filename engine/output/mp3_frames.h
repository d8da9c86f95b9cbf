// MPEG audio layer III frame headers: the length of the frame at the start of a buffer, so that coded
// MP3 can be cut into one frame a chunk.
#pragma once
#include <cstdint>

// Bytes of the frame whose header starts at data (MPEG-1, 2 and 2.5, layer III); 0 when data holds no
// valid header there or fewer than 4 bytes.
int mp3_frame_length(const uint8_t* data, int available);
