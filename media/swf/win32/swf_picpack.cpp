#include "swf_picpack.h"
#include <atomic>
#include "media/binders/binders.h"

namespace {

// Set while a binding made by the SWF reader is in force.
std::atomic<int> g_bound_here{0};

int load() {
    if (codec::hmod_tolmpicpack && codec::uncompress) return 0;
    const int rc = codec::load_tolmpicpack();
    if (rc == 0)
        g_bound_here.store(1);
    else if (codec::hmod_tolmpicpack)
        codec::unload_tolmpicpack();  // a library without the entry is not kept loaded
    return rc;
}

void unload() {
    if (g_bound_here.exchange(0)) codec::unload_tolmpicpack();
}

// The bound entry follows the DLL's calling convention; the reader calls this plain function.
int bound_uncompress(unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) {
    const uncompress_fn fn = codec::uncompress;
    return fn ? fn(dest, dest_len, src, src_len) : -2;
}

const SwfPictureLibrary kTolmpicpack = {load, unload, bound_uncompress};

}  // namespace

const SwfPictureLibrary* swf_tolmpicpack_library() { return &kTolmpicpack; }

void swf_use_tolmpicpack() { swf_set_picture_library(&kTolmpicpack); }
