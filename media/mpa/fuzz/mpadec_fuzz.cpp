// libFuzzer target: any bytes through the layer III decoder, fed in pieces, with the options the first
// byte picks. Built and run by tools/fuzz_mpeg.sh, not by ctest.
#include <cstddef>
#include <cstdint>
#include <vector>
#include "media/mpa/mpadec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t options = data[0];
    const size_t piece = 1 + size_t(data[1]) * 17;
    data += 2;
    size -= 2;
    mpadec_t h = nullptr;
    if (mpadec_create(&h, options % 3, (options >> 2) & 1, (options >> 3) & 1, 1) != MPADEC_OK) return 0;
    std::vector<uint8_t> out(1152 * 2 * 2);
    size_t pos = 0;
    bool ended = false;
    for (int turns = 0; turns < 100000; ++turns) {
        uint32_t written = 0;
        // now and then a buffer one byte short
        const uint32_t room = (turns % 7 == 3) ? 1000 : uint32_t(out.size());
        const uint32_t status = mpadec_decode(h, out.data(), room, &written);
        if (written) continue;
        if (status == MPADEC_END) break;
        if (status == MPADEC_SYNC_LOST || status == MPADEC_OUTPUT_TOO_SMALL) continue;
        uint32_t taken = 0;
        if (pos < size) {
            mpadec_feed(h, data + pos, uint32_t(size - pos < piece ? size - pos : piece), &taken);
            pos += taken;
        } else if (!ended) {
            mpadec_feed(h, nullptr, 0, &taken);
            ended = true;
        } else {
            break;
        }
    }
    MpaFrameInfo info;
    mpadec_get_info(h, &info);
    mpadec_destroy(h);
    return 0;
}
