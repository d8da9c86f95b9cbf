#include "engine/output/output_session.h"
#include <algorithm>
#include <cstring>
#include "base/message_seam.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"

OutputSession g_output;

namespace {

// round(a · num / den) for non-negative values.
int64_t scaled(int64_t a, int64_t num, int64_t den) { return (2 * a * num + den) / (2 * den); }

constexpr int kSilencePiece = 65536;

}  // namespace

void OutputSession::begin_run(int out_format, VideoCodec codec, bool merged) {
    std::lock_guard<std::mutex> hold(lock_);
    format_ = out_format;
    codec_ = out_format == kOut3gp ? VideoCodec::kH263 : codec;
    merged_ = merged;
    kit_ = choose_output_kit(out_format, codec_);
    sound_ready_ = video_ready_ = false;
    sound_format_ = SoundFormat{};
    reset_output_counts();
}

void OutputSession::end_run() {
    std::lock_guard<std::mutex> hold(lock_);
    kit_ = OutputKit{};
    sound_ready_ = video_ready_ = false;
}

bool OutputSession::fail() {
    seam::report(output_failure_text(format_), kConverterCaption, seam::kOk);
    return false;
}

bool OutputSession::set_up_sound(bool again) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!kit_.sound) return fail();
    SoundFormat format = again ? sound_format_ : SoundFormat{};
    if (!kit_.sound->set_up(again, &format)) return fail();
    if (!again) {
        sound_format_ = format;
        g_out_rate = format.rate;
        g_out_channels = format.channels;
        g_channel_mode = format.channel_mode;
    }
    sound_ready_ = true;
    sound_finished_ = false;
    held_.clear();
    return true;
}

bool OutputSession::set_up_video(const MediaJob& job) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!kit_.video) return fail();
    int width = g_out_width, height = g_out_height;
    round_output_size(codec_, &width, &height);
    g_out_width = width_ = width;
    g_out_height = height_ = height;
    const int fallback = job_default_rate(format_, merged_);
    if (!kit_.video->set_up(width, height, exact_frame_rate(job.frame_rate, fallback),
                            dialog_frame_rate(job.frame_rate, fallback)))
        return fail();
    video_ready_ = true;
    return true;
}

bool OutputSession::create(const char* path, const MediaJob& job, bool has_sound) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!kit_.writer || !sound_ready_ || !video_ready_) return fail();
    reset_output_counts();
    const int fallback = job_default_rate(format_, merged_);
    header_rate_ = exact_frame_rate(job.frame_rate, fallback);
    OutputTracks tracks;
    tracks.video = codec_;
    tracks.width = width_;
    tracks.height = height_;
    tracks.rate = header_rate_;
    tracks.sound = has_sound;
    tracks.sound_format = sound_format_;
    tracks.sound_track = &kit_.sound->track();
    if (!kit_.writer->create(path, tracks)) return fail();
    sound_track_ = has_sound;
    return true;
}

bool OutputSession::is_open() const {
    std::lock_guard<std::mutex> hold(lock_);
    return kit_.writer && kit_.writer->is_open();
}

void OutputSession::reset_output_counts() {
    sound_track_ = false;
    sound_bytes_ = 0;
    skip_bytes_ = 0;
    held_.clear();
    video_units_ = 0;
    avi_pictures_ = 0;
    h264_pps_held_ = h264_track_added_ = false;
    h264_pps_length_ = 0;
    job_offered_ = job_units_ = job_first_picture_ = 0;
    frame_counter_ = 0;
}

void OutputSession::begin_job(const MediaJob& job) {
    std::lock_guard<std::mutex> hold(lock_);
    const int fallback = job_default_rate(format_, merged_);
    job_rate_ = exact_frame_rate(job.frame_rate, fallback);
    dialog_rate_ = dialog_frame_rate(job.frame_rate, fallback);
    frame_counter_ = 0;
    job_offered_ = 0;
    job_units_ = 0;
    job_first_picture_ = avi_pictures_;
}

int OutputSession::copies_due() const {
    if (!kit_.writer->constant_rate()) return 1;
    // Pictures the header rate owes by the end of this picture, counted from the job's start.
    const int64_t owed = scaled(job_offered_ + 1, header_rate_.num * job_rate_.den, header_rate_.den * job_rate_.num);
    return int(std::max<int64_t>(0, job_first_picture_ + owed - avi_pictures_));
}

void OutputSession::write_picture(const PictureView& picture) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!video_ready_ || !kit_.writer || !kit_.writer->is_open()) return;
    const int copies = copies_due();
    for (int i = 0; i < copies; ++i) code_picture(picture);
    ++job_offered_;
}

void OutputSession::code_picture(const PictureView& picture) {
    VideoEncoder& video = *kit_.video;
    OutputWriter& writer = *kit_.writer;
    CodedPicture coded;
    const int n = video.encode(picture, frame_counter_, &coded);
    if (n <= 0) {
        if (video.counts_empty_pictures()) ++frame_counter_;
        return;
    }
    if (writer.wants_h264_track()) {
        // The track goes in at the first picture after which the encoder has a sequence set.
        if (!h264_pps_held_) {
            h264_pps_length_ = std::clamp(video.picture_parameter_set(h264_.pps), 0, H264Headers::kCapacity);
            h264_pps_held_ = h264_pps_length_ > 0;
        }
        if (!h264_track_added_) {
            const int sps_length = std::clamp(video.sequence_parameter_set(h264_.sps), 0, H264Headers::kCapacity);
            if (sps_length > 0) {
                h264_track_added_ = true;
                int profile = 0, compatibility = 0, level = 0;
                video.stream_values(&profile, &compatibility, &level);
                writer.add_h264_track(width_, height_, level, compatibility, profile, h264_.pps, h264_pps_length_,
                                      h264_.sps, sps_length);
            }
        }
    }
    const int duration = int(picture_time(job_rate_, job_offered_ + 1, video.timescale()) - job_units_);
    writer.write_picture(coded, std::max(duration, 0));
    if (duration > 0) {
        job_units_ += duration;
        video_units_ += duration;
    }
    ++avi_pictures_;
    ++frame_counter_;
}

