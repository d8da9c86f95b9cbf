#include "engine/input/conversion_branch.h"
#include <algorithm>
#include <cstdio>
#include "engine/audio/audio_path.h"
#include "engine/frame/frame_path.h"
#include "engine/input/dshow_input.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/outside/outside_calls.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "engine/ui/engine_ui.h"

void EngineUiSink::status(const char* text) { ui_.set_status(text); }
intptr_t EngineUiSink::notify(int code, intptr_t argument) { return ui_.notify(code, argument); }
void EngineUiSink::timeline(intptr_t frame) { ui_.notify_timeline(frame); }
void EngineUiSink::label(const char* text) { ui_.set_label(text); }
void EngineUiSink::sound_button(bool enabled) {
    ui_.set_pressed(kCtlAudio, enabled && flag_on(g_play_sound));
    ui_.enable(kCtlAudio, enabled);
}

bool segment_marked(const MediaFile* file, int frame) {
    if (!file || frame < 0) return false;
    const int count = std::min<int64_t>(file->record.segment_count > 0 ? file->record.segment_count : 0,
                                        int64_t(file->segments.size()));
    return frame < count && file->segments[size_t(frame)].entry.is_key > 0;
}

AviRange avi_range(const MediaFile* file, int video_count) {
    return marked_range(file, video_count, !file || file->record.seek_mode <= 1);
}

AviRange marked_range(const MediaFile* file, int video_count, bool walk_back) {
    AviRange range;
    const int frames = video_count > 0 ? video_count : 0;
    range.end = frames;
    if (!file) return range;
    const MediaFileRecord& record = file->record;
    const int listed = int(std::min<int64_t>(record.segment_count > 0 ? record.segment_count : 0,
                                             int64_t(file->segments.size())));
    // A range only means something over the list it was marked on; past it the whole file is the range.
    const int limit = std::min(frames, listed > 0 ? listed : frames);
    const int s = std::clamp(record.range_start, 0, limit > 0 ? limit - 1 : 0);
    int e = record.range_end;
    if (e <= s || e > limit) e = limit;
    range.announce_from = s;
    range.end = e > s ? e : frames;
    if (!walk_back) {
        range.start = s;
        return range;
    }
    range.start = 0;
    for (int f = s; f >= 0; --f)
        if (segment_marked(file, f)) {
            range.start = f;
            break;
        }
    return range;
}

namespace {

class NullSink : public BranchSink {
public:
    void status(const char*) override {}
    intptr_t notify(int, intptr_t) override { return 0; }
    void timeline(intptr_t) override {}
};

BranchResult failed(BranchSink& sink, const std::string& text) {
    sink.status(text.c_str());
    return {BranchOutcome::kFailed, text};
}

void show_path(BranchSink& sink, const char* format, const char* path) { sink.status(path_text(format, path).c_str()); }

}  // namespace

