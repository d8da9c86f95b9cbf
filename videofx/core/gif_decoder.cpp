#include "gif_decoder.h"
#include <cstring>
#include <utility>
#include "base/fileio.h"

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

constexpr int kMaxCodes = 4096;

}  // namespace

CGifDecoder::CGifDecoder(const char* path, bool loadAll) { m_bError = !Open(path, loadAll); }

bool CGifDecoder::Open(const char* path, bool loadAll) {
    if (m_bOpen) return false;
    std::vector<uint8_t> bytes;
    if (!path || !fileio::read_all(path, &bytes, kMaxFileBytes)) return false;
    return OpenBytes(std::move(bytes), loadAll);
}

bool CGifDecoder::OpenBytes(std::vector<uint8_t> bytes, bool loadAll) {
    if (m_bOpen) return false;
    Close();
    m_bytes = std::move(bytes);
    m_pos = 0;
    m_bLoadAll = loadAll;
    uint8_t header[13];
    if (!read(header, sizeof header) || std::memcmp(header, "GIF", 3) != 0 || std::memcmp(header + 3, "89a", 3) > 0) {
        Close();
        return false;
    }
    std::memcpy(m_version, header + 3, 3);
    const uint8_t flags = header[10];
    m_info.screenWidth = le16(header + 6);
    m_info.screenHeight = le16(header + 8);
    m_info.colorResolution = ((flags >> 4) & 7) + 1;
    m_info.backgroundIndex = header[11];
    m_info.aspect = header[12];
    if (flags & 0x80) {
        m_info.hasGlobalTable = 1;
        m_info.sortFlag = flags & 8;
        m_info.globalTableSize = 2 << (flags & 7);
        if (!read(m_globalTable, size_t(m_info.globalTableSize) * 3)) {
            Close();
            return false;
        }
        m_info.globalTable = m_globalTable;
    }
    m_nDataStart = m_pos;

    // Count the frames without decoding them: a frame counts once its data has been skipped whole.
    int count = 0;
    for (;;) {
        const Block block = scan_to_frame();
        if (block == Block::kError) {
            Close();
            return false;
        }
        if (block != Block::kFrame || !skip_frame()) break;
        ++count;
    }
    m_pending = GifFrame();
    m_pos = m_nDataStart;
    if (count == 0) {
        Close();
        return false;
    }
    m_info.frameCount = count;

    if (loadAll) {
        m_pFrames.resize(size_t(count));
        for (GifFrame& frame : m_pFrames) {
            if (scan_to_frame() != Block::kFrame || !decode_frame(frame)) {
                Close();
                return false;
            }
        }
        m_bytes.clear();
        m_bytes.shrink_to_fit();
    }
    m_bOpen = true;
    return true;
}

void CGifDecoder::Close() {
    m_bOpen = false;
    m_pFrames.clear();
    m_nNextFrame = 0;
    m_current = GifFrame();
    m_pending = GifFrame();
    m_info = GifInfo();
    m_bytes.clear();
    m_pos = 0;
    m_nDataStart = 0;
}

int CGifDecoder::next_byte() { return m_pos < m_bytes.size() ? m_bytes[m_pos++] : -1; }

bool CGifDecoder::read(void* out, size_t count) {
    if (count > m_bytes.size() - m_pos) return false;
    std::memcpy(out, m_bytes.data() + m_pos, count);
    m_pos += count;
    return true;
}

bool CGifDecoder::skip_sub_blocks() {
    for (;;) {
        const int length = next_byte();
        if (length < 0) return false;
        if (length == 0) return true;
        if (size_t(length) > m_bytes.size() - m_pos) return false;
        m_pos += size_t(length);
    }
}

// Reads blocks up to and including the next image separator.
CGifDecoder::Block CGifDecoder::scan_to_frame() {
    for (;;) {
        const int b = next_byte();
        switch (b) {
            case -1:
                return Block::kEnd;
            case 0x00:
                continue;  // padding
            case 0x2C:
                return Block::kFrame;
            case 0x3B:
                return Block::kTrailer;
            case 0x21:
                break;
            default:
                return Block::kError;
        }
        const int label = next_byte();
        if (label < 0) return Block::kEnd;
        if (label == 0x01 || label == 0xFE || label == 0xFF) {
            if (!skip_sub_blocks()) return Block::kEnd;
            continue;
        }
        if (label != 0xF9) return Block::kError;
        for (;;) {  // graphic control: a 4-byte sub-block fills the values for the next frame
            const int length = next_byte();
            if (length < 0) return Block::kEnd;
            if (length == 0) break;
            if (size_t(length) > m_bytes.size() - m_pos) return Block::kEnd;
            if (length == 4) {
                const uint8_t* p = m_bytes.data() + m_pos;
                m_pending.hasControl = 1;
                m_pending.disposal = (p[0] >> 2) & 7;
                m_pending.userInput = (p[0] >> 1) & 1;
                m_pending.transparent = p[0] & 1;
                m_pending.delay = le16(p + 1);
                m_pending.transparentIndex = p[3];
            }
            m_pos += size_t(length);
        }
    }
}

bool CGifDecoder::skip_frame() {
    uint8_t descriptor[9];
    if (!read(descriptor, sizeof descriptor)) return false;
    if (descriptor[8] & 0x80) {
        const size_t table = size_t(2 << (descriptor[8] & 7)) * 3;
        if (table > m_bytes.size() - m_pos) return false;
        m_pos += table;
    }
    return next_byte() >= 0 && skip_sub_blocks();
}

