// Paints a 1,000-entry and a 100,000-entry timeline (a thumbnail every 25th entry, both scrolled to
// their middle) over the same 760-pixel view many times and prints the time per paint and the ratio.
#include <chrono>
#include <cstdio>
#include "app/timeline/timeline_paint.h"
#include "codecs/tolmpicpack/picpack_core.h"
#include "engine/image/rgb_image.h"

namespace {

class NullCanvas : public TimelineCanvas {
public:
    void set_rop(TlRop) override {}
    void fill(const TlRect&, skin::Colour) override { ++ops; }
    void line(int, int, int, int, skin::Colour, int) override { ++ops; }
    void text(const char*, const TlRect&, skin::Colour, TlFont, bool) override { ++ops; }
    void picture(const CRgbImage&, const TlRect&) override { ++ops; }
    long ops = 0;
};

int unpack(unsigned char* d, uint32_t* dl, const unsigned char* s, uint32_t sl) { return picpack::uncompress(d, dl, s, sl); }

double per_paint_us(int count, int rounds) {
    CRgbImage picture(128, 88, 0x3060C0);
    std::vector<uint8_t> packed(picpack::compress_bound(uint32_t(picture.byte_size())));
    uint32_t length = uint32_t(packed.size());
    picpack::compress(packed.data(), &length, picture.pixels(), uint32_t(picture.byte_size()));
    packed.resize(length);
    TimelineState st;
    st.segments.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        st.segments[size_t(i)].entry.time_ms = i * 40;
        if (i % 25 == 0) {
            st.segments[size_t(i)].entry.is_key = 1;
            st.segments[size_t(i)].set_thumbnail(packed);
        }
    }
    st.sel_start = count / 4;
    st.sel_end = count * 3 / 4;
    st.file_path = "C:\\clips\\bench.avi";
    PaintContext ctx;
    ctx.client_width = 760;
    ctx.client_height = 65;
    ctx.scroll_x = 3 * count / 2;
    ctx.ui = 0x806040;
    ctx.unpack = unpack;
    NullCanvas canvas;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) paint_timeline(canvas, st, ctx);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / rounds;
}

}  // namespace

int main() {
    const int rounds = 2000;
    per_paint_us(1000, 100);  // warm up
    const double small = per_paint_us(1000, rounds);
    const double large = per_paint_us(100000, rounds);
    std::printf("paint 1,000 entries: %.1f us\npaint 100,000 entries: %.1f us\nratio: %.3f\n", small, large,
                large / small);
    return 0;
}
