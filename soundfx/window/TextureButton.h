// The textured push button of the effects window and the small DIB that holds its faces.
#pragma once
#include "afxwin.h"
#include "controls/button/SkinButton.h"
#include "soundfx/core/texture.h"

// An in-memory DIB: the packed picture (header, colour table, rows) and, from the first draw, a DIB
// section and a memory DC to blit it from.
class CDibSurface {
public:
    CDibSurface() = default;
    virtual ~CDibSurface() { Destroy(); }
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    const BYTE* Create(int width, int height, int bits);
    void Destroy();
    void CopyFrom(const CDibSurface& other);
    void SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue);
    void TintPalette(COLORREF colour, int percent);
    void Fill(BYTE index) { m_image.fill(index); }
    void SetPixel(int x, int y, BYTE index) { m_image.set_pixel(x, y, index); }
    // Blits the whole picture to (x, y); nothing when the picture or its DIB section cannot be had.
    void Draw(HDC dc, int x, int y);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    int Stride() const { return m_image.stride(); }
    int Bits() const { return m_image.bits(); }
    size_t TotalSize() const { return m_image.total_size(); }
    int TableSize() const { return m_image.table_entries(); }
    const BYTE* Pixels() const { return m_image.empty() ? nullptr : m_image.pixels(); }
    soundfx::DibImage& Image() { return m_image; }

private:
    void DropSection();
    soundfx::DibImage m_image;
    HBITMAP m_section = nullptr;
    void* m_bits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

class CTextureButton : public CSkinButton {
public:
    CTextureButton() = default;
    ~CTextureButton() override = default;
    // The faces for the window's present size (the equaliser page: 7, 30, 60, 20, 0xC49B05).
    void GenerateTexture(int pattern, int noise, int hover_percent, int normal_percent, COLORREF tint);
    int DrawBackground(CDC* dc, RECT* rect) override;
    int DrawBorder(CDC* dc, RECT* rect) override;

private:
    CDibSurface m_normal, m_hover;
};
