// The DirectShow branch's parts that do not need DirectShow, tested natively: the graph rate a
// conversion runs at, and the worker's side of the picture ring the video reader's callback fills.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace dshow_input {

// The rate both graphs of a conversion run at: at normal speed, for an output of 12,300 pixels or
// more, by the output's area (0.85 below 19,201 down to 0.25 from 131,400), 0.1 more for MP4 and AVI
// output (format 1 or above); 1.0 at fast speed or for a smaller output. While it is below 1.0 the
// sound monitor is off.
double graph_rate(int out_width, int out_height, bool normal_speed, int out_format);

// The ring as the worker sees it. The callback stores pictures in slots 0, 1, ... and publishes each
// by raising the write count; from a set number on it holds until the worker has taken every picture
// and released it, which empties the ring.
class PictureRing {
public:
    virtual ~PictureRing() = default;
    virtual int write_count() = 0;
    virtual int read_count() = 0;
    virtual void set_read_count(int count) = 0;
    virtual const uint8_t* slot(int index, size_t* length) = 0;
    // The callback holds (it waits for room).
    virtual bool held() = 0;
    // When held and every stored picture is taken: empties the ring, lets the callback go on, true.
    virtual bool release() = 0;
    // False once the stream has ended (pictures stored before may still be in the ring).
    virtual bool running() = 0;
};

// The sound graph's hold: the sound waits while the pictures are held, and goes on with them.
struct SoundHold {
    std::function<bool()> paused;  // the hold is on
    std::function<void()> pause;
    std::function<void()> resume;
};

enum class DrainStep {
    kTook,      // pictures were taken
    kIdle,      // nothing stored, the callback goes on: wait a little
    kReleased,  // the ring was emptied and the callback released
    kEnded,     // the stream has ended and every picture stored was taken
};

// One pass of the worker: takes every stored picture in order (take: the slot's bytes), holding the
// sound once the callback holds; with nothing left, releases a held ring (and the sound with it) or
// reports the end. take returns false to stop at once (the run is stopped): kEnded.
DrainStep drain_ring(PictureRing& ring, const std::function<bool(const uint8_t*, size_t)>& take, SoundHold* sound);

}  // namespace dshow_input
