// The DirectShow branch's reader, for conversion and play alike: the video reader's graph fills its
// ring of 20 pictures on DirectShow's streaming thread; read_next drains it on the worker (dshow_input::
// drain_ring) and hands each picture on, the sound held with a held ring and let go with it. The sound
// graph's callback hands its PCM to the audio path on the streaming thread. In a conversion both
// writes into the output (pictures through the frame path, sound through the audio path's encoder and
// writer) are made under one lock, so the output file is never written by two threads at once; a play
// runs both graphs at their own rate and holds them with Pause.
#include "engine/input/win32/dshow_reader.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include "base/picture.h"
#include "engine/audio/audio_path.h"
#include "engine/frame/frame_path.h"
#include "engine/input/dshow_input.h"
#include "engine/input/input_reader.h"
#include "engine/input/input_texts.h"
#include "engine/outside/outside_calls.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "engine/state/shared_buffers.h"
#include "media/dshow/dshow_audio_reader.h"
#include "media/dshow/dshow_frames.h"
#include "media/dshow/dshow_link.h"
#include "media/dshow/dshow_thread_init.h"
#include "media/dshow/dshow_video_reader.h"

namespace {

// The lock of the output side: the worker's pictures and the streaming thread's sound.
CRITICAL_SECTION* output_lock() {
    static CRITICAL_SECTION lock;
    static const bool made = (InitializeCriticalSection(&lock), true);
    (void)made;
    return &lock;
}

class OutputLock {
public:
    OutputLock() { EnterCriticalSection(output_lock()); }
    ~OutputLock() { LeaveCriticalSection(output_lock()); }
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;
};

void locked_pcm_feed(const SoundBlock& block, double rate_ratio) {
    OutputLock lock;
    audio_feed(block.samples, block.byte_size(), rate_ratio);
}

const DShowEngineLink kConversionLink = {&g_busy, locked_pcm_feed, nullptr};

class VideoRing : public dshow_input::PictureRing {
public:
    explicit VideoRing(CDShowVideoReader& v) : v_(v) {}
    int write_count() override { return v_.write_count.load(); }
    int read_count() override { return v_.read_count.load(); }
    void set_read_count(int count) override { v_.read_count.store(count); }
    const uint8_t* slot(int index, size_t* length) override {
        if (index < 0 || index >= CDShowVideoReader::kSlots) return *length = 0, nullptr;
        *length = v_.slots[index].length;
        return v_.slots[index].buffer;
    }
    bool held() override { return v_.ring_held.load() != 0; }
    bool release() override { return v_.ReleaseRing(); }
    bool running() override { return v_.IsRunning(); }

private:
    CDShowVideoReader& v_;
};

class DShowReader : public InputReader {
public:
    ~DShowReader() override { close(); }

    bool open(const MediaJob& job, const InputCalls&, std::string* error) override {
        close();
        // Its graphs would deliver nothing, never complete and never stop.
        if (dshow_file_stalls_when_run(job.path)) {
            *error = input_text::kUnsupported;
            return false;
        }
        com_ = SUCCEEDED(dshow_thread_init());
        previous_link_ = dshow_set_engine_link(&kConversionLink);
        linked_ = true;
        video_ = new CDShowVideoReader();
        std::snprintf(video_->path, sizeof video_->path, "%s", job.path);
        if (video_->OpenFile() < 0 || video_->width <= 0 || video_->height <= 0) {
            // The reader has told the user why.
            close();
            *error = input_text::kOpenFailed;
            return false;
        }
        width_ = video_->width;
        height_ = video_->height;
        const size_t bytes = dshow::rgb24_picture_bytes(width_, height_);
        for (DShowFrameSlot& slot : video_->slots) {
            slot.buffer = static_cast<uint8_t*>(std::malloc(bytes));
            slot.capacity = slot.buffer ? bytes : 0;
            slot.length = 0;
        }
        error_.clear();
        if (job.sample_rate > 0 && job.channels > 0) {
            audio_ = new CDShowAudioReader();
            std::snprintf(audio_->path, sizeof audio_->path, "%s", job.path);
            pcm_.assign(size_t(kPcmBlockBytes), 0);
            sound_out_.pcm = pcm_.data();
            sound_out_.pcm_capacity = pcm_.size();
            sound_out_.pcm_rate = job.sample_rate;
            sound_out_.pcm_channels = job.channels;
            audio_->output = &sound_out_;
            audio_->rate_ratio = g_speed_ratio;
            if (audio_->OpenFile() < 0) {
                // The job goes on without sound.
                delete audio_;
                audio_ = nullptr;
                error_ = input_text::kNoSound;
            } else {
                audio_->Run();
            }
        }
        video_->Run();
        // A play runs the graphs at their own pace; a conversion may slow them for a large output.
        const float rate = playing() ? 1.0f
                                     : float(dshow_input::graph_rate(g_out_width, g_out_height,
                                                                     g_frame_path.normal_speed(), g_out_format));
        video_->SetRate(rate);
        if (audio_) audio_->SetRate(rate);
        return true;
    }

