// What the DirectShow readers need of the engine above them: the run flag their callbacks obey, the
// audio path's PCM feed and the end-of-file notice of playback. The engine installs its link at
// start-up; a test installs its own.
#pragma once
#include <atomic>
#include <cstdint>
#include "base/sound.h"

struct DShowEngineLink {
    // g_busy: while it is 0 the callbacks take nothing. Null: always taken.
    const std::atomic<uint8_t>* busy = nullptr;
    // Called on DirectShow's streaming thread with each piece of sound, which lies in the audio
    // reader's PCM block (at most its capacity), and the reader's rate ratio.
    void (*pcm_feed)(const SoundBlock& block, double rate_ratio) = nullptr;
    // Playback reached the last 0.6 s of the file (code 199 to the main dialog). Called on the
    // streaming thread: it must not wait for the interface thread, which may be stopping the graph.
    void (*end_notice)() = nullptr;
};

// Installs the link (null: none); returns the previous one.
const DShowEngineLink* dshow_set_engine_link(const DShowEngineLink* link);
const DShowEngineLink* dshow_engine_link();
// True while the engine's run flag lets the callbacks work.
bool dshow_engine_busy();
