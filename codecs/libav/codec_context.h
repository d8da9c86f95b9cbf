// Set-up shared by the decoder helpers.
#pragma once
#include <cstdint>

struct AVCodecContext;

namespace libav {

// Gives the context a padded copy of the configuration; false when out of memory.
bool set_extradata(AVCodecContext* ctx, const uint8_t* data, int size);

}  // namespace libav
