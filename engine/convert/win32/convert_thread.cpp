#include "engine/convert/win32/convert_thread.h"
#include "base/fileio.h"
#include "base/program_folder.h"
#include "engine/frame/frame_path.h"
#include "engine/input/conversion_branch.h"
#include "media/binders/binders.h"
#include "media/records/file_kind.h"

namespace {

struct Library {
    int (*load)();
    void (*unload)();
};

// The run's libraries in binding order.
#define LIB(id) {codec::load_##id, codec::unload_##id}
const Library kRunLibraries[] = {
    LIB(tolmadpcmdecode), LIB(tolmvpdecode),  LIB(tolmx264encode), LIB(tolmmp3enc),     LIB(tolmaac_decode),
    LIB(tolmmp4decode),   LIB(tolmmp3dec),    LIB(tolmac3buf),     LIB(tolmh263dec1),   LIB(tolmh263dec2),
    LIB(tolmamr_decode),  LIB(tolmaac_encode), LIB(tolmmp4encode), LIB(tolmamr_encode), LIB(tolmdivxplay),
    LIB(xvidcore),
};
// The order they are unloaded in at the end of a run: the encoders and players first, then the rest.
const Library kUnloadOrder[] = {
    LIB(tolmdivxplay),  LIB(tolmx264encode), LIB(tolmmp3dec),    LIB(tolmmp3enc),     LIB(tolmac3buf),
    LIB(tolmadpcmdecode), LIB(tolmaac_decode), LIB(tolmamr_decode), LIB(tolmh263dec1), LIB(tolmh263dec2),
    LIB(tolmamr_encode), LIB(tolmmp4encode), LIB(tolmaac_encode), LIB(xvidcore),       LIB(tolmmp4decode),
    LIB(tolmvpdecode),
};
#undef LIB
constexpr int kLibraryCount = sizeof kRunLibraries / sizeof kRunLibraries[0];
static_assert(kLibraryCount == sizeof kUnloadOrder / sizeof kUnloadOrder[0]);

}  // namespace

// A library once bound by a run keeps one load of the program's own for the program's life. Some of
// them (those over FFmpeg's libraries) cannot be loaded again under Wine once they have been used and
// freed; with the kept load the unloading at the end of a run only drops the run's reference (its
// pointers are cleared all the same), and the next run's binding finds the library in place.
void keep_bound_libraries() {
    static HMODULE kept[64] = {};
    int count = 0;
    const codec::LibraryBinding* libraries = codec::library_bindings(&count);
    for (int i = 0; i < count && i < 64; ++i)
        if (*libraries[i].handle && !kept[i]) kept[i] = LoadLibraryA(libraries[i].file);
}

bool ProgramConversionServices::bind_libraries() {
    for (int i = 0; i < kLibraryCount; ++i) {
        if (kRunLibraries[i].load() != 0) {
            // The failed one may be loaded without all its entries; it and every one before go again.
            for (int j = i; j >= 0; --j) kRunLibraries[j].unload();
            return false;
        }
    }
    keep_bound_libraries();
    return true;
}

void ProgramConversionServices::unload_libraries() {
    for (const Library& library : kUnloadOrder) library.unload();
}

StampTime ProgramConversionServices::local_time() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return StampTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string ProgramConversionServices::player_path() {
    std::string folder = program_folder();
    if (folder.size() > 255) folder.resize(255);
    const std::string path = folder + "\\tolmmpegplay.exe";
    return fileio::exists(path.c_str()) ? path : std::string();
}

std::string player_command_line(const std::string& player, const std::string& output_path) {
    return "\"" + player + "\" \"" + output_path + "\"";
}

void ProgramConversionServices::start_player(const std::string& player, const std::string& output_path) {
    WinExec(player_command_line(player, output_path).c_str(), SW_SHOWNORMAL);
}

void ProgramConversionServices::remove_file(const std::string& path) { fileio::remove(path.c_str()); }

BranchEnd ProgramConversionServices::run_branch(const MediaJob& job, int job_index) {
    EngineUiSink sink(ui_);
    ConversionContext context;
    context.job = &job;
    context.job_index = job_index;
    context.file = job.file_index >= 0 ? ui_.file_row(job.file_index) : nullptr;
    context.sink = &sink;
    context.frames = &g_frame_path;
    const BranchResult result = run_conversion_branch(job.file_kind, context);
    return result.outcome == BranchOutcome::kFailed ? BranchEnd::kFailed : BranchEnd::kDone;
}

UINT convert_thread(LPVOID engine_ui) {
    EngineUi& ui = engine_ui ? *static_cast<EngineUi*>(engine_ui) : silent_engine_ui();
    ProgramConversionServices services(ui);
    run_conversion(ui, services);
    return 0;
}
