#include "engine/input/dshow_input.h"
#include "engine/input/input_reader.h"

namespace dshow_input {

double graph_rate(int out_width, int out_height, bool normal_speed, int out_format) {
    const int64_t area = int64_t(out_width > 0 ? out_width : 0) * int64_t(out_height > 0 ? out_height : 0);
    if (!normal_speed || area < 12300) return 1.0;
    double rate = 0.25;
    if (area < 19201)
        rate = 0.85;
    else if (area < 25060)
        rate = 0.75;
    else if (area < 50120)
        rate = 0.65;
    else if (area < 80220)
        rate = 0.55;
    else if (area < 101400)
        rate = 0.45;
    else if (area < 131400)
        rate = 0.33;
    if (out_format >= 1) rate += 0.1;
    return rate;
}

DrainStep drain_ring(PictureRing& ring, const std::function<bool(const uint8_t*, size_t)>& take, SoundHold* sound) {
    bool took = false;
    for (int r = ring.read_count(); r < ring.write_count(); r = ring.read_count()) {
        size_t length = 0;
        const uint8_t* data = ring.slot(r, &length);
        const bool go_on = take(data, length);
        ring.set_read_count(r + 1);
        took = true;
        if (!go_on) return DrainStep::kEnded;
        if (sound && ring.held() && sound->paused && !sound->paused() && sound->pause) sound->pause();
    }
    if (took) return DrainStep::kTook;
    // The hold is looked at before the end: a held callback has stored pictures the end must not lose.
    if (ring.release()) {
        if (sound && sound->paused && sound->paused() && sound->resume) sound->resume();
        return DrainStep::kReleased;
    }
    if (!ring.running()) return ring.read_count() < ring.write_count() ? DrainStep::kTook : DrainStep::kEnded;
    return DrainStep::kIdle;
}

}  // namespace dshow_input

namespace {
std::unique_ptr<InputReader> (*g_dshow_maker)() = nullptr;
}

std::unique_ptr<InputReader> make_dshow_reader() { return g_dshow_maker ? g_dshow_maker() : nullptr; }
void set_dshow_reader_maker(std::unique_ptr<InputReader> (*maker)()) { g_dshow_maker = maker; }
