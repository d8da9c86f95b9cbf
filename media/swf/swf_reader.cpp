#include "swf_reader.h"
#include <atomic>
#include <cstring>
#include <new>
#include "base/fileio.h"
#include "media/adpcm/bit_reader.h"

namespace {

std::atomic<const SwfPictureLibrary*> g_picture_library{nullptr};

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

enum TagCode : int {
    kTagEnd = 0,
    kTagJpegTables = 8,
    kTagSoundStreamHead = 18,
    kTagSoundStreamBlock = 19,
    kTagSoundStreamHead2 = 45,
    kTagDefineVideoStream = 60,
    kTagVideoFrame = 61,
};

size_t held_after_cursor(const SwfParser* ctx) {
    return ctx->cursor < ctx->buffer.size() ? ctx->buffer.size() - ctx->cursor : 0;
}

// DefineVideoStream: id, frames, width, height (16 bits each), flags, codec id. A shorter body is
// not a video stream definition and is skipped.
void swf_read_video_stream(SwfParser* ctx, const uint8_t* body, uint32_t length) {
    if (length < 10) return;
    ctx->video_frames = le16(body + 2);
    ctx->video_width = le16(body + 4);
    ctx->video_height = le16(body + 6);
    ctx->video_codec = body[9];
}

// SoundStreamHead(2): byte 0 bits 2-3 rate, bit 1 sample size, bit 0 stereo; byte 1 high nibble the
// stream's format. SoundStreamHead always has 16-bit samples.
void swf_read_sound_head(SwfParser* ctx, const uint8_t* body, uint32_t length, bool head2) {
    if (length < 2) return;
    static const int kRates[4] = {5512, 11025, 22050, 44100};
    ctx->sound_rate = kRates[(body[0] >> 2) & 3];
    ctx->sound_bits = !head2 || (body[0] & 2) ? 16 : 8;
    ctx->sound_channels = (body[0] & 1) ? 2 : 1;
    ctx->sound_format = body[1] >> 4;
}

int parse_file_header(SwfParser* ctx) {
    if (held_after_cursor(ctx) < 8) return kSwfNeedData;
    const uint8_t* p = ctx->buffer.data() + ctx->cursor;
    if ((p[0] != 'F' && p[0] != 'C') || p[1] != 'W' || p[2] != 'S') return kSwfBadSignature;
    ctx->compressed = p[0] == 'C';
    ctx->version = p[3];
    ctx->file_length = le32(p + 4);
    ctx->cursor += 8;
    ctx->state = kSwfMovieHeader;
    return 0;
}

int parse_movie_header(SwfParser* ctx) {
    // The RECT's size follows from its first 5 bits; the rate and the count take 4 bytes after it.
    if (held_after_cursor(ctx) < 1) return kSwfNeedData;
    const size_t rect = swf_rect_size(ctx->buffer[ctx->cursor]);
    if (held_after_cursor(ctx) < rect + 4) return kSwfNeedData;
    const SwfRect r = swf_read_rect(ctx);
    ctx->frame_width = int(r.xmax * 0.05);
    ctx->frame_height = int(r.ymax * 0.05);
    const uint8_t* p = ctx->buffer.data() + ctx->cursor;
    ctx->frame_rate = le16(p) / 256.0;
    ctx->frame_count = le16(p + 2);
    ctx->cursor += 4;
    ctx->state = kSwfTags;
    return 0;
}

int parse_tags(SwfParser* ctx) {
    for (;;) {
        const int header = swf_read_tag(ctx);
        if (header == 0) return kSwfNeedData;
        const size_t body = ctx->cursor + size_t(header);
        // Lengths come from the file: compared with what is held, never added to a pointer first.
        if (uint64_t(ctx->tag_length) > uint64_t(ctx->buffer.size() - body)) return kSwfNeedData;
        const uint8_t* data = ctx->buffer.data() + body;
        switch (ctx->tag_code) {
        case kTagSoundStreamBlock:
        case kTagVideoFrame:
            ctx->tags.push_back(SwfTagEntry{uint32_t(body), ctx->tag_length, ctx->tag_code, -1,
                                            int64_t(body) + ctx->base_offset});
            break;
        case kTagDefineVideoStream: swf_read_video_stream(ctx, data, ctx->tag_length); break;
        case kTagSoundStreamHead: swf_read_sound_head(ctx, data, ctx->tag_length, false); break;
        case kTagSoundStreamHead2: swf_read_sound_head(ctx, data, ctx->tag_length, true); break;
        case kTagJpegTables: break;
        default: break;
        }
        ctx->cursor = body + ctx->tag_length;
        if (ctx->tag_code == kTagEnd) {
            ctx->state = kSwfEnd;
            return 0;
        }
    }
}

// Reads the whole file; false when it cannot be opened or read.
bool read_whole_file(const char* path, int64_t length, std::vector<uint8_t>& bytes) {
    fileio::File file;
    if (!file.open(path, fileio::File::Mode::Read)) return false;
    try {
        bytes.resize(size_t(length));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return file.read_exact(bytes.data(), length);
}

// The 8 header bytes followed by the inflated body; false unless it inflates to exactly the stated
// length.
bool inflate_body(const SwfPictureLibrary& library, std::vector<uint8_t>& bytes) {
    const uint32_t stated = le32(bytes.data() + 4);
    if (stated < 10 || stated - 8 > kSwfMaxInflated) return false;
    std::vector<uint8_t> whole;
    try {
        whole.resize(stated);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(whole.data(), bytes.data(), 8);
    uint32_t inflated = stated - 8;
    const int rc = library.uncompress(whole.data() + 8, &inflated, bytes.data() + 8, uint32_t(bytes.size() - 8));
    if (rc != 0 || inflated != stated - 8) return false;
    bytes.swap(whole);
    return true;
}

}  // namespace

const SwfPictureLibrary* swf_set_picture_library(const SwfPictureLibrary* library) {
    return g_picture_library.exchange(library);
}

SwfParser* swf_new() { return new (std::nothrow) SwfParser(); }

void swf_free(SwfParser* ctx) { delete ctx; }

int swf_buffer_append(SwfParser* ctx, const uint8_t* bytes, size_t n) {
    if (n == 0) return 0;
    if (!bytes || n > kSwfMaxBuffer - ctx->buffer.size()) return -1;
    try {
        ctx->buffer.insert(ctx->buffer.end(), bytes, bytes + n);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 0;
}

int64_t swf_file_length(const char* path) {
    fileio::File file;
    if (!path || !file.open(path, fileio::File::Mode::Read)) return 0;
    const int64_t size = file.size();
    return size > 0 ? size : 0;
}

int swf_load(SwfParser* ctx, const char* path) {
    const SwfPictureLibrary* library = g_picture_library.load();
    if (!library || !library->load || library->load() != 0) return -1;
    struct Unload {
        const SwfPictureLibrary* library;
        ~Unload() {
            if (library->unload) library->unload();
        }
    } unload{library};

    const int64_t length = path ? swf_file_length(path) : 0;
    if (length < 10 || uint64_t(length) > kSwfMaxBuffer) return -2;
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path, length, bytes)) return -2;
    if (bytes[0] == 'C' && (!library->uncompress || !inflate_body(*library, bytes))) return -3;

    if (ctx->buffer.empty()) {
        ctx->buffer.swap(bytes);
    } else if (swf_buffer_append(ctx, bytes.data(), bytes.size()) != 0) {
        return -2;
    }
    swf_parse(ctx);
    return 0;
}

int swf_parse(SwfParser* ctx) {
    for (;;) {
        int result = 0;
        switch (ctx->state) {
        case kSwfFileHeader: result = parse_file_header(ctx); break;
        case kSwfMovieHeader: result = parse_movie_header(ctx); break;
        case kSwfTags: result = parse_tags(ctx); break;
        default: result = kSwfDone; break;
        }
        if (result != 0) {
            ctx->parse_result = result;
            return result;
        }
    }
}

size_t swf_rect_size(uint8_t first_byte) {
    const int bits = first_byte >> 3;
    return (5 + 4 * size_t(bits) + 7) / 8;
}

SwfRect swf_read_rect(SwfParser* ctx) {
    BitReader r = bit_reader(ctx->buffer.data() + ctx->cursor, held_after_cursor(ctx));
    SwfRect rect;
    rect.bits = int(bit_read_bits(&r, 5));
    if (rect.bits > 0) {
        rect.xmin = bit_read_signed(&r, rect.bits);
        rect.xmax = bit_read_signed(&r, rect.bits);
        rect.ymin = bit_read_signed(&r, rect.bits);
        rect.ymax = bit_read_signed(&r, rect.bits);
    }
    bit_align(&r);
    ctx->cursor += bytes_read(r);
    return rect;
}

int swf_read_tag(SwfParser* ctx) {
    const size_t held = held_after_cursor(ctx);
    if (held < 2) return 0;
    const uint8_t* p = ctx->buffer.data() + ctx->cursor;
    const uint16_t v = le16(p);
    ctx->tag_code = v >> 6;
    ctx->tag_length = v & 0x3F;
    if (ctx->tag_length != 0x3F) return 2;
    if (held < 6) return 0;
    ctx->tag_length = le32(p + 2);
    return 6;
}

const uint8_t* swf_tag_body(const SwfParser* ctx, size_t i, uint32_t* length) {
    if (!ctx || i >= ctx->tags.size()) return nullptr;
    const SwfTagEntry& tag = ctx->tags[i];
    if (uint64_t(tag.offset) + tag.length > ctx->buffer.size()) return nullptr;
    if (length) *length = tag.length;
    return ctx->buffer.data() + tag.offset;
}
