#include "GlintMenu.h"
#include "controls/skin/MemDC.h"
#include "glint_menu_gdi.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/menu_rules.h"
#include "controls/skin_core/skin_colour.h"
#include <algorithm>

using namespace glint;

// ---- measuring and drawing ----

void GlintMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
    MenuItemRecord* rec = (MenuItemRecord*)mis->itemData;
    if (!rec) return;
    const bool flat = UsesXpStyle() && s_imageVariants;
    const bool separator = (rec->flags & MF_SEPARATOR) != 0;
    int width = 0;
    if (!separator) {
        MeasureDC measure;
        HFONT font = IsModernShell() ? create_menu_font() : nullptr;
        HGDIOBJ old = font ? ::SelectObject(measure.dc, font) : nullptr;
        width = text_width(measure.dc, rec->text);
        if (GetOsVersionCode() == 0 && !rec->text.empty()) {
            RECT r = {0, 0, 0, 0};
            ::DrawTextW(measure.dc, (LPCWSTR)rec->text.c_str(), (int)rec->text.size(), &r,
                        DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
            int w = (int)(r.right - r.left) + 3;
            width = w + 3 * (w / (int)rec->text.size());
        }
        if (font) {
            ::SelectObject(measure.dc, old);
            ::DeleteObject(font);
        }
    }
    skin::MenuItemSize size = skin::measure_menu_item(separator, flat, m_nImageWidth, m_nImageHeight,
                                                      ::GetSystemMetrics(SM_CYMENU), width);
    mis->itemWidth = (UINT)size.width;
    mis->itemHeight = (UINT)size.height;
}

void GlintMenu::DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const {
    skin_draw_gradient(dc, *m_pVariant->gradient, colour, rect, style);
}

void GlintMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
    if (!dis || dis->CtlType != ODT_MENU) return;
    MenuItemRecord* rec = (MenuItemRecord*)dis->itemData;
    if (!rec) return;
    CDC* dc = CDC::FromHandle(dis->hDC);
    if ((dc->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) || !UsesXpStyle()) DrawItemClassic(dc, *dis, rec);
    else DrawItemFlat(dc, *dis, rec);
}