    size_t frame_capacity() const override { return dshow::rgb24_picture_bytes(width_, height_) + 2000; }

    ReadStatus read_next(MediaOutput& out) override {
        if (!video_) return ReadStatus::kEnd;
        VideoRing ring(*video_);
        dshow_input::SoundHold hold;
        if (audio_) {
            hold.paused = [this] { return audio_->held.load() != 0; };
            hold.pause = [this] { audio_->Pause(); };
            hold.resume = [this] { audio_->Resume(); };
        }
        const int stride = picture::bgr24_stride(width_);
        const dshow_input::DrainStep step = dshow_input::drain_ring(
            ring,
            [&](const uint8_t* data, size_t length) {
                if (!data || length < size_t(stride) * size_t(height_)) return flag_on(g_busy);
                PictureView view;
                view.data = const_cast<uint8_t*>(data);
                view.width = width_;
                view.height = height_;
                view.stride = stride;
                view.format = PixelFormat::kBgr24;
                ++out.pictures;
                if (playing()) {
                    // Nothing is written in a play, and its picture step waits for the sound's clock,
                    // which the sound graph must go on feeding meanwhile: no lock.
                    if (out.on_picture) out.on_picture(view);
                } else {
                    OutputLock lock;
                    if (out.on_picture) out.on_picture(view);
                }
                ++taken_;
                return flag_on(g_busy);
            },
            audio_ ? &hold : nullptr);
        if (step == dshow_input::DrainStep::kEnded) return ReadStatus::kEnd;
        if (step == dshow_input::DrainStep::kIdle) g_outside.clock.sleep(10);
        return ReadStatus::kOk;
    }

    // Pause holds both graphs (by their user-pause flags, apart from the ring's hold), so neither the
    // pictures nor the sound run on while the play or conversion waits.
    void hold(bool paused) override {
        for (CDShowReader* graph : {static_cast<CDShowReader*>(video_), static_cast<CDShowReader*>(audio_)})
            if (graph && (graph->paused.load() != 0) != paused) graph->TogglePause();
    }

    void flush(MediaOutput&) override {}
    bool seek_frame(int frame) override { return frame == 0 && taken_ == 0; }

    void close() override {
        // The sound first: once its graph has stopped nothing feeds the output from another thread.
        if (audio_) {
            audio_->Stop();
            delete audio_;
            audio_ = nullptr;
        }
        if (video_) {
            video_->Stop();
            for (DShowFrameSlot& slot : video_->slots) {
                std::free(slot.buffer);
                slot = DShowFrameSlot{};
            }
            delete video_;
            video_ = nullptr;
        }
        if (linked_) dshow_set_engine_link(previous_link_);
        linked_ = false;
        if (com_) dshow_thread_done();
        com_ = false;
    }

    int next_frame() const override { return taken_; }
    int frame_count() const override { return 0; }
    double position() const override {
        if (!video_ || video_->duration <= 0) return 0;
        return std::clamp(double(video_->position.load()) / double(video_->duration), 0.0, 1.0);
    }

private:
    CDShowVideoReader* video_ = nullptr;
    CDShowAudioReader* audio_ = nullptr;
    const DShowEngineLink* previous_link_ = nullptr;
    bool linked_ = false, com_ = false;
    int width_ = 0, height_ = 0, taken_ = 0;
    std::vector<uint8_t> pcm_;
    MediaOutput sound_out_;
};

std::unique_ptr<InputReader> make_program_dshow_reader() { return std::make_unique<DShowReader>(); }

}  // namespace

void use_program_dshow_reader() { set_dshow_reader_maker(make_program_dshow_reader); }
