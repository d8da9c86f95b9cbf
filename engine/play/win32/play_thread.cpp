#include "engine/play/win32/play_thread.h"
#include "engine/convert/win32/convert_thread.h"
#include "engine/video/video_wnd.h"
#include "media/binders/binders.h"

namespace {

struct Library {
    int (*load)();
    void (*unload)();
};

#define LIB(id) {codec::load_##id, codec::unload_##id}
// Bound in this order; any that fails ends the run.
const Library kPlayLibraries[] = {
    LIB(tolmmp3dec),   LIB(tolmac3buf),     LIB(tolmadpcmdecode), LIB(tolmmp4decode), LIB(tolmh263dec2),
    LIB(tolmh263dec1), LIB(tolmaac_decode), LIB(tolmamr_decode),  LIB(tolmdivxplay),  LIB(xvidcore),
};
// Unloaded in this order at the end.
const Library kUnloadOrder[] = {
    LIB(tolmadpcmdecode), LIB(tolmdivxplay),   LIB(tolmmp3dec), LIB(tolmac3buf), LIB(tolmh263dec2),
    LIB(tolmh263dec1),    LIB(tolmamr_decode), LIB(tolmaac_decode), LIB(xvidcore), LIB(tolmmp4decode),
};
#undef LIB
constexpr int kLibraryCount = sizeof kPlayLibraries / sizeof kPlayLibraries[0];
static_assert(kLibraryCount == sizeof kUnloadOrder / sizeof kUnloadOrder[0]);

}  // namespace

bool ProgramPlayServices::bind_libraries() {
    for (int i = 0; i < kLibraryCount; ++i) {
        if (kPlayLibraries[i].load() != 0) {
            for (int j = i; j >= 0; --j) kPlayLibraries[j].unload();
            return false;
        }
    }
    keep_bound_libraries();
    if (codec::sh263de_setdispmode) codec::sh263de_setdispmode(0);
    return true;
}

void ProgramPlayServices::unload_libraries() {
    for (const Library& library : kUnloadOrder) library.unload();
}

void ProgramPlayServices::prepare_pictures() { yuy2_tables_init(); }

int ProgramPlayServices::open_window(const MediaJob& job) {
    return video_wnd_open(0, 0, job.width, job.height, job.path);
}

void ProgramPlayServices::show_picture(const PictureView& picture) {
    if (!picture::valid(picture)) return;
    if (picture.format == PixelFormat::kYuy2) {
        // An H.264 picture the decoder wrote as YUY2: copied as it is.
        if (video_wnd_put_yuy2(picture.width, picture.height, picture.data, picture.stride) != 0) return;
    } else {
        if (picture.format != PixelFormat::kBgr24) return;
        uint8_t* yuy2 = video_wnd_picture(picture.width, picture.height);
        if (!yuy2 || rgb24_to_yuy2(picture.width, picture.height, picture.data, picture.stride, yuy2, 1) != 0) return;
    }
    video_wnd_show_frame();
}

void ProgramPlayServices::release_window() { ddov_release(); }

void ProgramPlayServices::hide_window() { video_wnd_hide(); }

DWORD WINAPI play_thread(LPVOID engine_ui) {
    // Named, so that a look from outside (bench/ui) can tell it from the other threads.
    SetThreadDescription(GetCurrentThread(), L"tarmelo playback");
    EngineUi& ui = engine_ui ? *static_cast<EngineUi*>(engine_ui) : silent_engine_ui();
    ProgramPlayServices services;
    run_playback(ui, services);
    return 0;
}

HANDLE start_play_thread(EngineUi* ui) {
    DWORD id = 0;
    return CreateThread(nullptr, kPlayThreadStack, play_thread, ui, 0, &id);
}
