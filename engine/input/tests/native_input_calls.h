// The input side's outside calls for native tests: the stream parser's core, a picture decoder over
// libavcodec (by the description's four-character code, as the picture library picks its decoder), the
// ADPCM, MPEG audio and AC-3 cores, the Sorenson, VP6, H.264 and AAC cores; every call is counted by name.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "engine/input/input_calls.h"

namespace native_input {

// Fills the table; clears the counts.
void install(InputCalls& calls);
// How often each entry was called since install.
extern std::map<std::string, int> counts;
// The picture decoder refuses this many pictures after the first one (0: none), to show that an
// undecodable picture is skipped.
extern int refuse_pictures;
// The data handed to the SWF and FLV picture decoders (Sorenson, VP6, H.264), call by call.
extern std::vector<std::vector<uint8_t>> video_inputs;

}  // namespace native_input
