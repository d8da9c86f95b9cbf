// MPEG audio layer III frame headers: the length of the frame at the start of a buffer, so that coded
// MP3 can be cut into one frame a chunk.
#pragma once
#include <cstdint>

// Bytes of the frame whose header starts at data (MPEG-1, 2 and 2.5, layer III); 0 when data holds no
// valid header there or fewer than 4 bytes.
int mp3_frame_length(const uint8_t* data, int available);

// True for the information frame an encoder puts first in a variable-rate stream: "Xing" or "Info"
// after the side information, or (as reserved before the encoder fills it in at the end) nothing but
// zeros after the header. It carries no sound, only a table for seeking in a file of its own.
bool mp3_is_info_frame(const uint8_t* data, int length);
