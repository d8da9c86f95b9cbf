// The playback thread of the program: started by the Play command with start_play_thread(ui), ui
// being the main dialog's EngineUi (a CreateThread of play_thread with a 16,000,000-byte stack).
#pragma once
#include <windows.h>
#include "engine/play/play_run.h"

constexpr SIZE_T kPlayThreadStack = 16000000;

DWORD WINAPI play_thread(LPVOID engine_ui);

// Starts play_thread on `ui`; the thread's handle (the caller closes it), null when it cannot start.
HANDLE start_play_thread(EngineUi* ui);

// The platform side of a playback run in the program: the decoding libraries bound through the
// program's binders in the run's order, the video window of engine/video.
class ProgramPlayServices : public PlayServices {
public:
    bool bind_libraries() override;
    void unload_libraries() override;
    void prepare_pictures() override;
    int open_window(const MediaJob& job) override;
    void show_picture(const PictureView& picture) override;
    void release_window() override;
    void hide_window() override;
};
