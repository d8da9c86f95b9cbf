// GDI object wrappers. A permanent object owns its handle and deletes it in its destructor;
// FromHandle wraps a handle in a temporary object that lives until the thread is next idle.
#pragma once

class CDC;

class CGdiObject : public CObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    static CGdiObject* FromHandle(HGDIOBJ object);
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    operator HGDIOBJ() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const { return ::GetObjectA(m_hObject, size, buffer); }
    UINT GetObjectType() const { return (UINT)::GetObjectType(m_hObject); }
    BOOL CreateStockObject(int index) { return Attach(::GetStockObject(index)); }

protected:
    bool m_temporary = false;
    friend struct AfxTempMaps;
    template <typename T> friend T* AfxTempGdiObject(HGDIOBJ object);
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    static CPen* FromHandle(HPEN pen);
    operator HPEN() const { return (HPEN)m_hObject; }
    BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
    BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
    int GetLogPen(LOGPEN* pen) const { return GetObject(sizeof *pen, pen); }
};

class CBitmap;

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    static CBrush* FromHandle(HBRUSH brush);
    operator HBRUSH() const { return (HBRUSH)m_hObject; }
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
    BOOL CreateHatchBrush(int index, COLORREF colour) { return Attach(::CreateHatchBrush(index, colour)); }
    BOOL CreatePatternBrush(CBitmap* bitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
    BOOL CreateSysColorBrush(int index) { return Attach(::GetSysColorBrush(index)); }
    int GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof *brush, brush); }
};

class CFont : public CGdiObject {
public:
    static CFont* FromHandle(HFONT font);
    operator HFONT() const { return (HFONT)m_hObject; }
    BOOL CreateFontIndirect(const LOGFONTA* font) { return Attach(::CreateFontIndirectA(font)); }
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strike_out, BYTE char_set, BYTE out_precision, BYTE clip_precision,
                    BYTE quality, BYTE pitch_and_family, const char* face);
    // Height in tenths of a point on `dc` (the screen when NULL).
    BOOL CreatePointFont(int point_size, const char* face, CDC* dc = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONTA* font, CDC* dc = nullptr);
    int GetLogFont(LOGFONTA* font) const { return GetObject(sizeof *font, font); }
};

class CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP bitmap);
    operator HBITMAP() const { return (HBITMAP)m_hObject; }
    // Loads from this module's resources (AfxGetResourceHandle).
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(const char* name);
    BOOL LoadOEMBitmap(UINT id) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(id))); }
    BOOL CreateBitmap(int w, int h, UINT planes, UINT bpp, const void* bits) {
        return Attach(::CreateBitmap(w, h, planes, bpp, bits));
    }
    BOOL CreateBitmapIndirect(const BITMAP* bitmap) { return Attach(::CreateBitmapIndirect(bitmap)); }
    BOOL CreateCompatibleBitmap(CDC* dc, int w, int h);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof *bitmap, bitmap); }
    CSize GetSize() const;
};

class CRgn : public CGdiObject {
public:
    static CRgn* FromHandle(HRGN rgn);
    operator HRGN() const { return (HRGN)m_hObject; }
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRectRgnIndirect(const RECT* r) { return Attach(::CreateRectRgnIndirect(r)); }
    BOOL CreateEllipticRgn(int l, int t, int r, int b) { return Attach(::CreateEllipticRgn(l, t, r, b)); }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) { return Attach(::CreateRoundRectRgn(l, t, r, b, w, h)); }
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode) { return Attach(::CreatePolygonRgn(points, count, mode)); }
    BOOL CreateFromData(const XFORM* xform, int count, const RGNDATA* data) { return Attach(::ExtCreateRegion(xform, count, data)); }
    int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
        return ::CombineRgn((HRGN)m_hObject, (HRGN)a->m_hObject, b ? (HRGN)b->m_hObject : nullptr, mode);
    }
    int CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
    BOOL EqualRgn(const CRgn* other) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)other->m_hObject); }
    int OffsetRgn(int dx, int dy) { return ::OffsetRgn((HRGN)m_hObject, dx, dy); }
    void SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn((HRGN)m_hObject, l, t, r, b); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    BOOL RectInRegion(const RECT* r) const { return ::RectInRegion((HRGN)m_hObject, r); }
    int GetRgnBox(RECT* r) const { return ::GetRgnBox((HRGN)m_hObject, r); }
};
