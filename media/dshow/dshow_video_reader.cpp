#include "dshow_video_reader.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include "base/message_seam.h"
#include "media/dshow/dshow_frames.h"
#include "media/dshow/dshow_link.h"
#include "media/dshow/dshow_texts.h"

CDShowVideoReader::CDShowVideoReader() : callback_(this) {
    release_event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

CDShowVideoReader::~CDShowVideoReader() {
    ReleaseGraph();
    if (release_event_) CloseHandle(release_event_);
}

void CDShowVideoReader::Report(const char* format, const char* file) {
    char text[1024];
    snprintf(text, sizeof text, format, file ? file : "");
    seam::report(text, dshow_text::kCaption, seam::kOk);
}

int CDShowVideoReader::Open(const char* file, const wchar_t* grabber_name, const wchar_t* source_name, bool probing) {
    AM_MEDIA_TYPE type;
    int r = BuildGraph(file, DShowMedia::kPicture, grabber_name, source_name, &callback_, &type);
    // A sound-only file: some systems connect it and report another format, others refuse the
    // connection; either way the file has no pictures.
    if (r == kDShowNoConnection && dshow_file_has_sound(file)) r = kDShowWrongFormat;
    if (r != kDShowOk) {
        if (r == kDShowWrongFormat)
            Report(dshow_text::kNoVideo, file);
        else if (!probing)
            Report(r == kDShowNoGraph ? dshow_text::kNoDirectShow
                                      : r == kDShowNoSource ? dshow_text::kNoSourceFilter : dshow_text::kNoDecoder,
                   file);
        return r;
    }
    const VIDEOINFOHEADER* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    header = info->bmiHeader;
    width = info->bmiHeader.biWidth;
    height = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    frame_duration = info->AvgTimePerFrame;
    frame_rate = dshow::frame_rate(frame_duration);
    seconds_per_frame = double(frame_duration) * 1e-7;
    picture_bytes_ = dshow::rgb24_picture_bytes(width, info->bmiHeader.biHeight);
    FreeConnectedType(&type);
    duration = 0;
    seeking->GetDuration(&duration);
    return kDShowOk;
}

int CDShowVideoReader::ProbeFile(const char* file, BITMAPINFOHEADER* format, double* seconds, LONGLONG* length,
                                 DWORD* bit_rate, float* rate_out) {
    if (open.load()) return 0;
    AM_MEDIA_TYPE type;
    int r = Open(file, L"SampleGrabber", L"Source", true);
    if (r != kDShowOk) return r;
    // The bit rate is read from the connected format once more (Open keeps only the header).
    DWORD bits = 0;
    if (SUCCEEDED(grabber->GetConnectedMediaType(&type))) {
        bits = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->dwBitRate;
        FreeConnectedType(&type);
    }
    // Frames counted by the graph where it can, else from the duration and the frame time.
    LONGLONG frames = -1;
    if (SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_FRAME))) {
        LONGLONG f = 0;
        if (SUCCEEDED(seeking->GetDuration(&f))) frames = f > INT32_MAX ? f / 1000 : f;
        seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    }
    frame_count = frames >= 0 ? frames : dshow::frame_count(duration, frame_duration);
    if (format) *format = header;
    if (seconds) *seconds = dshow::duration_seconds(frame_count, frame_duration, duration);
    if (length) *length = duration;
    if (bit_rate) *bit_rate = bits;
    if (rate_out) *rate_out = float(frame_rate);
    ReleaseGraph();
    return kDShowOk;
}

int CDShowVideoReader::OpenFile() {
    const int r = Open(path, L"SampleGrabber", L"Source", false);
    if (r != kDShowOk) return r;
    SetRate(1.0f);
    seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    frame_count = dshow::frame_count(duration, frame_duration);
    return kDShowOk;
}

void CDShowVideoReader::OnRun() {
    write_count = 0;
    read_count = 0;
    ring_held = 0;
    running = 1;
    stopping_ = 0;
    end_reached_ = 0;
    end_notices = 0;
    stalled = 0;
    delivered = 0;
    dropped = 0;
    ResetEvent(release_event_);
}

void CDShowVideoReader::OnStop() {
    // A callback waiting for room must return before the graph can stop.
    stopping_ = 1;
    running = 0;
    SetEvent(release_event_);
}

void CDShowVideoReader::Resume() {
    if (ring_held.exchange(0)) SetEvent(release_event_);
    CDShowReader::Resume();
}

bool CDShowVideoReader::ReleaseRing() {
    if (!ring_held.load() || read_count.load() < write_count.load()) return false;
    write_count = 0;
    read_count = 0;
    Resume();
    return true;
}

bool CDShowVideoReader::IsRunning() {
    if (running.load() && events) {
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT) running = 0;
        }
    }
    if (running.load() && Stalled(StallLimitMs())) {
        stalled = 1;
        running = 0;
    }
    return running.load() != 0;
}

DWORD CDShowVideoReader::StallLimitMs() const {
    const double frame_ms = std::clamp(seconds_per_frame, 0.0, 10.0) * 1000.0;
    return DWORD((6000.0 + 2.0 * frame_ms) / std::max(rate, 0.1));
}

void CDShowVideoReader::StorePicture(const BYTE* data, LONG length) {
    MediaOutput* out = output;
    if (out && out->frame.data) {
        // Playback: the picture replaces the one in the frame buffer.
        if (!dshow::copy_picture_top_down(data, size_t(length), width, header.biHeight, out->frame.data,
                                          out->frame_capacity)) {
            ++dropped;
            if (picture_bytes_ > out->frame_capacity) ++out->pictures_too_big;
            return;
        }
        out->frame.width = width;
        out->frame.height = height;
        out->frame.stride = int(picture_bytes_ / size_t(height));
        out->frame.format = PixelFormat::kBgr24;
        ++out->pictures;
        if (out->on_picture) out->on_picture(out->frame);
        return;
    }
    // Conversion: the ring. At kHoldAt pictures the callback waits until the worker has drained
    // them and Resume has reset the counts.
    while (write_count.load() >= kHoldAt && !stopping_.load()) {
        ring_held = 1;
        while (WaitForSingleObject(release_event_, 10) == WAIT_TIMEOUT)
            if (stopping_.load() || !dshow_engine_busy()) break;
        if (!dshow_engine_busy()) return;
    }
    if (stopping_.load()) return;
    const int w = write_count.load();
    if (w >= kSlots) return;
    DShowFrameSlot& slot = slots[w];
    if (!slot.buffer ||
        !dshow::copy_picture_top_down(data, size_t(length), width, header.biHeight, slot.buffer,
                                      slot.capacity)) {
        ++dropped;
        return;
    }
    slot.length = picture_bytes_;
    slot.time_step_ms = int((position.load() - previous_position.load()) / 10000);
    write_count.store(w + 1);  // published after the picture
}

void CDShowVideoReader::OnBuffer(double time, const BYTE* data, LONG length) {
    if (!dshow_engine_busy()) return;
    previous_position = position.load();
    position = LONGLONG(std::llround(time * double(dshow::kUnitsPerSecond)));
    position_seconds = time;
    ++delivered;
    StorePicture(data, length);
    // Playback ends 0.6 s before the file does: the notice goes once to the engine.
    if (output && output->frame.data && position.load() >= duration - kEndLead && !end_reached_.exchange(1)) {
        ++end_notices;
        running = 0;
        const DShowEngineLink* link = dshow_engine_link();
        if (link && link->end_notice) link->end_notice();
    }
}
