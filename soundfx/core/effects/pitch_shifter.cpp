#include "soundfx/core/effects/pitch_shifter.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include "soundfx/core/dsp/fft.h"
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {
constexpr double kPi = 3.14159265358979323846;

void zero(std::vector<float>& v) { std::fill(v.begin(), v.end(), 0.0f); }
}  // namespace

PitchShifter::PitchShifter() {
    for (Channel& ch : channels_) {
        ch.in_fifo.resize(kMaxFrame);
        ch.out_fifo.resize(kMaxFrame);
        ch.work.resize(2 * kMaxFrame);
        ch.last_phase.resize(kMaxFrame / 2 + 1);
        ch.sum_phase.resize(kMaxFrame / 2 + 1);
        ch.out_accum.resize(2 * kMaxFrame);
        ch.ana_freq.resize(kMaxFrame);
        ch.ana_magn.resize(kMaxFrame);
        ch.syn_freq.resize(kMaxFrame);
        ch.syn_magn.resize(kMaxFrame);
    }
    window_.reserve(kMaxFrame);
    set_params(Params());
}

void PitchShifter::reset(const Context& context) {
    on = 0;
    rate_ = context.format.rate;
    set_params(Params());
    clear();
}

void PitchShifter::clear() {
    for (Channel& ch : channels_) {
        ch.ready = false;
        ch.rover = 0;
    }
}

void PitchShifter::set_params(const Params& p) {
    const int frame = limit_pitch_frame(p.frame);
    const int depth = limit_int(Limit::PitchDepth, p.depth);
    const bool layout_changed = frame != params_.frame || depth != params_.depth || window_.empty();
    params_.offset = float(limit(Limit::PitchOffset, p.offset));
    params_.frame = frame;
    params_.depth = depth;
    ratio_ = float(std::pow(2.0, double(params_.offset)));
    rate_position_ = int((params_.offset + 1.0f) * 10.0f);
    if (layout_changed) {
        window_.resize(size_t(frame));
        for (int k = 0; k < frame; ++k) window_[k] = float(0.5 - 0.5 * std::cos(2.0 * kPi * k / frame));
        clear();
    }
}

void PitchShifter::process_channel(float* x, int n, int channel, Work&) {
    Channel& ch = channels_[channel & 1];
    const int N = params_.frame, O = params_.depth;
    const int step = N / O, latency = N - step;
    if (ch.rover < latency || ch.rover >= N) ch.rover = latency;
    if (!ch.ready) {
        ch.ready = true;
        for (auto* v : {&ch.in_fifo, &ch.out_fifo, &ch.work, &ch.last_phase, &ch.sum_phase, &ch.out_accum,
                        &ch.ana_freq, &ch.ana_magn, &ch.syn_freq, &ch.syn_magn})
            zero(*v);
    }
    for (int j = 0; j < n; ++j) {
        ch.in_fifo[ch.rover] = x[j];
        x[j] = float(clamp_finite(ch.out_fifo[ch.rover - latency], -32768.0, 32767.0));
        if (++ch.rover >= N) {
            ch.rover = latency;
            process_frame(ch);
        }
    }
}

void PitchShifter::process_frame(Channel& ch) {
    const int N = params_.frame, O = params_.depth;
    const int step = N / O, half = N / 2, latency = N - step;
    const double bin = double(rate_) / N;
    const double expected = 2.0 * kPi * step / N;
    float* work = ch.work.data();

    // Window and forward transform.
    for (int k = 0; k < N; ++k) {
        work[2 * k] = ch.in_fifo[k] * window_[k];
        work[2 * k + 1] = 0.0f;
    }
    fx_fft(work, N, -1);

    // Analysis: magnitude and true frequency of each bin.
    for (int k = 0; k <= half; ++k) {
        const float re = work[2 * k], im = work[2 * k + 1];
        const double magnitude = 2.0f * std::sqrt(re * re + im * im);
        const double phase = std::atan2(im, re);
        double d = phase - ch.last_phase[k];
        ch.last_phase[k] = float(phase);
        d -= k * expected;
        long q = long(d / kPi);
        if (q >= 0) {
            q += q & 1;
        } else {
            q -= q & 1;
        }
        d -= kPi * double(q);
        d = O * d / (2.0 * kPi);
        ch.ana_freq[k] = float((k + d) * bin);
        ch.ana_magn[k] = float(magnitude);
    }

    // Resampling: output bin k takes input bin k / ratio.
    std::fill(ch.syn_magn.begin(), ch.syn_magn.begin() + N, 0.0f);
    std::fill(ch.syn_freq.begin(), ch.syn_freq.begin() + N, 0.0f);
    const double inverse = 1.0 / ratio_;
    for (int k = 0; k <= half; ++k) {
        const int i = int(k * inverse);
        if (i <= half) {
            ch.syn_magn[k] += ch.ana_magn[i];
            ch.syn_freq[k] = ch.ana_freq[i] * ratio_;
        }
    }

    // Synthesis; the running phase is kept within a turn either way of 0 so it keeps its precision
    // for hours (the spectrum's phases are what they were, less whole turns).
    for (int k = 0; k <= half; ++k) {
        double d = (ch.syn_freq[k] - k * bin) / bin;
        d = 2.0 * kPi * d / O + k * expected;
        double phase = double(ch.sum_phase[k]) + d;
        phase -= 2.0 * kPi * double(long(phase * (0.5 / kPi)));
        ch.sum_phase[k] = float(phase);
        const float p = float(phase);
        work[2 * k] = ch.syn_magn[k] * std::cos(p);
        work[2 * k + 1] = ch.syn_magn[k] * std::sin(p);
    }
    std::fill(work + N + 2, work + 2 * N, 0.0f);
    fx_fft(work, N, 1);

    // Overlap-add, then move the FIFOs on by one step.
    const double scale = 2.0 / (double(half) * O);
    for (int k = 0; k < N; ++k) ch.out_accum[k] += float(scale * window_[k] * work[2 * k]);
    std::memcpy(ch.out_fifo.data(), ch.out_accum.data(), sizeof(float) * step);
    std::memmove(ch.out_accum.data(), ch.out_accum.data() + step, sizeof(float) * N);
    std::fill(ch.out_accum.begin() + N, ch.out_accum.begin() + N + step, 0.0f);
    std::memmove(ch.in_fifo.data(), ch.in_fifo.data() + step, sizeof(float) * latency);
}

void PitchShifter::check_state(StateCheck& check) const {
    for (const Channel& ch : channels_) {
        check.add_all(ch.in_fifo);
        check.add_all(ch.out_fifo);
        check.add_all(ch.last_phase);
        check.add_all(ch.sum_phase);
        check.add_all(ch.out_accum);
    }
}

}  // namespace soundfx
