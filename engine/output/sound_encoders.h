// The three sound encoders behind SoundEncoder, over the outside libraries' entries in g_outside.
#pragma once
#include <memory>
#include "engine/output/sound_encoder.h"

std::unique_ptr<SoundEncoder> make_amr_encoder();  // 3GP: AMR-NB, 8000 Hz mono
std::unique_ptr<SoundEncoder> make_aac_encoder();  // MP4: AAC
std::unique_ptr<SoundEncoder> make_mp3_encoder();  // AVI: MP3 at constant, variable or average rate
