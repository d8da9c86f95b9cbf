// Effect images held in Windows DIB sections, as the library's Winelib build keeps them: each image
// is then also a bottom-up 24-bit bitmap that GDI can draw.
#pragma once
#include <windows.h>
#include <memory>
#include "videofx/core/pixel_store.h"

class DibPixelStore : public PixelStore {
public:
    ~DibPixelStore() override;
    uint8_t* bits() override { return bits_; }
    HBITMAP bitmap() const { return bitmap_; }
    // The section's description as Windows reports it: a 108-byte header (size field 108) with the
    // bitmap's info header and colour masks.
    const BITMAPV4HEADER& header() const { return header_; }

    // A zero-filled bottom-up 24-bit BI_RGB section of width x height; null when Windows cannot make
    // it or its rows are not the `bytes` / height bytes the image expects.
    static std::unique_ptr<PixelStore> Make(int width, int height, size_t bytes);

private:
    DibPixelStore() = default;
    HBITMAP bitmap_ = nullptr;
    uint8_t* bits_ = nullptr;
    BITMAPV4HEADER header_{};
};
