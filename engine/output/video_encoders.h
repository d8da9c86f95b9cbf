// The three video encoders behind VideoEncoder: the program's own H.263 encoder, Xvid and x264 (for an
// AVI file x264 repeats its parameter sets before every key picture).
#pragma once
#include <memory>
#include "engine/output/video_encoder.h"

std::unique_ptr<VideoEncoder> make_h263_encoder();
std::unique_ptr<VideoEncoder> make_xvid_encoder();
std::unique_ptr<VideoEncoder> make_x264_encoder(bool for_avi);
