#include "myeditview.h"
#include <cstring>
#include "app/res/resource.h"
#include "app/timeline/timeline_rules.h"
#include "engine/main_window/main_window.h"
#include "engine/settings/settings.h"
#include "engine/state/run_state.h"
#include "gdi_canvas.h"
#include "media/binders/binders.h"

IMPLEMENT_DYNCREATE(myeditview, CScrollView)

BEGIN_MESSAGE_MAP(myeditview, CScrollView)
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_RBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DLG_NOTIFY, OnDlgNotify)
END_MESSAGE_MAP()

namespace {

// The list's height in the scroll sizes; the view is taller, so only the horizontal bar shows.
constexpr int kContentHeight = 40;

EdgeColours system_edges() {
    EdgeColours e;
    e.dark_shadow = GetSysColor(COLOR_3DDKSHADOW);
    e.shadow = GetSysColor(COLOR_BTNSHADOW);
    return e;
}

}  // namespace

myeditview::myeditview() = default;
myeditview::~myeditview() = default;

myeditview* myeditview::CreateOver(CWnd* parent, UINT placeholder_id, UINT view_id) {
    CRect area(0, 0, 100, 40);
    if (CWnd* placeholder = parent->GetDlgItem(placeholder_id)) {
        // The placeholder's exact place in the dialog's client area, whatever the frame's size.
        placeholder->GetWindowRect(&area);
        parent->ScreenToClient(&area);
        placeholder->ShowWindow(SW_HIDE);
    }
    auto* view = static_cast<myeditview*>(RUNTIME_CLASS(myeditview)->CreateObject());
    view->SetScrollSizes(MM_TEXT, CSize(100, 10));
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, area, parent, view_id)) {
        delete view;
        return nullptr;
    }
    LOGFONTA lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = 12;
    view->m_labelFont.CreateFontIndirect(&lf);
    lf.lfHeight = 16;
    view->m_messageFont.CreateFontIndirect(&lf);
    view->dc = ::GetDC(view->m_hWnd);
    view->owner = parent->m_hWnd;
    return view;
}

void myeditview::OnInitialUpdate() {
    CScrollView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize(100, 100));
}

void myeditview::OnDestroy() {
    if (dc) ::ReleaseDC(m_hWnd, dc);
    dc = nullptr;
    CScrollView::OnDestroy();
}

BOOL myeditview::OnScroll(UINT scroll_code, UINT position, BOOL do_scroll) {
    Invalidate(FALSE);
    return CScrollView::OnScroll(scroll_code, position, do_scroll);
}

int myeditview::ClientWidth() const {
    CRect client;
    GetClientRect(&client);
    return client.Width();
}

void myeditview::ScrollToX(int x) { ScrollToPosition(CPoint(x < 0 ? 0 : x, 0)); }

const Segment* myeditview::SegmentAt(int index) const {
    return index >= 0 && index < SegmentCount() ? &m_state.segments[size_t(index)] : nullptr;
}

void myeditview::ShowSegments(int index, const SegmentList& segments, int start, int end, const char* path,
                              const MediaFileRecord* blocks_from) {
    file_index = index;
    m_state.segments = segments;
    m_state.file_path = path ? path : "";
    SetRange(start, end);
    param_len1 = param_len2 = 0;
    if (blocks_from) {
        const int l1 = blocks_from->param_len1, l2 = blocks_from->param_len2;
        param_len1 = l1 > 0 && l1 <= int(sizeof blocks_from->param_block1) ? l1 : 0;
        param_len2 = l2 > 0 && l2 <= int(sizeof blocks_from->param_block2) ? l2 : 0;
        std::memcpy(param_block1, blocks_from->param_block1, size_t(param_len1));
        std::memcpy(param_block2, blocks_from->param_block2, size_t(param_len2));
    }
    m_thumbSpots.clear();
    SetScrollSizes(MM_TEXT, CSize(content_width(SegmentCount()), kContentHeight));
    if (m_hWnd) Invalidate(FALSE);
}

void myeditview::ClearSegments() {
    m_state.segments.clear();
    m_state.sel_start = m_state.sel_end = 0;
    m_thumbSpots.clear();
    param_len1 = param_len2 = 0;
    SetScrollSizes(MM_TEXT, CSize(kContentTail, kContentHeight));
    if (m_hWnd) Invalidate(FALSE);
}

void myeditview::SetRange(int start, int end) {
    m_state.sel_start = clamp_entry(start, SegmentCount());
    m_state.sel_end = clamp_entry(end, SegmentCount());
}

