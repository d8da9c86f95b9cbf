// Pictures through DirectShow: probes a file's picture format, rate and duration, or plays it.
// Playing hands each picture either to the frame buffer of `output` (playback shows it from there)
// or, without a frame buffer, into a ring of 20 slots that the conversion drains. Pictures are stored
// as B,G,R rows top-down with rows padded to 4 bytes; one whose size is not the connected format's,
// or that does not fit, is dropped and counted.
//
// When the ring holds 15 pictures the callback waits (the graph is not touched from its own thread)
// until Resume releases it; Stop releases it too before stopping the graph.
#pragma once
#include "media/dshow/dshow_graph.h"
#include "media/dshow/dshow_grabber_cb.h"
#include "base/media_output.h"

class CDShowVideoReader;
using CVideoGrabberCB = CGrabberCB<CDShowVideoReader>;

struct DShowFrameSlot {
    uint8_t* buffer = nullptr;  // set by the caller
    size_t capacity = 0;
    size_t length = 0;          // of the picture stored, 0 when empty
    int time_step_ms = 0;       // since the picture before it
};

class CDShowVideoReader : public CDShowReader {
public:
    static constexpr int kSlots = 20;
    static constexpr int kHoldAt = 15;
    static constexpr LONGLONG kEndLead = 6'000'000;  // the end notice comes 0.6 s before the end

    CDShowVideoReader();
    ~CDShowVideoReader() override;

    // The file's picture format (the 40-byte header of the connected RGB24 format), seconds, 100-ns
    // duration, bit rate and frame rate. 0, or -1..-4 (DShowResult); -4 with its message for a file
    // with sound but no pictures. The graph is torn down again.
    int ProbeFile(const char* file, BITMAPINFOHEADER* format, double* seconds, LONGLONG* length, DWORD* bit_rate,
                  float* rate_out);
    // Builds the graph for `path` and keeps it: 0, or -1..-4 after its message to the user.
    int OpenFile();
    // Releases a ring hold (and the Pause hold).
    void Resume() override;
    // The conversion's side of the ring: pictures are taken from slots[read_count] while read_count is
    // below write_count. When the callback holds and every stored picture has been taken, ReleaseRing
    // empties the ring, resumes and returns true. It looks at the hold first and at the counts after:
    // once the callback holds they cannot change, while a drained ring seen first may have been filled
    // and held since.
    bool ReleaseRing();
    // False once the stream has ended: at the end notice in playback, at the graph's completion
    // otherwise (pictures stored before the completion was seen are still in the ring: drain it once
    // more), or once the running graph has stalled (StallLimitMs without a picture; `stalled` is set).
    // Polls the graph's events, so it is called from the worker, never from the callback.
    bool IsRunning();
    // How long a running graph may go without a picture: 6 s and two picture times of the file, at
    // the graph's rate.
    DWORD StallLimitMs() const;

    BITMAPINFOHEADER header = {};  // of the connected format
    int width = 0, height = 0;
    LONGLONG frame_duration = 0;  // AvgTimePerFrame
    double frame_rate = 0;        // 10,000,000 / AvgTimePerFrame
    double seconds_per_frame = 0;
    LONGLONG frame_count = 0;
    std::atomic<double> position_seconds{0};

    // Playback: the frame buffer. Without one, the ring takes the pictures.
    MediaOutput* output = nullptr;
    DShowFrameSlot slots[kSlots];
    std::atomic<int> write_count{0}, read_count{0};
    std::atomic<uint8_t> ring_held{0};
    std::atomic<uint8_t> running{0};
    std::atomic<int> delivered{0};     // pictures the graph delivered while the engine was busy
    std::atomic<int> dropped{0};       // pictures of the wrong size or too big for their buffer
    std::atomic<int> end_notices{0};
    std::atomic<uint8_t> stalled{0};  // the graph went quiet without completing

    void OnBuffer(double time, const BYTE* data, LONG length);

protected:
    void OnRun() override;
    void OnStop() override;

private:
    int Open(const char* file, const wchar_t* grabber_name, const wchar_t* source_name, bool probing);
    void Report(const char* format, const char* file);
    void StorePicture(const BYTE* data, LONG length);

    CVideoGrabberCB callback_;
    HANDLE release_event_ = nullptr;  // signalled by Resume and Stop
    std::atomic<uint8_t> stopping_{0};
    std::atomic<uint8_t> end_reached_{0};
    size_t picture_bytes_ = 0;
};
