// In-place radix-2 complex FFT of n points (interleaved re, im), n a power of two up to 8192; sign -1 forward,
// +1 inverse, no scaling either way.
#pragma once

namespace soundfx {

void fx_fft(float* data, int n, int sign);

}  // namespace soundfx
