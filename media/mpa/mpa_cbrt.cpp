// Cube root of the requantiser: a polynomial first guess on the mantissa, one Halley step, then the
// exponent's share.
#include <cmath>
#include "media/mpa/mpa_layer3.h"

namespace mpa {

double cube_root(double x) {
    if (x == 0) return 0;
    int e = 0;
    const double m = std::frexp(std::fabs(x), &e);  // |x| = m * 2^e, m in [0.5, 1)
    double y = 0.35489576504391984 +
               m * (1.508191937815849 +
                    m * (-2.114994941673713047 +
                         m * (2.4469312256353444 +
                              m * (-1.8346927748361308 + m * (0.784932344976639218 - m * 0.14526389938548637)))));
    const double y3 = y * y * y;
    y = y * (y3 + 2 * m) / (2 * y3 + m);
    static const double kThirds[5] = {0.62996052494743658, 0.79370052598409974, 1.0, 1.2599210498948732,
                                      1.5874010519681994};  // 2^(r/3), r = -2..2
    y *= kThirds[e % 3 + 2];
    if (x < 0) y = -y;
    return std::ldexp(y, e / 3);
}

}  // namespace mpa
