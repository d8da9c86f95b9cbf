// The input branch of one conversion job: the conversion thread, once it has made the job's output
// and set up its sound conversion, hands the job here. The branch takes its reader from the readers'
// table by the job's kind, opens it, seeks to the record's range, and carries every decoded picture
// through the frame path (engine/frame, which encodes and writes it through the output session and
// sets the bars) and every sound block through the audio path (engine/audio), both over the shared
// buffers (engine/state: g_frame_buf, g_pcm_buf). What goes to the dialog besides goes through the
// sink. It returns when the job is done, stopped (g_busy cleared) or failed.
#pragma once
#include <cstdint>
#include <string>
#include "engine/input/input_calls.h"
#include "engine/state/media_job.h"
#include "media/records/file_kind.h"
#include "media/records/segment_list.h"

class FramePath;

// What a branch says to the dialog outside the frame path's progress and bars.
class BranchSink {
public:
    virtual ~BranchSink() = default;
    // Status line 1008: "正在转换%s", "转换%s结束" and the failure texts.
    virtual void status(const char* text) = 0;
    // WM_DLG_NOTIFY to the main dialog: 8889 with the file index before the range is read, 10000 +
    // file index with a picture index for the thumbnails.
    virtual intptr_t notify(int code, intptr_t argument) = 0;
    // WM_DLG_NOTIFY 8888 to the timeline view, with a picture index.
    virtual void timeline(intptr_t frame) = 0;
    // Second label 1002 (a notice beside the status line).
    virtual void label(const char* text) { (void)text; }
    // The Audio button (1027): disabled and shown released while a slowed DirectShow job has the sound
    // monitor off, enabled again at the job's end.
    virtual void sound_button(bool enabled) { (void)enabled; }
};

class EngineUi;
// The sink over the engine's dialog seam (status, notify, notify_timeline).
class EngineUiSink : public BranchSink {
public:
    explicit EngineUiSink(EngineUi& ui) : ui_(ui) {}
    void status(const char* text) override;
    intptr_t notify(int code, intptr_t argument) override;
    void timeline(intptr_t frame) override;
    void label(const char* text) override;
    void sound_button(bool enabled) override;

private:
    EngineUi& ui_;
};

struct ConversionContext {
    const MediaJob* job = nullptr;
    int job_index = 0;
    // The job's file-table row (record and segment list) when job->file_index >= 0, else null: the
    // range, the thumbnail notices.
    const MediaFile* file = nullptr;
    BranchSink* sink = nullptr;
    // The frame path of the run (begin_run done by the thread); the branch begins and ends the job on it.
    FramePath* frames = nullptr;
    // The outside calls; null means g_input_calls.
    const InputCalls* calls = nullptr;
};

enum class BranchOutcome {
    kDone,     // the job's source was read to its end (or its range end)
    kStopped,  // g_busy was cleared: the run ends normally
    kFailed,   // the run ends with `text` on the status line
};

struct BranchResult {
    BranchOutcome outcome = BranchOutcome::kDone;
    std::string text;
};

// Runs the branch of `kind` for the context's job. Kinds whose branch is not built fail with
// "视频解码不支持 ". The branch begins the job on the frame path, ends the job's sound
// (audio_end_of_job) and ends the job on the frame path before it returns, in every outcome. It
// leaves the output and the encoders to the thread.
BranchResult run_conversion_branch(FileKind kind, ConversionContext& context);

// The first picture, the picture from which thumbnails are announced, and the end of an AVI job.
struct AviRange {
    int start = 0;
    int announce_from = 0;
    int end = 0;  // exclusive
};
// From the record: seek_mode above 1 starts at S; otherwise at the nearest marked segment entry at or
// before S, or 0. S and E are clamped to the segment list and to the video index (video_count);
// entries outside the list count as unmarked. Without a record: the whole file.
AviRange avi_range(const MediaFile* file, int video_count);
// The same with the walk back to the marked picture always (walk_back) or never made.
AviRange marked_range(const MediaFile* file, int video_count, bool walk_back);
// True when segment entry `frame` is marked (inside the list, first byte above 0).
bool segment_marked(const MediaFile* file, int frame);
