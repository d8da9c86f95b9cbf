// The step every input branch of the conversion runs on each decoded picture: progress, the preview,
// the output picture, encoding and writing through the output session, the counters, pacing of a
// silent job at normal speed, and the bars. The decoded picture is read where the decoder left it (a
// view at its own size and stride): it is copied only when it is scaled, cropped or boxed to the
// output size, and a picture already of the output size goes to the encoder as it is.
#pragma once
#include <cstdint>
#include "base/picture.h"
#include "engine/image/rgb_image.h"
#include "engine/state/media_job.h"
#include "engine/timing/pacer.h"
#include "engine/ui/engine_ui.h"

// What a branch says of the picture it hands over.
struct FrameProgress {
    bool report = false;             // the progress text and the clock notice this time (every N-th)
    bool bars_with_report = false;   // the AVI branch sets the bars with the progress text
    double fraction = -1;            // position / total of the branch; below 0: no bars this time
};

class FramePath {
public:
    // A run starts: the decoded-picture count starts at 0.
    void begin_run(EngineUi& ui, const Clock& clock, bool normal_speed, int job_count);
    // A job starts: the output session's job, the pacing.
    void begin_job(const MediaJob& job, int job_index);
    // One decoded B,G,R picture (its own size and stride; a picture of another size than the job's is
    // taken at its own size). False when the run has been stopped (g_busy 0): the branch ends.
    bool step(const PictureView& decoded, const FrameProgress& progress);
    // The size a reader may hand its pictures at (`MediaOutput::scale_width` and `scale_height`): the
    // output size while the output picture is the whole decoded picture stretched to it (output
    // written, stretch mode), else 0 x 0 (the picture at its own size: cropped, boxed or previewed).
    void scale_hint(int* width, int* height) const;
    // The bars by the branch's position (the MPEG branch after each block read): set when they grow.
    void update_bars(double fraction);
    // The job's output picture is freed.
    void end_job();

    int64_t decoded_pictures() const { return decoded_; }
    bool normal_speed() const { return normal_speed_; }

private:
    void report(const FrameProgress& progress);

    EngineUi* ui_ = nullptr;
    Clock clock_;
    bool normal_speed_ = true;
    int job_count_ = 1;
    int job_index_ = 0;
    MediaJob job_{};
    bool paced_ = false;
    Pacer pacer_;
    CRgbImage scratch_{0, 0};  // the output picture when the decoded one is brought to the output size
    int64_t decoded_ = 0;
    int last_bar_ = -1;
};

// The conversion's frame path.
extern FramePath g_frame_path;
