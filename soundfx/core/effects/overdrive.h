// Overdrive (id 5): the input at four times the rate through a smoother and a diode clipper whose
// voltage solves (u - V) / R + 1e-11 (e - 1/e) + h = 0 with e = exp((u - V) / 0.3), then two Chebyshev
// low-passes at four times the rate, and an optional low-pass at the end. The previous input and the
// smoother run on through the channels in turn; the clipper voltage is per channel. The voltage comes
// from the clipper's curve, with Newton's method only for input beyond the 16-bit range.
#pragma once
#include <vector>
#include "soundfx/core/dsp/chebyshev.h"
#include "soundfx/core/dsp/filter_cascade.h"
#include "soundfx/core/effects/clipper_curve.h"
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Overdrive : public ChannelEffect {
public:
    static constexpr int kMaxNewtonSteps = 60;
    struct Params {
        int sense = 520;      // R, the series resistance of the clipper
        int lp_freq = 3500;   // final low-pass, Hz
        int lp_on = 0;        // final low-pass on
    };

    void reset(const Context& context) override;
    void release() override;
    void check_state(StateCheck& check) const override;
    // Stores the parameters (limited) and designs the final low-pass again.
    void set_params(const Params& p);
    const Params& params() const { return params_; }

    // Newton steps: the most any one solve took, and solves that stopped at the cap.
    int most_newton_steps() const { return most_steps_; }
    long capped_solves() const { return capped_; }
    // The clipper voltage of a channel for the given input u, smoother output h and previous voltage.
    double solve_clipper(double u, double h, double previous);

protected:
    void process_channel(float* x, int n, int channel, Work& work) override;
    void process_stereo(float* left, float* right, int n, Work& work) override;

private:
    bool silent(const float* x, int n);
    void clip(const float* x, int n, int c, double* volts);
    void filter(const double* volts, int n, int c, float* x);
    void filter_stereo(const double* left, const double* right, int n, float* x0, float* x1);

    Params params_;
    Format format_;
    ClipperCurve curve_;
    int built_sense_ = 0;         // the R the curve is built for
    FilterCascade final_lp_;
    ChebyshevSection lp1_, lp2_;
    double k1_ = 0, k2_ = 0;      // smoother: s = s k1 + k2 u
    double smoother_ = 0;
    double previous_input_ = 0;
    double voltage_[2] = {};
    double mem1_[2][4] = {};      // x1, x2, y1, y2 of the first low-pass per channel
    double mem2_[2][4] = {};
    int most_steps_ = 0;
    long capped_ = 0;
    // The clipper voltages of a piece, four a sample, per channel.
    std::vector<double> volts_[2] = {std::vector<double>(4 * kMaxPieceFrames), std::vector<double>(4 * kMaxPieceFrames)};
};

}  // namespace soundfx
