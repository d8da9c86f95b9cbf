// MPEG audio fixtures made at test time: a test signal (sweep, noise, transients) written as WAV and
// encoded by the lame program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mpa_fixtures {

// `seconds` of interleaved 16-bit sound: a sine sweep, then white noise, then short bursts (transients);
// the right channel differs from the left so that stereo coding has work to do.
std::vector<int16_t> test_signal(int rate, int channels, double seconds);
// A pure tone in every channel.
std::vector<int16_t> tone(int rate, int channels, double seconds, double frequency, double amplitude);

void write_wav(const std::string& path, const std::vector<int16_t>& pcm, int rate, int channels);

// Encodes with `lame -t --quiet <options>` (-t: no info frame, so the first frame is sound); the files
// are named after `name` in the test's folder. Empty when lame fails.
std::vector<uint8_t> lame_encode(const std::vector<int16_t>& pcm, int rate, int channels, const std::string& options,
                                 const std::string& name);

}  // namespace mpa_fixtures
