// Where an effect image keeps its pixels. Natively plain memory; the library's Winelib build installs
// a DIB-section store so that every image is also a Windows bitmap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

class PixelStore {
public:
    virtual ~PixelStore() = default;
    // `bytes` bytes, zero-filled when the store was made.
    virtual uint8_t* bits() = 0;
};

// Makes a store of `bytes` zero bytes for a bottom-up 24-bit picture of width x height; null when
// there is no memory for it.
using PixelStoreFactory = std::unique_ptr<PixelStore> (*)(int width, int height, size_t bytes);

// Plain zero-filled heap memory.
std::unique_ptr<PixelStore> make_memory_store(int width, int height, size_t bytes);

// The factory new effect images take; images made from an image (crops, grown canvases) take that
// image's. Set it once before images are made (the library does so when it loads).
void set_default_pixel_store(PixelStoreFactory factory);
PixelStoreFactory default_pixel_store();
