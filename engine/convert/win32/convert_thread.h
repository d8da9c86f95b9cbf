// The conversion thread of the program: started by the Convert command with
// AfxBeginThread(convert_thread, ui), ui being the main dialog's EngineUi. Returns 0.
#pragma once
#include <windows.h>
#include <string>
#include "engine/convert/conversion_run.h"

UINT convert_thread(LPVOID engine_ui);

// A library once bound by a worker keeps one load of the program's own for the program's life (some
// of them, those over FFmpeg's libraries, cannot be loaded again under Wine once used and freed); a
// worker calls this after binding its libraries.
void keep_bound_libraries();

// The platform side of a run in the program: the codec libraries bound through the program's binders
// in the run's order, the local time, the sibling player beside the program started through WinExec,
// the input branch chosen by the file kind.
class ProgramConversionServices : public ConversionServices {
public:
    explicit ProgramConversionServices(EngineUi& ui) : ui_(ui) {}
    bool bind_libraries() override;
    void unload_libraries() override;
    StampTime local_time() override;
    std::string player_path() override;
    void start_player(const std::string& player, const std::string& output_path) override;
    BranchEnd run_branch(const MediaJob& job, int job_index) override;
    void remove_file(const std::string& path) override;

private:
    EngineUi& ui_;
};

// The command line that starts the sibling player on a file: both paths quoted, so blanks in either
// do not split them.
std::string player_command_line(const std::string& player, const std::string& output_path);
