#include "soundfx/core/effects/pitch_shifter.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include "soundfx/core/dsp/pcm.h"
#include "soundfx/core/dsp/vector_math.h"
#include "soundfx/core/safe_range.h"

namespace soundfx {
namespace {
constexpr double kPi = 3.14159265358979323846;

void zero(std::vector<float>& v) { std::fill(v.begin(), v.end(), 0.0f); }

// x less the nearest whole number of turns, as a float in -pi..pi.
float less_turns(double x) { return float(x - 2.0 * kPi * std::nearbyint(x / (2.0 * kPi))); }

// -32768..32767; NaN gives -32768.
inline float clamp_sample(float v) { return v >= -32768.0f ? (v > 32767.0f ? 32767.0f : v) : -32768.0f; }
}  // namespace

PitchShifter::PitchShifter()
    : window_(kMaxFrame),
      ola_weight_(kMaxFrame),
      advance_(kBins),
      source_(kBins),
      offset_(kBins),
      frame_(kMaxFrame),
      re_(kBins),
      im_(kBins),
      magnitude_(kBins),
      deviation_(kBins) {
    for (Channel& ch : channels_) {
        ch.in_fifo.resize(kMaxFrame);
        ch.out_fifo.resize(kMaxFrame);
        ch.out_accum.resize(2 * kMaxFrame);
        ch.last_frame.resize(kMaxFrame);
        ch.last_phase.resize(kBins);
        ch.sum_phase.resize(kBins);
    }
    params_.frame = 0;  // makes set_params build the tables
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
    const bool layout_changed = frame != params_.frame || depth != params_.depth;
    params_.offset = float(limit(Limit::PitchOffset, p.offset));
    params_.frame = frame;
    params_.depth = depth;
    ratio_ = float(std::pow(2.0, double(params_.offset)));
    rate_position_ = int((params_.offset + 1.0f) * 10.0f);
    if (layout_changed) {
        prepare_frames();
        clear();
    }
    prepare_ratio();
}

void PitchShifter::prepare_frames() {
    const int N = params_.frame, O = params_.depth, half = N / 2;
    const double scale = 2.0 / (double(half) * O);
    for (int k = 0; k < N; ++k) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * k / N);
        window_[k] = float(w);
        ola_weight_[k] = float(scale * window_[k]);
    }
    const double expected = 2.0 * kPi * (N / O) / N;  // a step of N / O whole samples
    for (int k = 0; k < kBins; ++k) advance_[k] = k <= half ? less_turns(k * expected) : 0.0f;
}

// Output bin k runs on by 2 pi ((i + d) r - k) / O + k expected a step, for source bin i with its
// deviation d (in bins) and ratio r: r times the source's phase deviation plus a fixed offset. An empty
// bin (no source) counts as i + d = 0.
void PitchShifter::prepare_ratio() {
    const int N = params_.frame, half = N / 2, O = params_.depth;
    const double inverse = 1.0 / ratio_, expected = 2.0 * kPi * (N / O) / N;
    for (int k = 0; k < kBins; ++k) {
        const int i = k <= half ? int(k * inverse) : half + 1;
        source_[k] = i <= half ? i : half + 1;  // bin half + 1 stays empty
        const double source = i <= half ? i * double(ratio_) : 0.0;
        offset_[k] = k <= half ? less_turns(2.0 * kPi * (source - k) / O + k * expected) : 0.0f;
    }
}

void PitchShifter::process_channel(float* x, int n, int channel, Work&) {
    Channel& ch = channels_[channel & 1];
    const int N = params_.frame, O = params_.depth;
    const int step = N / O, latency = N - step;
    if (ch.rover < latency || ch.rover >= N) ch.rover = latency;
    if (!ch.ready) {
        ch.ready = true;
        ch.aligned = true;
        ch.has_last_frame = false;
        for (auto* v : {&ch.in_fifo, &ch.out_fifo, &ch.out_accum, &ch.last_phase, &ch.sum_phase}) zero(*v);
    }
    // Each sample goes into the input FIFO and takes the output FIFO's value from the same place.
    for (int j = 0; j < n;) {
        const int take = std::min(n - j, N - ch.rover);
        float* in = ch.in_fifo.data() + ch.rover;
        const float* out = ch.out_fifo.data() + ch.rover - latency;
        for (int t = 0; t < take; ++t) {
            in[t] = x[j + t];
            x[j + t] = clamp_sample(out[t]);
        }
        j += take;
        ch.rover += take;
        if (ch.rover >= N) {
            ch.rover = latency;
            process_frame(ch);
        }
    }
}

