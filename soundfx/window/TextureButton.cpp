#include "soundfx/window/TextureButton.h"
#include <cstdlib>
#include <cstring>

const BYTE* CDibSurface::Create(int width, int height, int bits) {
    DropSection();
    return m_image.create(width, height, bits) ? m_image.data() : nullptr;
}

void CDibSurface::Destroy() {
    DropSection();
    m_image.destroy();
}

void CDibSurface::CopyFrom(const CDibSurface& other) {
    DropSection();
    m_image.copy_from(other.m_image);
}

void CDibSurface::SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue) {
    m_image.set_palette_entry(index, soundfx::Rgb{red, green, blue});
    DropSection();
}

void CDibSurface::TintPalette(COLORREF colour, int percent) {
    m_image.tint_palette(soundfx::rgb_of(colour), percent);
    DropSection();
}

void CDibSurface::DropSection() {
    if (m_dc) {
        if (m_old) ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    if (m_section) ::DeleteObject(m_section);
    m_dc = nullptr, m_old = nullptr, m_section = nullptr, m_bits = nullptr;
}

void CDibSurface::Draw(HDC dc, int x, int y) {
    if (m_image.empty() || !dc) return;
    if (!m_section) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(m_image.data());
        m_section = ::CreateDIBSection(dc, info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        if (!m_section || !m_bits) {
            DropSection();
            return;
        }
        m_dc = ::CreateCompatibleDC(dc);
        if (!m_dc) {
            DropSection();
            return;
        }
        m_old = ::SelectObject(m_dc, m_section);
    }
    std::memcpy(m_bits, m_image.pixels(), size_t(m_image.stride()) * size_t(m_image.height()));
    ::GdiFlush();
    ::BitBlt(dc, x, y, m_image.width(), m_image.height(), m_dc, 0, 0, SRCCOPY);
}

void CTextureButton::GenerateTexture(int pattern, int noise, int hover_percent, int normal_percent, COLORREF tint) {
    RECT r{};
    if (m_hWnd) ::GetWindowRect(m_hWnd, &r);
    soundfx::TextureFaces faces;
    const soundfx::TextureColours colours{soundfx::rgb_of(::GetSysColor(COLOR_BTNSHADOW)),
                                          soundfx::rgb_of(::GetSysColor(COLOR_BTNFACE)),
                                          soundfx::rgb_of(::GetSysColor(COLOR_BTNHIGHLIGHT))};
    soundfx::TextureRandom random(uint32_t(std::rand()) + 1u);
    soundfx::generate_texture(faces, r.right - r.left, r.bottom - r.top, pattern, noise, hover_percent, normal_percent,
                              soundfx::rgb_of(tint), colours, random);
    m_normal.Destroy();
    m_hover.Destroy();
    m_normal.Image().copy_from(faces.normal);
    m_hover.Image().copy_from(faces.hover);
}

int CTextureButton::DrawBackground(CDC* dc, RECT*) {
    if (!dc) return 0;
    if (!IsHovered()) m_normal.Draw(dc->m_hDC, 0, 0);
    else if (IsPressed() || (::GetKeyState(VK_LBUTTON) < 0 && ::GetCapture() == m_hWnd)) m_hover.Draw(dc->m_hDC, 1, 1);
    else m_hover.Draw(dc->m_hDC, 0, 0);
    return 0;
}

int CTextureButton::DrawBorder(CDC* dc, RECT* rect) {
    CSkinButton::DrawBorder(dc, rect);
    return 0;
}
