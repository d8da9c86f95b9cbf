// Fast Fourier transforms, unscaled both ways, in single precision with twiddles worked out once in
// double precision.
//
// The complex transform runs on split arrays (real parts in one, imaginary parts in the other), as a
// Stockham transform of radix 4 (one last radix-2 stage for odd powers of two), which keeps every
// stage's loads and stores in order for the vector units. Its inverse is the forward transform with
// the two arrays exchanged. A transform of n real values runs as one of n / 2 complex values.
#pragma once
#include <vector>

namespace soundfx {

constexpr int kFftMaxPoints = 8192;

// In-place forward transform (e^(-i ...)) of n complex points, n a power of two, 2..kFftMaxPoints;
// scratch_re and scratch_im hold n values each.
void fft_split(float* re, float* im, int n, float* scratch_re, float* scratch_im);

// Transforms of n real values, n a power of two, 4..kFftMaxPoints, with their own work arrays.
class RealFft {
public:
    RealFft();
    // X[k] = sum x[j] e^(-2 pi i j k / n) for k = 0 .. n / 2 into re[k], im[k].
    void forward(const float* x, int n, float* re, float* im);
    // x[j] = sum over all n bins of Y[k] e^(2 pi i j k / n), where Y[k] = re[k] + i im[k] for
    // k = 0 .. n / 2 and Y[n - k] is the conjugate of Y[k]; the imaginary parts of bins 0 and n / 2
    // are not read.
    void inverse(const float* re, const float* im, int n, float* x);

private:
    std::vector<float> zr_, zi_, sr_, si_;
};

// In-place transform of n interleaved complex points (re, im), n a power of two, 2..kFftMaxPoints;
// sign -1 forward, +1 inverse.
void fx_fft(float* data, int n, int sign);

}  // namespace soundfx
