#include "soundfx/core/effects/sweep_voice.h"
#include <cmath>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {

// The modulation table: round(A sin) over whole degrees, A 1024 for the sweep's formula and 16384
// for the chorus's (which divides by 16), so that the rate slider moves the delay.
SweepVoice::SweepVoice(Mode mode) : mode_(mode) {
    const double amplitude = mode == kSweep ? 1024.0 : 16384.0;
    for (int i = 0; i < 360; ++i) table_[i] = int(std::lround(amplitude * std::sin(2.0 * 3.14159265358979323846 * i / 360.0)));
    set_params(params_);
}

void SweepVoice::reset(const Context& context) {
    on = 0;
    format_ = context.format;
    set_params(Params());
    phase_ = end_phase_ = 0;
    for (DelayLine& line : lines_) fx_delay_alloc(&line, format_.rate);
}

void SweepVoice::clear() {
    for (DelayLine& line : lines_) fx_delay_clear(&line);
}

void SweepVoice::release() {
    for (DelayLine& line : lines_) fx_delay_free(&line);
}

void SweepVoice::set_params(const Params& p) {
    params_.wet = limit_int(Limit::SweepLevel, p.wet);
    params_.dry = limit_int(Limit::SweepLevel, p.dry);
    params_.depth = limit_int(Limit::SweepDepth, p.depth);
    params_.rate = limit_int(Limit::SweepRate, p.rate, format_);
    params_.feedback = limit_int(Limit::SweepFeedback, p.feedback);
    for (int i = 0; i < 360; ++i) delay_of_degree_[i] = delay_for(table_[i]);
}

int SweepVoice::delay_for(int v) const {
    const int d = mode_ == kSweep ? ((v + 1024) * params_.depth * 8) / 2048
                                  : ((v / 16 + 1024) * params_.depth * 128) / 2048;
    return d < 0 ? 0 : d;
}

void SweepVoice::process_channel(float* x, int n, int channel, Work&) {
    DelayLine* line = &lines_[channel & 1];
    const int length = line->length;
    if (length <= 0) return;
    float* samples = line->samples.data();
    int position = line->position;
    const float step = params_.rate * 0.001f;
    const float wet = params_.wet / 256.0f, dry = params_.dry / 256.0f, feedback = params_.feedback / 256.0f;
    const int fixed = delay_of_degree_[int(phase_) % 360];
    float running = phase_;
    for (int j = 0; j < n; ++j) {
        int d = mode_ == kSweep ? fixed : delay_of_degree_[int(running) % 360];
        running += step;
        if (running >= 359.0f) running = 0;
        // fx_delay_tap and fx_delay_push on the line's fields held here.
        d = d > length - 1 ? length - 1 : d;
        const int at = position - d;
        const float t = samples[at < 0 ? at + length : at];
        const float y = wet * t + dry * x[j];
        if (++position >= length) position = 0;
        samples[position] = x[j] + feedback * t;
        x[j] = float(clamp_finite(y * 0.85, -32768.0, 32767.0));
    }
    line->position = position;
    end_phase_ = running;
}

void SweepVoice::end_piece(int) { phase_ = end_phase_; }

void SweepVoice::check_state(StateCheck& check) const {
    check.add(phase_);
    for (const DelayLine& line : lines_) check.add_all(line.samples);
}

}  // namespace soundfx
