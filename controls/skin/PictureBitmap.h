// Bitmaps loaded from resources through the OLE picture loader, and the blits the skinned windows
// need: plain, key-colour transparent, and a window region cut out by a key colour.
#pragma once
#include "afxwin.h"
#include <ocidl.h>

class CPictureBitmap : public CBitmap {
public:
    // Loads resource `id` of `type` from `module` (NULL: this module's resources) rendered on
    // `background` ((COLORREF)-1: none). 0 when the object already holds a bitmap, the resource is
    // missing, empty or malformed, or the picture cannot be made.
    BOOL LoadFromResource(UINT id, LPCSTR type, HINSTANCE module = nullptr, COLORREF background = (COLORREF)-1);
    // With no buffer writes the resource's size; with one copies the resource when *size is enough.
    static BOOL GetResource(LPCSTR name, LPCSTR type, HMODULE module, void* buffer, DWORD* size);
    static IPicture* CreatePictureFromBuffer(const void* bytes, size_t length);
    // Renders the picture at screen resolution into a new bitmap held by this object.
    BOOL RenderPicture(IPicture* picture, COLORREF background);
};

class CSkinBitmap : public CPictureBitmap {
public:
    BOOL Draw(CDC* target, int x, int y, const RECT* source = nullptr);
    BOOL DrawTransparent(CDC* target, int x, int y, const RECT* source, COLORREF key, BOOL transparent);
    // A window region (owned by the caller) of every pixel that differs from `key`.
    HRGN CreateRegion(COLORREF key);
};

// Copies width x height from (sx, sy) of `bitmap` to (x, y) of `target`, leaving out `key` pixels.
void DrawTransparentBitmap(HDC target, int x, int y, int width, int height, HBITMAP bitmap, int sx, int sy,
                           COLORREF key, HPALETTE palette);