bool CGifDecoder::decode_frame(GifFrame& frame) {
    frame = GifFrame();
    uint8_t descriptor[9];
    if (!read(descriptor, sizeof descriptor)) return false;
    frame.left = le16(descriptor);
    frame.top = le16(descriptor + 2);
    frame.width = le16(descriptor + 4);
    frame.height = le16(descriptor + 6);
    const uint8_t flags = descriptor[8];
    frame.hasLocalTable = flags >> 7;
    frame.interlaced = (flags >> 6) & 1;
    frame.sorted = (flags >> 5) & 1;
    frame.localTableSize = 2 << (flags & 7);
    if (frame.hasLocalTable) {
        frame.localTable.resize(size_t(frame.localTableSize) * 3);
        if (!read(frame.localTable.data(), frame.localTable.size())) return false;
    }
    frame.hasControl = m_pending.hasControl;
    frame.disposal = m_pending.disposal;
    frame.userInput = m_pending.userInput;
    frame.transparent = m_pending.transparent;
    frame.delay = m_pending.delay;
    frame.transparentIndex = m_pending.transparentIndex;
    m_pending = GifFrame();
    const int64_t pixels = int64_t(frame.width) * frame.height;
    if (frame.width == 0 || frame.height == 0 || frame.width > kMaxSide || frame.height > kMaxSide ||
        pixels > kMaxFramePixels)
        return false;
    return decode_lzw(frame);
}

// Variable-length codes, least significant bit first, gathered from the data sub-blocks. Every
// string in the code table was output once already and lies in the pixel buffer: an entry is the
// place and length of its first output (the previous code's string followed by the byte after it),
// so a code's string is copied from the picture itself.
bool CGifDecoder::decode_lzw(GifFrame& frame) {
    const int m = next_byte();
    if (m < 1 || m > 11) return false;
    std::vector<uint8_t> data;
    for (;;) {
        const int length = next_byte();
        if (length < 0 || size_t(length) > m_bytes.size() - m_pos) return false;  // cut off
        if (length == 0) break;
        data.insert(data.end(), m_bytes.begin() + long(m_pos), m_bytes.begin() + long(m_pos + size_t(length)));
        m_pos += size_t(length);
    }
    const uint64_t total_bits = uint64_t(data.size()) * 8;
    data.resize(data.size() + 4, 0);  // a whole word can always be loaded

    const size_t total = size_t(frame.width) * frame.height;
    frame.pixels.assign(total, 0);
    uint8_t* out = frame.pixels.data();
    struct Entry {
        uint32_t pos, len;
    };
    std::vector<Entry> table(kMaxCodes);
    const int clear = 1 << m, end = clear + 1;
    int width = m + 1, next = clear + 2;
    bool first = true;
    uint32_t prev_pos = 0, prev_len = 0;
    size_t o = 0;
    uint64_t bit = 0;
    auto fail = [&frame] {
        frame.pixels.clear();
        return false;
    };
    // Ends well when the data runs out (what was decoded stays, the rest of the frame 0) or at the
    // end code.
    while (bit + uint64_t(width) <= total_bits) {
        const uint8_t* w = &data[size_t(bit >> 3)];
        const uint32_t word = uint32_t(w[0]) | uint32_t(w[1]) << 8 | uint32_t(w[2]) << 16 | uint32_t(w[3]) << 24;
        const int code = int((word >> (bit & 7)) & ((1u << width) - 1));
        bit += uint64_t(width);
        if (code == clear) {
            width = m + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (first) {  // after a clear code only a literal may come
            if (code > clear || o >= total) return fail();
            out[o] = uint8_t(code);
            prev_pos = uint32_t(o++);
            prev_len = 1;
            first = false;
            if (next >= (1 << width)) ++width;  // code size 1: the next code may already be 2^m + 2
            continue;
        }
        if (code == end) break;
        uint32_t len;
        if (code < clear) {
            len = 1;
            if (o >= total) return fail();
            out[o] = uint8_t(code);
        } else if (code < next) {
            const Entry e = table[size_t(code)];
            len = e.len;
            if (len > total - o) return fail();
            if (len <= 16) {
                for (uint32_t i = 0; i < len; ++i) out[o + i] = out[e.pos + i];
            } else {
                std::memcpy(out + o, out + e.pos, len);
            }
        } else {  // not in the table yet: the previous string followed by its own first byte
            len = prev_len + 1;
            if (len > total - o) return fail();
            std::memcpy(out + o, out + prev_pos, prev_len);  // prev_pos + prev_len == o
            out[o + prev_len] = out[prev_pos];
        }
        // The new entry, the previous string and the byte after it, lies where that string starts.
        if (next > kMaxCodes - 1) return fail();  // the table is full and no clear code came
        table[size_t(next++)] = {prev_pos, prev_len + 1};
        if (next >= (1 << width) && width < 12) ++width;
        prev_pos = uint32_t(o);
        prev_len = len;
        o += len;
    }
    return true;
}

const GifFrame* CGifDecoder::GetNextFrame() {
    if (!m_bOpen) return nullptr;
    if (m_bLoadAll) {
        const GifFrame* frame = &m_pFrames[size_t(m_nNextFrame)];
        m_nNextFrame = (m_nNextFrame + 1) % int(m_pFrames.size());
        return frame;
    }
    bool wrapped = false;
    for (;;) {
        switch (scan_to_frame()) {
            case Block::kFrame:
                if (!decode_frame(m_current)) {
                    m_current = GifFrame();
                    return nullptr;
                }
                return &m_current;
            case Block::kTrailer:
                if (wrapped) return nullptr;
                wrapped = true;
                m_pos = m_nDataStart;
                continue;
            case Block::kEnd:
            case Block::kError:
                m_current = GifFrame();
                return nullptr;
        }
    }
}