void myeditview::OnDraw(CDC* cdc) {
    CRect client;
    GetClientRect(&client);
    band_height = ::band_height(client.Height());
    PaintContext ctx;
    ctx.scroll_x = GetScrollPosition().x;
    ctx.client_width = client.Width();
    ctx.client_height = client.Height();
    ctx.ui = (skin::Colour)cfg_ui_color;
    ctx.edges = system_edges();
    if (codec::uncompress)
        ctx.unpack = [](unsigned char* dest, uint32_t* dest_len, const unsigned char* src, uint32_t src_len) {
            return codec::uncompress ? codec::uncompress(dest, dest_len, src, src_len) : -1;
        };
    GdiCanvas canvas(cdc->GetSafeHdc(), (HFONT)m_labelFont, (HFONT)m_messageFont);
    m_thumbSpots = paint_timeline(canvas, m_state, ctx);
    SetROP2(cdc->GetSafeHdc(), R2_COPYPEN);
}

// The bar under the strip that a playback or conversion moves: from the range start to the entry
// reached, on the kept DC in client coordinates.
void myeditview::Progress(int entry) {
    if (!dc) return;
    const int w = ClientWidth();
    if (std::optional<int> to = progress_scroll(entry, ScrollX(), w)) {
        ScrollToX(*to);
        UpdateWindow();
    }
    const int s = ScrollX();
    CRect client;
    GetClientRect(&client);
    const int h = ::band_height(client.Height());
    GdiCanvas canvas(dc, nullptr, nullptr);
    const int left = entry_x(m_state.sel_start) - s;
    draw_range_band(canvas, 0x00FF00, TlRect{left > 0 ? left : 0, h - 6, entry_x(entry) - s, h}, 0, w + s,
                    system_edges());
}

LRESULT myeditview::OnDlgNotify(WPARAM code, LPARAM argument) {
    if (code == 8888) Progress((int)argument);
    return 0;
}

MouseFrame myeditview::Frame() const {
    CRect client;
    GetClientRect(&client);
    MouseFrame f;
    f.scroll_x = GetScrollPosition().x;
    f.client_height = client.Height();
    f.busy = flag_on(g_busy);
    return f;
}

bool myeditview::Apply(const MouseOutcome& out) {
    if (out.capture) SetCapture();
    if (out.release && ::GetCapture() == m_hWnd) ReleaseCapture();
    if (!out.cursor_lines.empty() && dc) {
        GdiCanvas canvas(dc, nullptr, nullptr);
        for (int x : out.cursor_lines) draw_cursor_line(canvas, x, 0, x + 6, band_height);
        SetROP2(dc, R2_COPYPEN);
    }
    if (out.scroll_to) {
        ScrollToX(*out.scroll_to);
        Invalidate(FALSE);
    }
    if (out.notify_code) ::SendMessageA(owner, WM_DLG_NOTIFY, out.notify_code, out.notify_value);
    if (out.invalidate) Invalidate(FALSE);
    if (out.hover_entry >= 0 && file_index >= 0)
        ::SendMessageA(owner, WM_DLG_NOTIFY, 10000 + file_index, out.hover_entry);
    switch (out.cursor) {
    case TlCursor::Arrow: ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW)); break;
    case TlCursor::Cross: ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_CROSS)); break;
    case TlCursor::Hand:
        ::SetCursor(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
        break;
    case TlCursor::Unchanged: break;
    }
    return out.call_default;
}

BOOL myeditview::OnSetCursor(CWnd*, UINT, UINT) {
    // While panning or dragging the handlers own the cursor.
    if (m_state.panning || m_state.drag_edge) return TRUE;
    return (BOOL)Default();
}

void myeditview::OnTimer(UINT_PTR) {}

void myeditview::OnLButtonDown(UINT, CPoint p) {
    if (Apply(timeline_button_down(m_state, Frame(), p.x, p.y))) Default();
}

void myeditview::OnLButtonUp(UINT, CPoint p) {
    if (Apply(timeline_button_up(m_state, Frame(), p.x, p.y))) Default();
}

void myeditview::OnMouseMove(UINT, CPoint p) {
    if (Apply(timeline_mouse_move(m_state, Frame(), m_thumbSpots, p.x, p.y))) Default();
}

void myeditview::OnRButtonUp(UINT, CPoint) {}

void myeditview::OnLButtonDblClk(UINT, CPoint p) {
    if (Apply(timeline_double_click(m_state, Frame(), p.x, p.y))) Default();
}
