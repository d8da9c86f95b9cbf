// JpegFile over libjpeg, decoding from memory. libjpeg reports a fatal error by calling error_exit,
// which must not return: it jumps back to the function that set up the decoding, which releases
// everything it holds and returns no picture.
#include "jpegfile.h"
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>
#include <jpeglib.h>
#include <jerror.h>
#include "base/fileio.h"
#include "base/message_seam.h"

namespace {

void tell_user(const char* text, const char* caption) { seam::report(text, caption, seam::kIconStop); }
void tell_out_of_memory() { tell_user("JpegFile :\nOut of memory", nullptr); }

struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf back;
    bool silent = false;
};

[[noreturn]] void on_fatal_error(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    ErrorManager* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (!manager->silent) tell_user(text, "JPEG Fatal Error");
    std::longjmp(manager->back, 1);
}

// Warnings (a frame that ends early, corrupt data) are not shown; libjpeg carries on.
void ignore_message(j_common_ptr) {}

// A file must hold its whole picture: data that ends early is fatal, not grey rows.
void end_of_data_is_fatal(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) (*cinfo->err->error_exit)(cinfo);
}

// What a decoding accepts: a frame of known size, or a whole file of any size up to the cap.
struct Expected {
    int width = 0, height = 0;  // 0: any
    bool whole_file = false;
    bool silent = false;        // libjpeg's fatal errors not told
};

// Everything one decoding holds while libjpeg runs, so the error path can release it.
struct Decoding {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    uint8_t* stream = nullptr;  // owned, when the bytes had to be put together first
    uint8_t* picture = nullptr;
    bool created = false;

    void release_all() {
        if (created) jpeg_destroy_decompress(&cinfo);
        created = false;
        std::free(stream);
        stream = nullptr;
        std::free(picture);
        picture = nullptr;
    }
};

void StoreRgbRow(const JSAMPLE* row, int width, uint8_t* out) { std::memcpy(out, row, size_t(width) * 3); }

void StoreGrayRow(const JSAMPLE* row, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = row[x];
}

// CMYK as these files store it, inverted (255 = no ink): red = C x K / 255, and so on.
void StoreInvertedCmykRow(const JSAMPLE* row, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x, row += 4, out += 3) {
        const unsigned k = row[3];
        for (int c = 0; c < 3; ++c) out[c] = uint8_t((row[c] * k + 127) / 255);
    }
}

bool decode(Decoding& d, const Expected& expected) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    jpeg_read_header(&cinfo, TRUE);
    // A frame's colour is spread over its 2 x 2 pixels as it is (as ffmpeg shows these frames),
    // not interpolated between neighbours.
    if (!expected.whole_file) cinfo.do_fancy_upsampling = FALSE;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk && expected.whole_file)
        cinfo.out_color_space = JCS_CMYK;  // libjpeg turns YCCK into CMYK
    else if (cinfo.num_components == 3)
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int components = cinfo.output_components;
    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    if (components != 1 && components != 3 && !(components == 4 && cinfo.out_color_space == JCS_CMYK)) return false;
    if (expected.width && (width != expected.width || height != expected.height)) return false;
    const uint64_t bytes = uint64_t(width) * uint64_t(height) * 3;
    d.picture = bytes <= JpegFile::kMaxPictureBytes ? static_cast<uint8_t*>(std::malloc(size_t(bytes))) : nullptr;
    if (!d.picture) {
        tell_out_of_memory();
        return false;
    }
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                JDIMENSION(width * components), 1);
    while (int(cinfo.output_scanline) < height) {
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) return false;
        uint8_t* out = d.picture + size_t(cinfo.output_scanline - 1) * size_t(width) * 3;
        if (components == 3)
            StoreRgbRow(row[0], width, out);
        else if (components == 1)
            StoreGrayRow(row[0], width, out);
        else
            StoreInvertedCmykRow(row[0], width, out);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

// Decodes `size` bytes at `stream` (d.stream, when set, owns them); returns the picture or null and
// releases everything else, d included.
uint8_t* run_decoding(Decoding* d, const uint8_t* stream, size_t size, const Expected& expected, int* out_width,
                      int* out_height) {
    d->cinfo.err = jpeg_std_error(&d->error.pub);
    d->error.pub.error_exit = on_fatal_error;
    d->error.pub.output_message = ignore_message;
    d->error.silent = expected.silent;
    if (expected.whole_file) d->error.pub.emit_message = end_of_data_is_fatal;
    uint8_t* volatile result = nullptr;  // set after the last point libjpeg can jump back from
    int width = 0, height = 0;
    if (setjmp(d->error.back) == 0) {
        jpeg_create_decompress(&d->cinfo);
        d->created = true;
        jpeg_mem_src(&d->cinfo, stream, static_cast<unsigned long>(size));
        if (decode(*d, expected)) {
            width = int(d->cinfo.output_width);
            height = int(d->cinfo.output_height);
            result = d->picture;
            d->picture = nullptr;
        }
    }
    d->release_all();
    delete d;
    if (result) {
        if (out_width) *out_width = width;
        if (out_height) *out_height = height;
    }
    return result;
}

}  // namespace


