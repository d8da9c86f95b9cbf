// The conversion's output for a run: one sound encoder, one video encoder and one open output file
// (for the whole run when merged, else for each job), set up from the settings, fed by the frame path
// and the audio path, and closed in the order the run needs. Pictures and sound may come from two
// threads (the DirectShow branch codes sound on its streaming thread), so every write holds one lock.
//
// Timing: a job's picture i lasts round((i+1)·s/r) − round(i·s/r) units of the encoder's timescale s,
// r the job's exact rate, so the pictures' running time follows the rate exactly. An AVI file has one
// rate (the header's): a later job of another rate has its pictures coded as often as the header rate
// needs (repeated or dropped). In a merged output every job's sound is brought to its pictures' time:
// padded with silence when short, the next job's sound trimmed by the excess when long.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>
#include "engine/image/rgb_image.h"
#include "engine/output/output_choice.h"
#include "engine/output/output_writer.h"
#include "engine/state/media_job.h"

class OutputSession {
public:
    // Starts a run: the writer and encoders of the output format, merged or one file per job.
    void begin_run(int out_format, VideoCodec codec, bool merged);
    // Frees the writer and encoders (after close_at_end).
    void end_run();

    // Sound encoder set-up: the first one of a run fixes the sound format in g_out_rate,
    // g_out_channels and g_channel_mode; a later one (again) keeps it. On failure the format's
    // "创建…文件错误" box is shown and false returned: the run ends, no file is made.
    bool set_up_sound(bool again);
    // Video encoder set-up at the output size g_out_width x g_out_height, rounded to what the codec
    // takes (and stored back); the job gives the rate. Failure as above.
    bool set_up_video(const MediaJob& job);
    // Creates the output file at path; has_sound makes the sound track or stream. Failure as above.
    bool create(const char* path, const MediaJob& job, bool has_sound);
    bool is_open() const;

    // Closing between two jobs of one file per job: sound encoder (its held sound written), output,
    // video encoder. The caller then sets up video, sound (again) and creates the next output.
    void close_between_jobs();
    // Closing at the end of the run: sound encoder, video encoder, output.
    void close_at_end();

    // A job starts: its pictures count from 0, its rate times them.
    void begin_job(const MediaJob& job);
    // Merged: the job's sound is brought to its pictures' running time.
    void end_job();

    // One B,G,R picture of the output size (a view at any stride, read while the call lasts): coded
    // (as often as the output's rate needs) and written.
    void write_picture(const PictureView& picture);
    // Sound at the output format: joined with what was held back, coded in whole encoder blocks,
    // written; the rest is held for the next call. Stops (dropping what is held) when g_busy falls.
    void write_sound(const uint8_t* pcm, int bytes);
    // The end of an output's sound: what is held is padded to a whole codec frame and coded, then the
    // encoder's own held frames are written (also done by the close functions).
    void finish_sound();

    int out_format() const { return format_; }
    bool merged() const { return merged_; }
    VideoCodec codec() const { return codec_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool has_sound_track() const { return sound_track_; }
    int frame_counter() const { return frame_counter_; }
    const FrameRate& job_rate() const { return job_rate_; }
    int dialog_rate() const { return dialog_rate_; }
    // Sound bytes passed to the encoder since the output was created (padding included).
    uint64_t sound_bytes() const { return sound_bytes_; }
    // The pictures' running time of the output, in seconds.
    double picture_seconds() const;

private:
    bool fail();
    void reset_output_counts();
    void code_sound(const uint8_t* pcm, int bytes, bool honour_stop);
    void code_picture(const PictureView& picture);
    int copies_due() const;
    int64_t target_sound_bytes() const;
    void finish_held_sound();
    void close_sound_encoder();
    void close_video_encoder();
    void close_output();

    mutable std::mutex lock_;
    int format_ = 0;
    VideoCodec codec_ = VideoCodec::kH263;
    bool merged_ = false;
    OutputKit kit_;
    SoundFormat sound_format_;
    bool sound_ready_ = false, video_ready_ = false;
    int width_ = 0, height_ = 0;

    // The open output.
    bool sound_track_ = false;
    bool sound_finished_ = false;
    FrameRate header_rate_;
    uint64_t sound_bytes_ = 0;
    int64_t skip_bytes_ = 0;
    std::vector<uint8_t> held_, joined_;
    int64_t video_units_ = 0;      // MP4: durations written, in the encoder's timescale
    int64_t avi_pictures_ = 0;     // AVI: pictures written
    bool h264_pps_held_ = false, h264_track_added_ = false;
    int h264_pps_length_ = 0;
    H264Headers h264_;

    // The current job.
    FrameRate job_rate_;
    int dialog_rate_ = kDefaultFrameRate;
    int frame_counter_ = 0;
    int64_t job_offered_ = 0;      // pictures handed in during the job
    int64_t job_units_ = 0;        // MP4: units written during the job
    int64_t job_first_picture_ = 0;  // AVI: pictures written before the job
};

// The program's output session.
extern OutputSession g_output;
