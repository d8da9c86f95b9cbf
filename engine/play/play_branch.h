// The play side of the input branches: the job's reader from the readers' table (the same readers the
// conversion uses), the sound through the audio path onto the wave output, each picture through the
// play steps (progress every 15th picture, the window, the pacing), the bars by the reader's position.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include "engine/input/input_calls.h"
#include "engine/play/play_run.h"
#include "engine/state/media_job.h"

struct PlayContext {
    const MediaJob* job = nullptr;
    int job_index = 0;
    int job_count = 1;
    EngineUi* ui = nullptr;
    PlayServices* services = nullptr;
    // The outside calls; null means g_input_calls.
    const InputCalls* calls = nullptr;
    // Counters of the run, carried on from job to job.
    std::atomic<int64_t>* decoded = nullptr;
    std::atomic<int64_t>* shown = nullptr;
    std::atomic<int64_t>* late = nullptr;
};

enum class PlayBranchEnd {
    kDone,     // the file was played to its end
    kStopped,  // g_busy was cleared
    kFailed,   // the file could not be read; its text is on the status line
};

// Plays the job of `context` through the branch of its kind. Sets up the job's sound (or says there
// is none), and at the end closes the wave output (after the queued sound has played) and says
// "播放%s结束".
PlayBranchEnd run_play_branch(PlayContext& context);

// While Pause is pressed: the sound held, the pictures' schedule moved on by the pause. Returns
// false when the run has been stopped meanwhile.
bool hold_while_paused();
