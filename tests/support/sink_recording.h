// Records the private PulseAudio null sink of a Winelib sound test (parec on its monitor, mono,
// 44100 Hz), from before a play until after it.
#pragma once
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "tests/support/media_test_tools.h"

class SinkRecording {
public:
    explicit SinkRecording(const std::string& name) {
        path_ = media_test::fresh_path(name + ".raw");
        pid_file_ = media_test::out_path(name + ".pid");
        const char* server = std::getenv("PULSE_SERVER");
        if (!server) return;
        int status = 0;
        media_test::run(std::string("PULSE_SERVER='") + server + "' parec -d nullsink.monitor --raw --format=s16le " +
                            "--rate=44100 --channels=1 > '" + path_ + "' 2>/dev/null & echo $! > '" + pid_file_ + "'",
                        &status);
        started_ = status == 0;
        Sleep(300);
    }
    // Stops parec and returns what it recorded (mono, 44100 Hz).
    std::vector<int16_t> stop() {
        if (!started_) return {};
        Sleep(300);
        const std::vector<uint8_t> pid = media_test::read_file(pid_file_);
        if (!pid.empty()) media_test::run("kill " + std::string(pid.begin(), pid.end()));
        Sleep(200);
        started_ = false;
        const std::vector<uint8_t> raw = media_test::read_file(path_);
        std::vector<int16_t> pcm(raw.size() / 2);
        if (!pcm.empty()) std::memcpy(pcm.data(), raw.data(), pcm.size() * 2);
        return pcm;
    }
    ~SinkRecording() { stop(); }

private:
    std::string path_, pid_file_;
    bool started_ = false;
};