uint8_t* JpegFile::DecodeFrame(const uint8_t* frame, int length, int* out_width, int* out_height, int width,
                               int height) {
    return DecodeFrame(frame, length, out_width, out_height, width, height, false);
}

uint8_t* JpegFile::DecodeFrame(const uint8_t* frame, int length, int* out_width, int* out_height, int width,
                               int height, bool silent) {
    if (out_width) *out_width = 0;
    if (out_height) *out_height = 0;
    if (!frame || length < 3 || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return nullptr;

    // The frame's first two bytes are dropped; its scan follows the header.
    const size_t stream_size = size_t(kAmvHeaderSize) + size_t(length) - 2;
    Decoding* d = new (std::nothrow) Decoding();
    if (!d) return nullptr;
    d->stream = static_cast<uint8_t*>(std::malloc(stream_size));
    if (!d->stream) {
        delete d;
        tell_out_of_memory();
        return nullptr;
    }
    std::memcpy(d->stream, amv_jpeg_header(), kAmvHeaderSize);
    d->stream[kAmvHeightOffset] = uint8_t(height >> 8);
    d->stream[kAmvHeightOffset + 1] = uint8_t(height);
    d->stream[kAmvWidthOffset] = uint8_t(width >> 8);
    d->stream[kAmvWidthOffset + 1] = uint8_t(width);
    std::memcpy(d->stream + kAmvHeaderSize, frame + 2, size_t(length) - 2);
    Expected expected;
    expected.width = width;
    expected.height = height;
    expected.silent = silent;
    return run_decoding(d, d->stream, stream_size, expected, out_width, out_height);
}

uint8_t* JpegFile::ReadRgb(const char* path, int* out_width, int* out_height) {
    if (out_width) *out_width = 0;
    if (out_height) *out_height = 0;
    std::vector<uint8_t> bytes;
    if (!path || !fileio::read_all(path, &bytes, int64_t(kMaxPictureBytes))) {
        const std::string text = std::string("JPEG :\nCan't open ") + (path ? path : "") + "\n";
        seam::report(text.c_str(), nullptr, seam::kOk);
        return nullptr;
    }
    Decoding* d = new (std::nothrow) Decoding();
    if (!d) {
        tell_out_of_memory();
        return nullptr;
    }
    Expected expected;
    expected.whole_file = true;
    return run_decoding(d, bytes.data(), bytes.size(), expected, out_width, out_height);
}

uint8_t* JpegFile::AlignRows(const uint8_t* buffer, int width, int height, int* out_stride) {
    if (!buffer || width <= 0 || height <= 0) return nullptr;
    const size_t stride = (size_t(width) * 24 + 31) / 32 * 4;
    uint8_t* aligned = static_cast<uint8_t*>(std::calloc(stride, size_t(height)));
    if (!aligned) return nullptr;
    for (int y = 0; y < height; ++y) std::memcpy(aligned + y * stride, buffer + size_t(y) * width * 3, size_t(width) * 3);
    if (out_stride) *out_stride = int(stride);
    return aligned;
}

int JpegFile::FlipRows(uint8_t* buffer, int stride, int rows) {
    if (!buffer || stride <= 0 || rows < 0) return 0;
    uint8_t* spare = static_cast<uint8_t*>(std::malloc(size_t(stride)));
    if (!spare) return 0;
    for (int i = 0; i < rows / 2; ++i) {
        uint8_t* top = buffer + size_t(i) * stride;
        uint8_t* bottom = buffer + size_t(rows - 1 - i) * stride;
        std::memcpy(spare, top, size_t(stride));
        std::memcpy(top, bottom, size_t(stride));
        std::memcpy(bottom, spare, size_t(stride));
    }
    std::free(spare);
    return 1;
}

int JpegFile::SwapRedBlue(uint8_t* buffer, int width, int rows) {
    if (!buffer || width < 0 || rows < 0) return 0;
    const size_t pixels = size_t(width) * rows;
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t t = buffer[3 * i];
        buffer[3 * i] = buffer[3 * i + 2];
        buffer[3 * i + 2] = t;
    }
    return 1;
}