void GlintMenu::DrawItemText(CDC* dc, const MenuItemRecord* rec, CRect rect, COLORREF colour) const {
    if (rec->text.empty()) return;
    // The part before the first tab left-aligned, the part after the last tab right-aligned an image
    // width short of the item's right edge.
    size_t first_tab = rec->text.find(u'\t'), last_tab = rec->text.rfind(u'\t');
    std::u16string left = rec->text.substr(0, first_tab);
    std::u16string right = first_tab == std::u16string::npos ? u"" : rec->text.substr(last_tab + 1);
    if (first_tab != std::u16string::npos) rect.right -= m_nImageWidth;
    int old_mode = dc->SetBkMode(TRANSPARENT);
    COLORREF old_colour = dc->SetTextColor(colour);
    ::DrawTextW(dc->m_hDC, (LPCWSTR)left.c_str(), (int)left.size(), &rect, DT_SINGLELINE | DT_VCENTER);
    if (!right.empty())
        ::DrawTextW(dc->m_hDC, (LPCWSTR)right.c_str(), (int)right.size(), &rect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    dc->SetTextColor(old_colour);
    dc->SetBkMode(old_mode);
}

void GlintMenu::DrawImageDisabled(CDC* dc, HICON icon, int x, int y, COLORREF background) const {
    HBITMAP image = IconToBitmap(icon, dc->m_hDC);
    const int w = m_nImageWidth, h = m_nImageHeight;
    HDC src = ::CreateCompatibleDC(dc->m_hDC);
    HGDIOBJ old_src = ::SelectObject(src, image);
    if (m_nDisabledLook == 1) {
        // Embossed: a one-bit copy of the image blitted in the highlight and the shadow colour.
        HDC mono = ::CreateCompatibleDC(dc->m_hDC);
        HBITMAP mono_bitmap = ::CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ old_mono = ::SelectObject(mono, mono_bitmap);
        ::SetBkColor(src, ::GetSysColor(COLOR_BTNFACE));
        ::BitBlt(mono, 0, 0, w, h, src, 0, 0, SRCCOPY);
        RECT r = {x, y, x + w, y + h};
        fill(dc->m_hDC, r, background);
        COLORREF old_text = dc->SetTextColor(RGB(0, 0, 0)), old_back = dc->SetBkColor(RGB(255, 255, 255));
        HBRUSH light = ::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT));
        HBRUSH dark = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ old_brush = ::SelectObject(dc->m_hDC, light);
        ::BitBlt(dc->m_hDC, x + 1, y + 1, w, h, mono, 0, 0, 0xB8074A);
        ::SelectObject(dc->m_hDC, dark);
        ::BitBlt(dc->m_hDC, x, y, w, h, mono, 0, 0, 0xB8074A);
        ::SelectObject(dc->m_hDC, old_brush);
        ::DeleteObject(light);
        ::DeleteObject(dark);
        dc->SetTextColor(old_text);
        dc->SetBkColor(old_back);
        ::SelectObject(mono, old_mono);
        ::DeleteObject(mono_bitmap);
        ::DeleteDC(mono);
    } else {
        // Mask blits: background pixels white and image pixels black in the mask, then the mask
        // through a highlight brush one pixel down and right and through a shadow brush in place.
        HDC mask = ::CreateCompatibleDC(dc->m_hDC);
        HBITMAP mask_bitmap = ::CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ old_mask = ::SelectObject(mask, mask_bitmap);
        ::PatBlt(mask, 0, 0, w, h, WHITENESS);
        ::SetBkColor(src, ::GetSysColor(COLOR_BTNFACE));
        ::BitBlt(mask, 0, 0, w, h, src, 0, 0, SRCCOPY);
        ::SetBkColor(src, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::BitBlt(mask, 0, 0, w, h, src, 0, 0, SRCPAINT);
        HDC work = ::CreateCompatibleDC(dc->m_hDC);
        HBITMAP work_bitmap = ::CreateCompatibleBitmap(dc->m_hDC, w + 1, h + 1);
        HGDIOBJ old_work = ::SelectObject(work, work_bitmap);
        RECT all = {0, 0, w + 1, h + 1};
        fill(work, all, background);
        ::SetTextColor(work, RGB(255, 255, 255));
        ::SetBkColor(work, RGB(0, 0, 0));
        HBRUSH light = ::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT));
        HBRUSH dark = ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ old_brush = ::SelectObject(work, light);
        ::BitBlt(work, 1, 1, w, h, mask, 0, 0, 0xE20746);
        ::SelectObject(work, dark);
        ::BitBlt(work, 0, 0, w, h, mask, 0, 0, 0xE20746);
        ::SelectObject(work, old_brush);
        ::BitBlt(dc->m_hDC, x, y, w + 1, h + 1, work, 0, 0, SRCCOPY);
        ::DeleteObject(light);
        ::DeleteObject(dark);
        ::SelectObject(work, old_work);
        ::DeleteObject(work_bitmap);
        ::DeleteDC(work);
        ::SelectObject(mask, old_mask);
        ::DeleteObject(mask_bitmap);
        ::DeleteDC(mask);
    }
    ::SelectObject(src, old_src);
    ::DeleteDC(src);
    ::DeleteObject(image);
}

