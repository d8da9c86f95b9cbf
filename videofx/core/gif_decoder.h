// GIF87a/89a decoding for the picture overlay: the header, the logical screen and global colour
// table, a count of the frames, and frames decoded with LZW into colour indices (callers map them
// through the tables themselves). Either every frame is decoded when the file is opened, or frames
// are decoded one at a time on demand, starting over at the first after the last. The file is read
// into memory when it is opened; everything in it is checked against the bytes there.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct GifFrame {
    uint16_t left = 0, top = 0, width = 0, height = 0;  // the image descriptor
    int hasLocalTable = 0;
    int interlaced = 0;              // recorded only: rows stay in coded order
    int sorted = 0;
    int localTableSize = 0;          // 2 ^ ((flags & 7) + 1), whether or not a table is present
    std::vector<uint8_t> localTable;  // 3 bytes an entry, red, green, blue; empty when absent
    std::vector<uint8_t> pixels;      // width x height colour indices, rows in coded order
    int hasControl = 0;              // a graphic control extension came before the frame
    int disposal = 0;
    int userInput = 0;
    int transparent = 0;
    uint16_t delay = 0;              // hundredths of a second
    int transparentIndex = 0;
};

struct GifInfo {
    int frameCount = 0;
    uint16_t screenWidth = 0, screenHeight = 0;
    int hasGlobalTable = 0;
    int colorResolution = 0;
    int sortFlag = 0;
    int globalTableSize = 0;
    int backgroundIndex = 0;
    int aspect = 0;
    const uint8_t* globalTable = nullptr;  // 3 bytes an entry; null without a global table
};

class CGifDecoder {
public:
    // Frames larger than this on a side, or with more pixels than kMaxFramePixels, are refused.
    static constexpr int kMaxSide = 16384;
    static constexpr int64_t kMaxFramePixels = int64_t(1) << 26;
    static constexpr int64_t kMaxFileBytes = int64_t(512) << 20;

    CGifDecoder() = default;
    // Opens at once; m_bError tells whether that failed.
    CGifDecoder(const char* path, bool loadAll);
    ~CGifDecoder() { Close(); }
    CGifDecoder(const CGifDecoder&) = delete;
    CGifDecoder& operator=(const CGifDecoder&) = delete;

    bool Open(const char* path, bool loadAll);
    // The same over bytes already in memory.
    bool OpenBytes(std::vector<uint8_t> bytes, bool loadAll);
    // Valid for the decoder's life; frame count 0 when not open.
    const GifInfo* GetInfo() const { return &m_info; }
    // The next frame (owned by the decoder, valid until the next call or Close), or null when its
    // data is damaged or, on demand, the file ends before a trailer.
    const GifFrame* GetNextFrame();
    void Close();

    bool m_bError = false;

private:
    enum class Block { kFrame, kTrailer, kEnd, kError };
    int next_byte();
    bool read(void* out, size_t count);
    bool skip_sub_blocks();
    Block scan_to_frame();
    bool skip_frame();
    bool decode_frame(GifFrame& frame);
    bool decode_lzw(GifFrame& frame);

    char m_version[4] = {};
    bool m_bOpen = false;
    bool m_bLoadAll = false;
    size_t m_nDataStart = 0;
    std::vector<GifFrame> m_pFrames;
    int m_nNextFrame = 0;
    GifInfo m_info;
    GifFrame m_current;
    GifFrame m_pending;  // the graphic control values waiting for the next frame
    uint8_t m_globalTable[256 * 3] = {};
    std::vector<uint8_t> m_bytes;
    size_t m_pos = 0;
};
