#include "SkinHeaderCtrl.h"
#include "controls/res/list_res.h"
#include "controls/skin/MemDC.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin/SkinUiColour.h"
#include "controls/skin_core/skin_colour.h"

BEGIN_MESSAGE_MAP(CSkinHeaderCtrl, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSkinHeaderCtrl::CSkinHeaderCtrl() = default;
CSkinHeaderCtrl::~CSkinHeaderCtrl() = default;

void CSkinHeaderCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CSkinHeaderCtrl::OnEraseBkgnd(CDC*) { return FALSE; }

CString CSkinHeaderCtrl::DrawnCaption(int column) const {
    return column >= 0 && column < m_drawn.GetSize() ? m_drawn[column] : CString();
}

void CSkinHeaderCtrl::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    client.bottom += 3;
    CMemDC memory(&paint, client);
    const HDC dc = memory.m_hDC;
    const int piece = 16;  // the pieces' height
    SkinResourceBitmap edge(dc, IDB_LIST_HEADER_EDGE), back(dc, IDB_LIST_HEADER_BACK);
    for (int i = 0; i < client.Width(); ++i) back.Blit(dc, client.left + 2 + i, 0, 1, piece);

    const int count = GetItemCount();
    m_drawn.SetSize(count > 0 ? count : 0);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = 255;
        GetItem(i, &item);
        CRect r;
        GetItemRect(i, &r);
        if (item.iOrder == 0) {
            edge.Blit(dc, r.left, 0, 2, piece);
        } else {
            edge.Blit(dc, r.left - 1, 0, 2, piece);
            back.Blit(dc, r.left + 1, 0, 1, piece);
        }
        for (int k = 0; k <= r.Width() - 5; ++k) back.Blit(dc, r.left + 2 + k, 0, 1, piece);
        edge.Blit(dc, r.right - 2, 0, 2, piece);

        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_HEADER;
        dis.itemID = (UINT)i;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.hwndItem = m_hWnd;
        dis.hDC = dc;
        dis.rcItem = r;
        DrawItem(&dis);

        CFont font;
        font.CreateFont(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "宋体");
        CFont* old_font = memory.SelectObject(&font);
        memory.SetBkMode(TRANSPARENT);
        const UINT format = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        CRect at = r;
        at.OffsetRect(-1, 2);
        memory.SetTextColor(0xFFFFFF);
        memory.DrawText(text, -1, &at, format);
        at.OffsetRect(1, 1);
        memory.SetTextColor(color_darken(skin_ui_color, 17));
        // The second pass keeps the caption as drawn, its cut marked, for whoever checks the header.
        char drawn[256 + 4];
        lstrcpynA(drawn, text, 256);
        ::DrawTextA(dc, drawn, -1, &at, format | DT_MODIFYSTRING);
        m_drawn[i] = drawn;
        memory.SelectObject(old_font);
    }
}
