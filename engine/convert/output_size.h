// The conversion's output size, chosen once per run from the output format's size choice.
#pragma once
#include "engine/state/media_job.h"

// Size choice of a format: 0 176x144, 1 352x288, 2 704x576, 3 128x96, 4 320x240, 5 160x120; MP4 and
// AVI also 6 (the first job's size) and 7 (the custom MP4 size). A choice outside these leaves
// *width and *height as they are and returns false.
bool output_size_for(int out_format, int size_choice, const MediaJob& first_job, int* width, int* height);
// The same from the settings (cfg_3gp_size_choice, cfg_mp4_size_choice, cfg_avi_size_choice), into
// g_out_width and g_out_height.
bool choose_output_size(int out_format, const MediaJob& first_job);