BranchResult run_conversion_branch(FileKind kind, ConversionContext& c) {
    NullSink null_sink;
    BranchSink& sink = c.sink ? *c.sink : null_sink;
    if (!c.job) return failed(sink, input_text::kOpenFailed);
    const MediaJob& job = *c.job;
    const InputCalls& calls = c.calls ? *c.calls : g_input_calls;
    FramePath& frames = c.frames ? *c.frames : g_frame_path;
    const MediaBranch branch = classify_kind(kind);
    const bool avi = branch == MediaBranch::Avi;
    const bool mp4 = branch == MediaBranch::Mp4;
    const bool mtv = branch == MediaBranch::Mtv || branch == MediaBranch::Amv;
    // The branches read by picture number: a range, notices by picture.
    const bool numbered = avi || mp4 || mtv;

    MediaJob kind_job = job;
    kind_job.file_kind = kind;
    std::string error;
    std::unique_ptr<InputReader> reader = open_branch_reader(kind_job, calls, &error);
    if (!reader) return failed(sink, error);
    // A notice of an open that goes on (a DirectShow file without a sound graph).
    if (!reader->error().empty()) sink.label(reader->error().c_str());
    // DirectShow graphs run slowed for a large output at normal speed, with the sound monitor off.
    const bool slowed = classify_kind(kind) == MediaBranch::DirectShow &&
                        dshow_input::graph_rate(g_out_width, g_out_height, frames.normal_speed(), g_out_format) < 1.0;
    if (slowed) {
        set_flag(g_play_sound, false);
        sink.sound_button(false);
    }
    if (!reader->notice().empty()) sink.label(reader->notice().c_str());
    // The sound as its decoder gives it (an AAC stream's own rate, AMR's 8 kHz mono) is converted
    // from what it is, not from what the record says.
    int sound_rate = job.sample_rate, sound_channels = job.channels;
    if (reader->sound_format(&sound_rate, &sound_channels) &&
        (sound_rate != job.sample_rate || sound_channels != job.channels))
        audio_set_up_job(sound_rate, sound_channels);
    show_path(sink, input_text::kConverting, job.path);
    frames.begin_job(job, c.job_index);

    const MediaFile* file = job.file_index >= 0 ? c.file : nullptr;
    AviRange range{0, 0, reader->frame_count()};
    int used_from = -1;
    if (numbered) {
        if (file) sink.notify(kNoticeSaveSettings, job.file_index);
        range = avi ? avi_range(file, reader->frame_count()) : marked_range(file, reader->frame_count(), mp4);
        if (range.start > 0 || range.announce_from > 0) reader->seek_range(range.start, range.announce_from);
    } else {
        // FLV and SWF find their range themselves; their pictures are announced like AVI's (an FLV
        // entry marks a key picture by frame type 1, the others carry their frame type).
        used_from = reader->use_range(file);
        if (used_from >= 0) {
            if (file) sink.notify(kNoticeSaveSettings, job.file_index);
            range.announce_from = used_from;
        }
    }
    const bool announced = avi || mp4 || used_from >= 0;
    const bool thumbnails = file && file->record.segment_count > 0;

    MediaOutput out = shared_media_output();
    out.pcm_rate = sound_rate;
    out.pcm_channels = sound_channels;
    int decoded = 0;
    int last_second = -1;
    const int span = range.end - range.start;
    out.on_picture = [&](const PictureView& picture) {
        FrameProgress progress;
        const int f = reader->next_frame();
        if (avi) {
            progress.report = f % 10 == 0;
            progress.bars_with_report = true;
            progress.fraction = span > 0 ? double(f - range.start + 1) / span : 1.0;
        } else if (mtv) {
            // The status when the whole second changes, the bars with it.
            const int count = std::max(reader->frame_count(), 1);
            const int second = job.duration_s > 0 ? int(job.duration_s * f / count) : f / 25;
            progress.report = second != last_second;
            last_second = second;
            progress.bars_with_report = true;
            progress.fraction = job.duration_s > 0 ? double(f + 1) / count : -1;
        } else {
            progress.report = decoded % (mp4 ? 10 : 5) == 0;
        }
        ++decoded;
        frames.step(picture, progress);
    };
    bool sound = false;
    out.on_sound = [&sound](const SoundBlock& block) {
        if (block.byte_size() > 0) sound = true;
        audio_take_block(block);
    };

    BranchResult result;
    for (;;) {
        if (flag_on(g_paused) && flag_on(g_busy)) {
            // A source that runs by itself (DirectShow graphs) is held with the job.
            reader->hold(true);
            while (flag_on(g_paused) && flag_on(g_busy)) g_outside.clock.sleep(10);
            reader->hold(false);
        }
        if (!flag_on(g_busy)) {
            result.outcome = BranchOutcome::kStopped;
            break;
        }
        if (numbered && reader->next_frame() >= range.end) {
            // Sound stored after the last picture belongs to the file's end; an MP4 decoder's held
            // pictures belong to the samples read.
            if (range.end >= reader->frame_count() || mp4) reader->flush(out);
            break;
        }
        // Read each time: Trim switches writing off and on during the job (the preview then shows
        // the pictures at their own size).
        frames.scale_hint(&out.scale_width, &out.scale_height);
        const int before = reader->next_frame();
        const ReadStatus status = reader->read_next(out);
        if (status == ReadStatus::kFailed) {
            result = {BranchOutcome::kFailed, reader->error()};
            break;
        }
        if (announced) {
            const int f = reader->next_frame() - 1;
            if (f >= before && f >= range.announce_from) {
                if (thumbnails && !flag_on(g_show_video) && segment_marked(file, f) &&
                    (avi || file->segments[size_t(f)].entry.is_key == 1))
                    sink.notify(kNoticeThumbnail + job.file_index, f);
                sink.timeline(f);
            }
        }
        if (!avi && !mtv) frames.update_bars(reader->position());
        if (status == ReadStatus::kEnd) {
            if (flag_on(g_busy) && (!numbered || range.end >= reader->frame_count())) reader->flush(out);
            break;
        }
    }
    out.flush_sound();
    g_pcm_len = 0;
    // A source that gave neither a picture nor sound was not a stream the branch can read.
    if (result.outcome == BranchOutcome::kDone && decoded == 0 && !sound)
        result = {BranchOutcome::kFailed, input_text::kUnsupported};
    reader->close();
    if (slowed) sink.sound_button(true);
    audio_end_of_job();
    frames.end_job();
    frame_buffer_free();
    if (result.outcome == BranchOutcome::kFailed) {
        sink.status(result.text.c_str());
    } else {
        show_path(sink, input_text::kConverted, job.path);
    }
    return result;
}
