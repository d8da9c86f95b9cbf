// The index files the probe writes, one builder per kind of file: which entries, which key flags and
// times, and the header (codec value, picture size, frame rate).
#pragma once
#include <cstdint>
#include "media/avi/avilib.h"
#include "media/probe/flv_scan.h"
#include "media/records/index_file.h"
#include "media/swf/swf_reader.h"

// Every 15th picture counts as a key picture where the file marks none (MTV, AMV, MJPEG in AVI).
constexpr int kKeyInterval = 15;

// Whole part of i x 1000 / fps; 0 when the rate is not above 0.
int32_t index_time_ms(int i, double fps);

// MTV, AMV: one entry per frame, the frame number as position and length.
IndexFile frame_number_index(int frames, int width, int height, double fps);
// AVI: the reader's first n video chunks (never more than it holds, none from beyond 2 GiB); key flags
// from the AVI index, or every 15th for the MJPEG family.
IndexFile avi_index(const AviFile& avi, int n, bool mjpeg_family, int width, int height, double fps);
// SWF: one entry per VideoFrame tag; codec = the video codec id.
IndexFile swf_index(const SwfParser& swf);
// FLV: the scan's entries with both blocks.
IndexFile flv_index(const FlvScan& scan, int width, int height);
// MP4: one sample's entry from the reader library's answers; the first two samples lose time, size and
// key flag when the time is above 999,999 or the value below 1.
IndexEntry mp4_index_entry(int sample, int value, int time_ms, int size, uint8_t key);

// The four-character codes of the MJPEG family ("mjpg", "ijpg", "mpng" in either case).
bool is_mjpeg_family(const char code[4]);
