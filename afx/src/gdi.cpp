// GDI object wrappers.
#include "afximpl.h"

CGdiObject::~CGdiObject() {
    if (!m_temporary) DeleteObject();
    m_hObject = nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) { return AfxTempGdiObject<CGdiObject>(object); }
CPen* CPen::FromHandle(HPEN pen) { return AfxTempGdiObject<CPen>(pen); }
CBrush* CBrush::FromHandle(HBRUSH brush) { return AfxTempGdiObject<CBrush>(brush); }
CFont* CFont::FromHandle(HFONT font) { return AfxTempGdiObject<CFont>(font); }
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return AfxTempGdiObject<CBitmap>(bitmap); }
CRgn* CRgn::FromHandle(HRGN rgn) { return AfxTempGdiObject<CRgn>(rgn); }

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object) return FALSE;
    if (m_hObject && !m_temporary) ::DeleteObject(m_hObject);
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return bitmap && Attach(::CreatePatternBrush((HBITMAP)bitmap->m_hObject));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strike_out, BYTE char_set, BYTE out_precision, BYTE clip_precision,
                       BYTE quality, BYTE pitch_and_family, const char* face) {
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strike_out,
                                char_set, out_precision, clip_precision, quality, pitch_and_family, face));
}

BOOL CFont::CreatePointFont(int point_size, const char* face, CDC* dc) {
    LOGFONTA font{};
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfHeight = point_size;
    if (face) lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreatePointFontIndirect(&font, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* font, CDC* dc) {
    HDC hdc = dc ? dc->m_hDC : ::GetDC(nullptr);
    LOGFONTA copy = *font;
    // Tenths of a point to logical units of the DC.
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), font->lfHeight, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(hdc, &pt, 1);
    ::DPtoLP(hdc, &origin, 1);
    copy.lfHeight = -abs(pt.y - origin.y);
    if (!dc) ::ReleaseDC(nullptr, hdc);
    return CreateFontIndirect(&copy);
}

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }

BOOL CBitmap::LoadBitmap(const char* name) {
    HINSTANCE module = AfxFindResourceHandle(name, (LPCSTR)RT_BITMAP);
    return Attach(::LoadBitmapA(module, name));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int w, int h) {
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, w, h));
}

CSize CBitmap::GetSize() const {
    BITMAP bm{};
    if (!m_hObject || !GetBitmap(&bm)) return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}
