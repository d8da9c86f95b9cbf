// A new 16x16 output file with its video stream set; null when it cannot be created.
#pragma once
#include <string>
#include "media/avi/avilib.h"

inline AviFile* open_test_output(const std::string& path, double fps = 25.0, const char* compressor = "h263") {
    AviFile* avi = AVI_open_output_file(path.c_str());
    if (avi) AVI_set_video(avi, 16, 16, fps, compressor);
    return avi;
}
