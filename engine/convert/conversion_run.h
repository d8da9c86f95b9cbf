// The body of the conversion thread: the run's set-up (output size, libraries, mode, encoders), each
// job (its output name and file, its PCM conversion, its input branch) and the end of the run
// (everything closed, freed and unloaded, the dialog restored, the user told where the output is).
// What needs the platform (binding libraries, the local time, the sibling player, the input branches)
// comes through ConversionServices, so the run is the same in the program and in native tests.
#pragma once
#include <string>
#include "engine/convert/output_naming.h"
#include "engine/state/media_job.h"
#include "engine/ui/engine_ui.h"

// How an input branch ended a job.
enum class BranchEnd {
    kDone,    // the job ran to its end, or Stop cleared g_busy
    kFailed,  // the branch could not go on and has said why (status line or its own box): the run ends
};

class ConversionServices {
public:
    virtual ~ConversionServices() = default;
    // Binds the codec libraries in the run's order. False at the first that fails, after unloading
    // every library bound before it.
    virtual bool bind_libraries() = 0;
    // Unloads every library bind_libraries bound.
    virtual void unload_libraries() = 0;
    virtual StampTime local_time() = 0;
    // Path of the sibling player when it is there, else empty.
    virtual std::string player_path() = 0;
    // Starts the sibling player on the output file.
    virtual void start_player(const std::string& player, const std::string& output_path) = 0;
    // Runs the job through the input branch of its file kind. The branch begins the job on the frame
    // path, ends the job's sound (audio_end_of_job) and ends the job on the frame path, in every outcome.
    virtual BranchEnd run_branch(const MediaJob& job, int job_index) = 0;
    // Removes an output file that was left without any picture or sound.
    virtual void remove_file(const std::string& path) = 0;
};

// How a run ended.
enum class RunEnd {
    kNoLibraries,  // a codec library could not be bound: "装载解码动态库失败", nothing else done
    kCompleted,    // every job converted
    kStopped,      // Stop cleared g_busy
    kFailed,       // an output could not be made or a branch failed: its text stays, no completion box
};

struct RunResult {
    RunEnd end = RunEnd::kCompleted;
    std::string output_path;  // the file the completion message names (empty: none was made)
    bool removed_empty_output = false;
};

// Texts of the run.
extern const char* const kNoLibrariesText;   // "装载解码动态库失败"
extern const char* const kFastModeText;      // "选择快速转换 视频关闭 音频关闭"
extern const char* const kDoneAskText;       // "转换完成,输出文件保存在%s 是否检查播放转换效果(Y/N)"
extern const char* const kDoneText;          // "转换完成,输出文件保存在%s"

// Runs every job of ui.jobs() into outputs of g_out_format.
RunResult run_conversion(EngineUi& ui, ConversionServices& services);

// The end of the run as the user sees it: after a run that completed or was stopped, the completion
// box (Yes/No with the sibling player present, answered Yes: the player is started) and the status
// text; after a failure neither, and an output that got no picture and no sound is removed.
void tell_run_end(EngineUi& ui, ConversionServices& services, RunResult& result, bool output_empty);