void GlintMenu::DrawItemClassic(CDC* dc, const DRAWITEMSTRUCT& dis, MenuItemRecord* rec) {
    const CRect r = dis.rcItem;
    const int l = r.left, t = r.top, b = r.bottom;
    const int iw = m_nImageWidth, ih = m_nImageHeight;
    const COLORREF face = ::GetSysColor(UsesXpLook() ? COLOR_BTNFACE : COLOR_MENU);
    if (rec->flags & MF_SEPARATOR) {
        dc->FillSolidRect(&r, face);
        CRect line = r;
        line.top = t + (b - t) / 2;
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool disabled = (dis.itemState & ODS_GRAYED) != 0;
    bool selected = (dis.itemState & ODS_SELECTED) != 0;
    if (disabled && !s_selectDisabledClassic) selected = false;
    const bool checked = (dis.itemState & ODS_CHECKED) != 0;
    const bool image = rec->image >= 0 && GlobalImages().m_hImageList;
    const bool check_images = m_pCheckImages && (m_nCheckedSelected > 0 || m_nCheckedUnselected > 0);
    COLORREF text = ::GetSysColor(COLOR_MENUTEXT);
    if (!selected) {
        DrawGradient(dc->m_hDC, kClassicItem, r, m_pVariant->classic_style);
        dc->Draw3dRect(&r, face, face);
    } else {
        CRect bar = r;
        if (image || checked || (check_images && checked)) bar.left = l + iw + 5;
        dc->FillSolidRect(&bar, ::GetSysColor(COLOR_HIGHLIGHT));
        text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    const int dy = std::max(0, (b - t - ih - 4) / 2);
    if (image) {
        CRect box(l + 1, t + dy + 1, l + iw + 3, t + dy + ih + 3);
        CRect outer(l, t + dy, l + iw + 4, t + dy + ih + 4);
        dc->Draw3dRect(&box, face, face);
        HICON icon = GlobalImages().ExtractIcon(rec->image);
        CPoint at(l + 2, t + dy + 2);
        if (disabled) {
            dc->Draw3dRect(&outer, face, face);
            if (icon) DrawImageDisabled(dc, icon, at.x, at.y, face);
        } else {
            if (selected) {
                dc->FillSolidRect(&box, face);
                if (IsModernShell()) {
                    COLORREF hi = ::GetSysColor(COLOR_BTNHIGHLIGHT), lo = ::GetSysColor(COLOR_BTNSHADOW);
                    dc->Draw3dRect(&outer, checked ? lo : hi, checked ? hi : lo);
                }
            } else if (checked) {
                dc->FillSolidRect(&box, skin::blend_white(face, 0.6));
                if (IsModernShell()) dc->Draw3dRect(&outer, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
            } else {
                dc->FillSolidRect(&box, face);
                dc->Draw3dRect(&outer, face, face);
            }
            GlobalImages().Draw(dc, rec->image, at, ILD_TRANSPARENT);
        }
        if (icon) ::DestroyIcon(icon);
    } else if (checked) {
        CRect box(l + 1, t + dy + 2, l + iw + 1, t + dy + ih + 2);
        if (check_images) {
            m_pCheckImages->Draw(dc, selected ? 1 : 0, box.TopLeft(), ILD_TRANSPARENT);
        } else {
            dc->FillSolidRect(&box, selected ? face : skin::blend_white(face, 0.6));
            if (IsModernShell()) dc->DrawEdge(&box, m_pVariant->sunken_outer_check ? BDR_SUNKENOUTER : BDR_SUNKENINNER, BF_RECT);
            if (has_checked_bitmap(m_hMenu, dis.itemID))
                draw_radio_dot(dc->m_hDC, box.left + 5, box.top + 4, ::GetSysColor(COLOR_MENUTEXT));
            else
                draw_check_tick(dc->m_hDC, box.left + 4, box.top + 4, ::GetSysColor(COLOR_MENUTEXT));
        }
    }
    CRect text_rect(l + iw + 9, t - 1, r.right, b - 1);
    if (!disabled) {
        DrawItemText(dc, rec, text_rect, text);
    } else if (selected) {
        DrawItemText(dc, rec, text_rect, face);
    } else {
        CRect moved = text_rect;
        moved.OffsetRect(1, 1);
        DrawItemText(dc, rec, moved, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawItemText(dc, rec, text_rect, ::GetSysColor(COLOR_GRAYTEXT));
    }
}

void GlintMenu::DrawItemFlat(CDC* target, const DRAWITEMSTRUCT& dis, MenuItemRecord* rec) {
    const bool disabled = (dis.itemState & ODS_GRAYED) != 0;
    bool selected = (dis.itemState & ODS_SELECTED) != 0;
    if (disabled && !s_selectDisabledFlat) selected = false;
    // A disabled item is drawn off screen with the menu font, then copied.
    CMemDC* memory = nullptr;
    HFONT font = nullptr;
    HGDIOBJ old_font = nullptr;
    CDC* dc = target;
    if (disabled && !s_selectDisabledFlat) {
        memory = new CMemDC(target, dis.rcItem);
        dc = memory;
        font = create_menu_font();
        if (font) old_font = ::SelectObject(dc->m_hDC, font);
    }
    const CRect r = dis.rcItem;
    const int l = r.left, t = r.top, b = r.bottom;
    const int iw = m_nImageWidth, ih = m_nImageHeight;
    const int gap = s_imageVariants ? 7 : 4;
    const int cw = iw + gap;
    const bool xp = UsesXpLook() != FALSE;
    const bool soft = m_pVariant->soft_flat_colours;
    const COLORREF face = soft && !xp ? skin::blend_white(kFlatFace, 0.25) : kFlatFace;
    const COLORREF highlight = soft ? skin::blend_white(::GetSysColor(COLOR_HIGHLIGHT), xp ? 0.7 : 0.85)
                                    : ::GetSysColor(COLOR_HIGHLIGHT);
    const CRect column(l, t, l + cw, b + 8);
    if (rec->flags & MF_SEPARATOR) {
        DrawGradient(dc->m_hDC, kFlatSeparator, r, 7);
        CRect line(l + cw + gap, t + (b - t) / 2, r.right, b);
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        DrawGradient(dc->m_hDC, kFlatColumn, column, m_pVariant->flat_column_style);
    } else {
        if (!selected) {
            DrawGradient(dc->m_hDC, m_pVariant->flat_item_colour, r, m_pVariant->flat_item_style);
            DrawGradient(dc->m_hDC, kFlatColumn, column, m_pVariant->flat_column_style);
        } else {
            DrawGradient(dc->m_hDC, kFlatColumn, r, m_pVariant->flat_selected_style);
        }
        const bool checked = (dis.itemState & ODS_CHECKED) != 0;
        const int dx = std::max(0, (cw - iw + 1) / 2), dy = std::max(0, (b - t - ih + 1) / 2);
        const bool image = rec->image >= 0 && GlobalImages().m_hImageList;
        const bool triple = image && HasImageTriple(rec->image);
        CRect box(l + 1, t + 1, l + cw - 1, b - 1);
        if (image) {
            CImageList& images = GlobalImages();
            if (disabled) {
                HICON icon = images.ExtractIcon(rec->image);
                if (icon) {
                    DrawImageDisabled(dc, icon, l + dx, t + dy, selected ? highlight : face);
                    ::DestroyIcon(icon);
                }
                if (selected) dc->Draw3dRect(&r, highlight, highlight);
            } else if (selected) {
                DrawGradient(dc->m_hDC, kFlatBox, box, 7);
                if (checked) {
                    dc->Draw3dRect(&box, highlight, highlight);
                    images.Draw(dc, rec->image, CPoint(l + dx - 1, t + dy - 1), ILD_TRANSPARENT);
                } else if (triple) {
                    images.Draw(dc, rec->image + 2, CPoint(l + dx + 1, t + dy + 1), ILD_TRANSPARENT);
                    images.Draw(dc, rec->image, CPoint(l + dx - 1, t + dy - 1), ILD_TRANSPARENT);
                } else {
                    images.Draw(dc, rec->image, CPoint(l + dx, t + dy), ILD_TRANSPARENT);
                }
            } else if (checked) {
                DrawGradient(dc->m_hDC, kFlatBox, box, 7);
                dc->Draw3dRect(&box, highlight, highlight);
                images.Draw(dc, rec->image, CPoint(l + dx - 1, t + dy - 1), ILD_TRANSPARENT);
            } else {
                DrawGradient(dc->m_hDC, kFlatBox, box, 7);
                dc->Draw3dRect(&box, face, face);
                images.Draw(dc, triple ? rec->image + 1 : rec->image, CPoint(l + dx, t + dy), ILD_TRANSPARENT);
            }
        } else if (checked) {
            const bool check_images = m_pCheckImages && (m_nCheckedSelected > 0 || m_nCheckedUnselected > 0);
            if (check_images) {
                DrawGradient(dc->m_hDC, kFlatBox, box, 7);
                m_pCheckImages->Draw(dc, selected ? 1 : 0, CPoint(l + dx, t + dy), ILD_TRANSPARENT);
            } else {
                CRect check(l + std::max(0, (cw - 16 + 1) / 2), t + std::max(0, (b - t - 16 + 1) / 2), 0, 0);
                check.right = check.left + 16;
                check.bottom = check.top + 16;
                dc->FillSolidRect(&check, skin::blend_white(highlight, 0.85));
                dc->Draw3dRect(&check, highlight, highlight);
                if (has_checked_bitmap(m_hMenu, dis.itemID))
                    draw_radio_dot(dc->m_hDC, check.left + 5, check.top + 4, ::GetSysColor(COLOR_MENUTEXT));
                else
                    draw_check_tick(dc->m_hDC, check.left + 5, check.top + 4, ::GetSysColor(COLOR_MENUTEXT));
            }
        }
        CRect text_rect(l + cw + 8, t - 1, r.right, b - 1);
        const COLORREF menu_text = ::GetSysColor(COLOR_MENUTEXT);
        if (disabled) {
            COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
            if (m_pVariant->soft_disabled_text && !xp && !selected) grey = skin::blend_white(grey, 0.4);
            DrawItemText(dc, rec, text_rect, grey);
        } else if (selected) {
            // The menu text up and left, then the selected colour in place.
            CRect moved = text_rect;
            moved.OffsetRect(-1, -1);
            DrawItemText(dc, rec, moved, menu_text);
            DrawItemText(dc, rec, text_rect, kFlatSelectedText);
        } else {
            CRect moved = text_rect;
            moved.OffsetRect(1, 1);
            DrawItemText(dc, rec, text_rect, menu_text);
            DrawItemText(dc, rec, moved, RGB(255, 255, 255));
        }
    }
    if (memory) {
        if (font) {
            ::SelectObject(dc->m_hDC, old_font);
            ::DeleteObject(font);
        }
        delete memory;
    }
}
