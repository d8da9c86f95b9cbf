// Play and conversion jobs: built from the selected rows of the media list by the Play and Convert
// commands, read by the one worker those commands start.
#pragma once
#include <mutex>
#include <string>
#include "media/records/file_kind.h"

constexpr int kJobPathSize = 512;
constexpr int kMaxJobs = 255;

struct MediaJob {
    char path[kJobPathSize];  // NUL-terminated
    int width;
    int height;
    double frame_rate;        // with its fraction, so picture and sound keep in step
    int file_size;
    int duration_s;
    FileKind file_kind;
    FileKind file_kind_copy;  // read by the DirectShow branches
    int sample_rate;
    int channels;             // at most 2
    int file_index;           // file-table row whose record carries an analysis, else -1
};

// The job table of the main dialog. Written only while no worker runs, then read by the one worker.
struct JobTable {
    MediaJob jobs[kMaxJobs];
    int count = 0;
};

// A merged output gets a sound track whenever any of its jobs brings sound, even when the first job
// is silent: sound chunks are never written without a sound stream to carry them.
inline bool jobs_have_sound(const JobTable& table) {
    for (int i = 0; i < table.count && i < kMaxJobs; ++i)
        if (table.jobs[i].channels > 0 && table.jobs[i].sample_rate > 0) return true;
    return false;
}

// Name of the file a worker is on; the worker writes it, Pause reads it for its status text.
class CurrentFileName {
public:
    void set(const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        name_ = name;
    }
    std::string get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return name_;
    }

private:
    mutable std::mutex mutex_;
    std::string name_;
};
