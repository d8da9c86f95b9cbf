#include "dib_pixel_store.h"
#include <cstring>

DibPixelStore::~DibPixelStore() {
    if (bitmap_) ::DeleteObject(bitmap_);
}

std::unique_ptr<PixelStore> DibPixelStore::Make(int width, int height, size_t bytes) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPV4HEADER request{};
    request.bV4Size = sizeof request;
    request.bV4Width = width;
    request.bV4Height = height;  // positive: bottom-up
    request.bV4Planes = 1;
    request.bV4BitCount = 24;
    request.bV4V4Compression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&request), DIB_RGB_COLORS, &bits,
                                        nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) ::DeleteObject(bitmap);
        return nullptr;
    }
    std::unique_ptr<DibPixelStore> store(new DibPixelStore());
    store->bitmap_ = bitmap;
    store->bits_ = static_cast<uint8_t*>(bits);
    DIBSECTION section{};
    if (::GetObjectA(bitmap, sizeof section, &section) != sizeof section ||
        size_t(section.dsBm.bmWidthBytes) * size_t(height) != bytes)
        return nullptr;
    std::memcpy(&store->header_, &section.dsBmih, sizeof section.dsBmih);
    store->header_.bV4Size = sizeof(BITMAPV4HEADER);
    store->header_.bV4RedMask = section.dsBitfields[0];
    store->header_.bV4GreenMask = section.dsBitfields[1];
    store->header_.bV4BlueMask = section.dsBitfields[2];
    return store;
}