void OutputSession::write_sound(const uint8_t* pcm, int bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    code_sound(pcm, bytes, true);
}

void OutputSession::code_sound(const uint8_t* pcm, int bytes, bool honour_stop) {
    if (!sound_ready_ || sound_finished_ || !sound_track_ || !pcm || bytes <= 0) return;
    if (skip_bytes_ > 0) {
        const int skip = int(std::min<int64_t>(skip_bytes_, bytes));
        pcm += skip;
        bytes -= skip;
        skip_bytes_ -= skip;
        if (bytes <= 0) return;
    }
    SoundEncoder& encoder = *kit_.sound;
    OutputWriter& writer = *kit_.writer;
    sound_bytes_ += uint64_t(bytes);
    joined_.assign(held_.begin(), held_.end());
    joined_.insert(joined_.end(), pcm, pcm + bytes);
    const size_t block = size_t(encoder.block_bytes());
    const uint64_t per_second = uint64_t(std::max(1, sound_format_.rate)) * uint64_t(std::max(1, sound_format_.channels));
    size_t pos = 0;
    while ((!honour_stop || flag_on(g_busy)) && block > 0 && joined_.size() - pos >= block) {
        const unsigned time_ms = unsigned((sound_bytes_ + pos) * 500 / per_second);
        encoder.encode(joined_.data() + pos, int(block), time_ms, writer);
        pos += block;
    }
    if (honour_stop && !flag_on(g_busy)) held_.clear();
    else held_.assign(joined_.begin() + pos, joined_.end());
}

int64_t OutputSession::target_sound_bytes() const {
    const int64_t rate = sound_format_.rate, frame = 2 * int64_t(sound_format_.channels);
    int64_t samples;
    if (kit_.writer->constant_rate())
        samples = scaled(avi_pictures_, rate * header_rate_.den, header_rate_.num);
    else
        samples = scaled(video_units_, rate, kit_.video->timescale());
    return samples * frame;
}

void OutputSession::end_job() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!merged_ || !sound_ready_ || !sound_track_ || !kit_.writer || !kit_.writer->is_open()) return;
    const int64_t missing = target_sound_bytes() - int64_t(sound_bytes_);
    skip_bytes_ = missing < 0 ? -missing : 0;
    if (missing <= 0) return;
    const std::vector<uint8_t> silence(size_t(std::min<int64_t>(missing, kSilencePiece)), 0);
    for (int64_t left = missing; left > 0 && flag_on(g_busy);) {
        const int piece = int(std::min<int64_t>(left, int64_t(silence.size())));
        code_sound(silence.data(), piece, true);
        left -= piece;
    }
}

void OutputSession::finish_sound() {
    std::lock_guard<std::mutex> hold(lock_);
    finish_held_sound();
}

void OutputSession::finish_held_sound() {
    if (!sound_ready_ || sound_finished_ || !kit_.sound || !kit_.writer) return;
    SoundEncoder& encoder = *kit_.sound;
    if (sound_track_ && !held_.empty()) {
        const size_t frame = size_t(std::max(1, encoder.frame_bytes()));
        const size_t block = size_t(std::max(1, encoder.block_bytes()));
        held_.resize((held_.size() + frame - 1) / frame * frame, 0);
        for (size_t pos = 0; pos < held_.size();) {
            const size_t piece = std::min(block, held_.size() - pos);
            encoder.encode(held_.data() + pos, int(piece), 0, *kit_.writer);
            pos += piece;
        }
    }
    held_.clear();
    encoder.finish(*kit_.writer);
    sound_finished_ = true;
}

double OutputSession::picture_seconds() const {
    std::lock_guard<std::mutex> hold(lock_);
    if (!kit_.writer || !kit_.video) return 0;
    if (kit_.writer->constant_rate()) return double(avi_pictures_) * header_rate_.den / header_rate_.num;
    return double(video_units_) / kit_.video->timescale();
}

void OutputSession::close_sound_encoder() {
    if (!kit_.sound) return;
    if (sound_ready_) {
        finish_held_sound();
        kit_.sound->close();
    }
    sound_ready_ = false;
}

void OutputSession::close_video_encoder() {
    if (kit_.video && video_ready_) kit_.video->close();
    video_ready_ = false;
}

void OutputSession::close_output() {
    if (kit_.writer) kit_.writer->close();
}

void OutputSession::close_between_jobs() {
    std::lock_guard<std::mutex> hold(lock_);
    close_sound_encoder();
    close_output();
    close_video_encoder();
}

void OutputSession::close_at_end() {
    std::lock_guard<std::mutex> hold(lock_);
    close_sound_encoder();
    close_video_encoder();
    close_output();
}