void PitchShifter::process_frame(Channel& ch) {
    const int N = params_.frame, O = params_.depth;
    const int step = N / O, latency = N - step;
    if (ratio_ == 1.0f && ch.aligned) {
        resynthesise_unchanged(ch);
    } else {
        if (ch.aligned && ch.has_last_frame) {
            // Leaving ratio 1: the running phases become those the last frame's analysis left.
            for (int k = 0; k < N; ++k) frame_[k] = ch.last_frame[k] * window_[k];
            fft_.forward(frame_.data(), N, re_.data(), im_.data());
            analyse(ch);
            std::copy(ch.last_phase.begin(), ch.last_phase.end(), ch.sum_phase.begin());
        }
        ch.aligned = false;
        for (int k = 0; k < N; ++k) frame_[k] = ch.in_fifo[k] * window_[k];
        fft_.forward(frame_.data(), N, re_.data(), im_.data());
        analyse(ch);
        synthesise(ch);
        fft_.inverse(re_.data(), im_.data(), N, frame_.data());
        float* __restrict accum = ch.out_accum.data();
        for (int k = 0; k < N; ++k) accum[k] += ola_weight_[k] * frame_[k];
    }
    // Move the FIFOs on by one step.
    float* accum = ch.out_accum.data();
    std::memcpy(ch.out_fifo.data(), accum, sizeof(float) * step);
    std::memmove(accum, accum + step, sizeof(float) * N);
    std::fill(accum + N, accum + N + step, 0.0f);
    std::memmove(ch.in_fifo.data(), ch.in_fifo.data() + step, sizeof(float) * latency);
}

// At ratio 1 with every running phase on its bin's analysed phase, resynthesis gives back the
// frame's own spectrum, each bin doubled (the magnitudes are taken twice) and those above N / 2
// left out. Its inverse transform's real part is then N x[n] + F[0] + (-1)^n F[N / 2] for the
// windowed frame x with transform F: no transform is needed.
void PitchShifter::resynthesise_unchanged(Channel& ch) {
    const int N = params_.frame;
    std::copy(ch.in_fifo.begin(), ch.in_fifo.begin() + N, ch.last_frame.begin());
    ch.has_last_frame = true;
    double dc = 0, nyquist = 0;
    for (int k = 0; k < N; k += 2) {
        const float even = ch.in_fifo[k] * window_[k], odd = ch.in_fifo[k + 1] * window_[k + 1];
        frame_[k] = even;
        frame_[k + 1] = odd;
        dc += double(even) + double(odd);
        nyquist += double(even) - double(odd);
    }
    const float plus = float(dc + nyquist), minus = float(dc - nyquist), size = float(N);
    float* __restrict accum = ch.out_accum.data();
    for (int k = 0; k < N; k += 2) {
        accum[k] += ola_weight_[k] * (size * frame_[k] + plus);
        accum[k + 1] += ola_weight_[k + 1] * (size * frame_[k + 1] + minus);
    }
}

// Each bin's magnitude and its phase advance over a step less the advance of the bin's own frequency,
// taken to the nearest turn: -pi..pi.
void PitchShifter::analyse(Channel& ch) {
    const int half = params_.frame / 2, end = half + 4;
    for (int k = half + 1; k < end; ++k) re_[k] = im_[k] = 0.0f;
    float* __restrict magnitude = magnitude_.data();
    const float* __restrict re = re_.data();
    const float* __restrict im = im_.data();
    for (int k = 0; k < end; ++k) magnitude[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]);
    for (int k = 0; k < end; k += 4) {
        const f32x4 phase = atan2_4(load4(im + k), load4(re + k));
        f32x4 d = phase - load4(&ch.last_phase[k]) - load4(&advance_[k]);
        store4(&ch.last_phase[k], phase);
        // Whole half turns toward zero, odd counts one further out: d less an even number of half turns.
        i32x4 q = __builtin_convertvector(d * splat4(float(1.0 / kPi)), i32x4);
        q = q >= 0 ? q + (q & 1) : q - (q & 1);
        d -= __builtin_convertvector(q, f32x4) * splat4(float(kPi));
        store4(&deviation_[k], d);
    }
}

// Output bin k takes the magnitude and the deviation (times the ratio) of its source bin, and runs
// on from its last phase by that and by the source frequency's advance. The bins between the first
// and the last count half, as the inverse transform adds each twice.
void PitchShifter::synthesise(Channel& ch) {
    const int half = params_.frame / 2, end = half + 4;
    const f32x4 ratio = splat4(ratio_), turn = splat4(float(2.0 * kPi)), per_turn = splat4(float(0.5 / kPi));
    for (int k = 0; k < end; k += 4) {
        f32x4 magnitude, deviation;
        for (int l = 0; l < 4; ++l) {
            magnitude[l] = magnitude_[source_[k + l]];
            deviation[l] = deviation_[source_[k + l]];
        }
        f32x4 phase = load4(&ch.sum_phase[k]) + (ratio * deviation + load4(&offset_[k]));
        // Whole turns off (toward zero), so that the running phase keeps its precision for hours.
        phase -= turn * __builtin_convertvector(__builtin_convertvector(phase * per_turn, i32x4), f32x4);
        store4(&ch.sum_phase[k], phase);
        f32x4 s, c;
        sincos4(phase, &s, &c);
        store4(&re_[k], magnitude * c);
        store4(&im_[k], magnitude * s);
    }
    re_[0] *= 2.0f;
    re_[half] *= 2.0f;
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
