// A memory device context over a rectangle of a target: drawing goes into a bitmap of the rectangle's
// size (window origin at its top-left corner), copied back when the object goes. A printing target is
// drawn on directly.
#pragma once
#include "afxwin.h"

class CMemDC : public CDC {
public:
    CMemDC(CDC* target, const RECT& rect) : m_pTarget(target), m_rect(rect) {
        m_bMemory = !target->IsPrinting();
        if (!m_bMemory) {
            m_hDC = target->m_hDC;
            m_temporary = true;
            return;
        }
        CreateCompatibleDC(target);
        m_hBitmap = ::CreateCompatibleBitmap(target->m_hDC, m_rect.Width(), m_rect.Height());
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        SetWindowOrg(m_rect.left, m_rect.top);
    }
    ~CMemDC() override {
        if (m_bMemory) {
            m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                              SRCCOPY);
            ::SelectObject(m_hDC, m_hOld);
            ::DeleteObject(m_hBitmap);
        } else {
            m_hDC = nullptr;
        }
    }
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    CDC* m_pTarget;
    CRect m_rect;
    bool m_bMemory = false;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
};
