// Invert (id 15): every sample negated (-32768 comes back as 32767).
#pragma once
#include "soundfx/core/effects/effect.h"

namespace soundfx {

class Invert : public ChannelEffect {
public:
    void reset(const Context&) override { on = 0; }

protected:
    void process_channel(float* x, int n, int, Work&) override {
        for (int j = 0; j < n; ++j) x[j] = -x[j];
    }
};

}  // namespace soundfx
