// Drives the engine's output side the way the conversion thread does: set-up of the sound and video
// encoders, per job the output (created, or kept when merged), the PCM conversion, the frame path and
// the audio path fed picture by picture, the end of each job, and the closing orders. Used by native
// tests over recording fakes and by Winelib tests over the real libraries.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "engine/state/media_job.h"
#include "engine/ui/engine_ui.h"
#include "engine/timing/clock.h"

struct DriverJob {
    MediaJob job{};
    int pictures = 0;
    // The B,G,R picture i (job.width x job.height, stride (3w+3)&~3).
    std::function<std::vector<uint8_t>(int i)> picture;
    // The job's PCM decoded along with picture i (job.sample_rate, job.channels); empty when silent.
    std::function<std::vector<int16_t>(int i)> sound;
};

// What one output had when it was closed.
struct DriverOutput {
    std::string path;
    bool sound_track = false;
    double picture_seconds = 0;
    uint64_t sound_bytes = 0;  // PCM bytes passed to its sound encoder
};

struct DriverResult {
    bool set_up = false;  // false: an encoder or output could not be made (the run ended)
    std::vector<DriverOutput> outputs;
};

// Runs `jobs` into outputs named paths[i] (merged: paths[0] only) in format g_out_format with the
// current settings; output size g_out_width x g_out_height. Fast mode unless normal_speed.
DriverResult drive_conversion(const std::vector<DriverJob>& jobs, const std::vector<std::string>& paths,
                              EngineUi& ui, const Clock& clock, bool normal_speed = false);

// MediaJob for a test source.
MediaJob test_job(const char* path, int width, int height, double fps, int sample_rate, int channels);
