#include "videofx/panel/TextOverlayDlg.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "afxdlgs.h"
#include "afxseam.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"
#include "videofx/rules/text_rules.h"

using brisvane::table;
namespace text = videofx::text;

namespace {

void put(uint8_t* p, COLORREF c) {
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}
COLORREF get(const uint8_t* p) { return RGB(p[2], p[1], p[0]); }

}  // namespace

BEGIN_MESSAGE_MAP(CTextOverlayDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_TEXT_PLACEMENT, OnPlacementMode)
    ON_BN_CLICKED(IDC_TEXT_TEXTMODE, OnTextMode)
    ON_BN_CLICKED(IDC_TEXT_FONT, OnFont)
    ON_BN_CLICKED(IDC_TEXT_COLOUR, OnTextColour)
    ON_BN_CLICKED(IDC_TEXT_BACK, OnBackColour)
    ON_BN_CLICKED(IDC_TEXT_GENERATE, OnGenerate)
    ON_CBN_SELCHANGE(IDC_TEXT_STYLE, OnComboChange)
    ON_CBN_SELCHANGE(IDC_TEXT_BACKSTYLE, OnComboChange)
    ON_CBN_SELCHANGE(IDC_TEXT_TRANSPARENCY, OnComboChange)
    ON_EN_CHANGE(IDC_TEXT_EDIT, OnTextChange)
    ON_MESSAGE(WM_PREVIEW_NOTIFY, OnRegionChanged)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CTextOverlayDlg::CTextOverlayDlg() : m_text("Delmora欢迎你") {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof m_lf, &m_lf);
    m_lf.lfHeight = 24;
}

void CTextOverlayDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TEXT_FONT, m_font);
    DDX_Control(dx, IDC_TEXT_BACK, m_back);
    DDX_Control(dx, IDC_TEXT_COLOUR, m_colour);
    DDX_Control(dx, IDC_TEXT_GENERATE, m_generate);
    DDX_Control(dx, IDC_TEXT_PLACEMENT, m_placement);
    DDX_Control(dx, IDC_TEXT_TEXTMODE, m_textMode);
    DDX_Control(dx, IDC_TEXT_STYLE, m_styleCombo);
    DDX_Control(dx, IDC_TEXT_BACKSTYLE, m_backCombo);
    DDX_Control(dx, IDC_TEXT_TRANSPARENCY, m_transparencyCombo);
    DDX_Control(dx, IDC_TEXT_STATUS, m_status);
    DDX_Control(dx, IDC_TEXT_GLYPH, m_glyph);
    DDX_Text(dx, IDC_TEXT_EDIT, m_text);
}

BOOL CTextOverlayDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    m_placement.LoadIcons(IDI_ON, 0);
    m_textMode.LoadIcons(IDI_OFF, 0);
    m_placement.OffsetColour(0, 30);
    m_textMode.OffsetColour(0, 30);
    m_placement.SetTooltipText("调整并显示文字叠加的区域");
    m_textMode.SetTooltipText("叠加的文字选择及显示");
    const char* styles[] = {"平面字体色", "渐变亮色字体", "渐变暗色字体", "中间亮色字体", "中间暗色字体"};
    const char* backs[] = {"平面色块背景", "渐变亮色块背景", "渐变暗色块背景", "中间亮色块背景", "中间暗色块背景", "水平立体色块背景"};
    const char* transparencies[] = {"背景不透明", "背景25%透明", "背景半透明", "背景75%透明", "背景完全透明"};
    m_styleCombo.ClearItems();
    m_styleCombo.ResetContent();
    m_backCombo.ClearItems();
    m_backCombo.ResetContent();
    m_transparencyCombo.ClearItems();
    m_transparencyCombo.ResetContent();
    for (const char* t : styles) m_styleCombo.AddString(t);
    for (const char* t : backs) m_backCombo.AddString(t);
    for (const char* t : transparencies) m_transparencyCombo.AddString(t);
    m_styleCombo.SetCurSel(0);
    m_backCombo.SetCurSel(0);
    m_transparencyCombo.SetCurSel(0);
    struct Command {
        CSkinButton* button;
        const char* tip;
        UINT icon;
    } commands[] = {{&m_font, "选择需显示的字体", IDI_FONT},
                    {&m_generate, "确认按照显示的效果更新视频", IDI_GENERATE},
                    {&m_back, "选择背景颜色", IDI_BACK_COLOUR},
                    {&m_colour, "选择字体颜色", IDI_TEXT_COLOUR}};
    for (const Command& c : commands) {
        c.button->SetTooltipText(c.tip);
        c.button->OffsetColour(0, 30);
        c.button->LoadIcons(c.icon, 0);
        c.button->DropBackgroundCache();
        c.button->SetColour(1, 255);
        c.button->SetColour(3, 0xFF0000);
    }
    m_glyph.SetFontName("楷体");
    m_glyph.SetFontSize(12);
    m_glyph.ShowWindow(SW_HIDE);
    m_status.SetFontName("楷体");
    m_status.SetFontSize(12);
    ShowStatus();
    UpdateData(FALSE);
    m_pView = mypicscrollview::CreateOver(this, IDC_TEXT_VIEW_AREA);
    if (m_pView) {
        m_pView->NewPicture(table().frame_width(), table().frame_height());
        m_pView->m_noBackground = 1;
    }
    m_textMode.SetPressed(TRUE);
    m_placementMode = 0;
    ApplyMode();
    return TRUE;
}

void CTextOverlayDlg::ShowStatus() {
    const videofx::EffectSlot s = table().slot(videofx::kTextSlot);
    const bool on = s.enabled == 1;
    char line[200];
    std::snprintf(line, sizeof line,
                  on ? "文字叠加已使用 文字放置区域 起点[%d,%d] 宽:%d 高:%d" : "文字叠加未使用 文字放置区域 起点[%d,%d] 宽:%d 高:%d",
                  s.region_x, s.region_y, s.region_width, s.region_height);
    m_status.SetBkColor(on ? 0xFF0000 : 255);
    m_status.SetText(line);
}

void CTextOverlayDlg::ApplyMode() {
    const bool placement = m_placementMode != 0;
    const UINT text_controls[] = {IDC_TEXT_STYLE, IDC_TEXT_BACKSTYLE, IDC_TEXT_TRANSPARENCY, IDC_TEXT_FONT, IDC_TEXT_BACK,
                                  IDC_TEXT_COLOUR, IDC_TEXT_GENERATE, IDC_TEXT_CAPTION, IDC_TEXT_EDIT};
    for (UINT id : text_controls)
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(placement ? SW_HIDE : SW_SHOW);
    m_status.ShowWindow(placement ? SW_SHOW : SW_HIDE);
    if (!m_pView) return;
    if (placement) {
        ShowStatus();
        PlacementPreview();
        return;
    }
    // Text mode: the text bitmap, or the no-text message.
    CRgbImage* bitmap = nullptr;
    table().with_slots([&](videofx::SlotTable& slots) {
        const videofx::EffectSlot& s = slots[videofx::kTextSlot];
        if (!videofx::slot_picture_complete(s) || !s.data) return 0;
        bitmap = new CRgbImage(s.data_width, s.data_height);
        if (!bitmap->empty()) std::memcpy(bitmap->pixels(), s.data, bitmap->byte_size());
        return 0;
    });
    m_pView->m_effectIndex = -1;
    if (!bitmap) {
        m_pView->m_emptyState = 2;
        m_pView->Invalidate(FALSE);
        return;
    }
    m_pView->m_emptyState = 0;
    m_pView->m_noBackground = 0;
    const int w = bitmap->width(), h = bitmap->height();
    m_pView->TakePicture(bitmap);
    m_pView->SetExtent(w, h);
}

void CTextOverlayDlg::PlacementPreview() {
    const int fw = table().frame_width(), fh = table().frame_height();
    auto* preview = new CRgbImage(fw, fh);
    videofx::EffectSlot s{};
    table().with_slots([&](videofx::SlotTable& slots) {
        const videofx::EffectSlot& t = slots[videofx::kTextSlot];
        s = videofx::EffectSlot{};
        s.region_x = t.region_x;
        s.region_y = t.region_y;
        s.region_width = t.region_width;
        s.region_height = t.region_height;
        s.whole_frame = t.whole_frame;
        if (!videofx::slot_picture_complete(t) || !t.data) return 0;
        const int x0 = t.whole_frame == 1 ? 0 : t.region_x, y0 = t.whole_frame == 1 ? 0 : t.region_y;
        const int w = t.whole_frame == 1 ? fw : t.region_width, h = t.whole_frame == 1 ? fh : t.region_height;
        const int stride = videofx::bgr_stride(t.data_width);
        for (int r = 0; r < std::min(h, t.data_height); ++r)
            for (int c = 0; c < std::min(w, t.data_width); ++c) {
                const uint8_t* p = t.data + size_t(stride) * r + 3 * c;
                if (get(p) == text::kTransparent) continue;
                if (x0 + c < 0 || y0 + r < 0 || x0 + c >= fw || y0 + r >= fh) continue;
                std::memcpy(preview->row(y0 + r) + 3 * (x0 + c), p, 3);
            }
        return 0;
    });
    m_pView->m_emptyState = 0;
    m_pView->m_effectIndex = videofx::kTextSlot;
    m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    m_pView->TakePicture(preview);
    m_pView->SetExtent(fw, fh);
}

void CTextOverlayDlg::OnPlacementMode() {
    m_placementMode = m_placement.IsPressed() ? 1 : 0;
    m_textMode.SetPressed(!m_placementMode);
    ApplyMode();
}

void CTextOverlayDlg::OnTextMode() {
    m_placementMode = m_textMode.IsPressed() ? 0 : 1;
    m_placement.SetPressed(m_placementMode != 0);
    ApplyMode();
}

void CTextOverlayDlg::OnFont() {
    CFontDialog dialog(&m_lf, CF_SCREENFONTS | CF_EFFECTS, nullptr, this);
    if (dialog.DoModal() != IDOK) return;
    dialog.GetCurrentFont(&m_lf);
    m_cellHeight = std::abs((int)m_lf.lfHeight);
    m_cellWidth = m_lf.lfWidth ? std::abs((int)m_lf.lfWidth) : m_cellHeight;
    if (m_cellHeight <= 0) m_cellHeight = m_cellWidth = 24;
    Generate();
}

bool CTextOverlayDlg::TakeColour(bool is_text, COLORREF colour) {
    if ((colour & 0xFFFFFF) == text::kTransparent) {
        AfxShowMessageBox(m_hWnd, "绿色是透明色，请不要使用绿色", "Varsel视频效果汉字叠加", MB_OK);
        return false;
    }
    (is_text ? m_textColour : m_backColour) = colour & 0xFFFFFF;
    return true;
}

void CTextOverlayDlg::OnTextColour() {
    CColorDialog dialog(m_textColour, 0, this);
    if (dialog.DoModal() == IDOK && TakeColour(true, dialog.GetColor())) Generate();
}

void CTextOverlayDlg::OnBackColour() {
    CColorDialog dialog(m_backColour, 0, this);
    if (dialog.DoModal() == IDOK && TakeColour(false, dialog.GetColor())) Generate();
}

void CTextOverlayDlg::OnComboChange() { Generate(); }
void CTextOverlayDlg::OnTextChange() { UpdateData(TRUE); }
void CTextOverlayDlg::OnGenerate() { Generate(); }

CRgbImage CTextOverlayDlg::RenderCell(const char* glyph, int length, int cell_width) {
    CRgbImage cell(cell_width, m_cellHeight);
    if (cell.empty()) return cell;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cell_width;
    info.bmiHeader.biHeight = -m_cellHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HBITMAP dib = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) ::DeleteObject(dib);
        ::DeleteDC(dc);
        return CRgbImage(0, 0);
    }
    HGDIOBJ old_bitmap = ::SelectObject(dc, dib);
    HFONT font = ::CreateFontIndirectA(&m_lf);
    HGDIOBJ old_font = ::SelectObject(dc, font);
    RECT r{0, 0, cell_width, m_cellHeight};
    HBRUSH brush = ::CreateSolidBrush(m_backColour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
    ::SetBkColor(dc, m_backColour);
    ::SetTextColor(dc, m_textColour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextA(dc, glyph, length, &r, DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_NOCLIP);
    ::GdiFlush();
    const int stride = CRgbImage::StrideFor(cell_width);
    for (int y = 0; y < m_cellHeight; ++y)
        std::memcpy(cell.row(y), static_cast<uint8_t*>(bits) + size_t(stride) * y, size_t(3) * cell_width);
    ::SelectObject(dc, old_font);
    ::DeleteObject(font);
    ::SelectObject(dc, old_bitmap);
    ::DeleteObject(dib);
    ::DeleteDC(dc);
    return cell;
}

bool CTextOverlayDlg::Generate() {
    UpdateData(TRUE);
    const std::string value(m_text);
    switch (text::check_text(value)) {
    case text::TextCheck::kEmpty:
        AfxShowMessageBox(m_hWnd, "文字编辑框无内容，请输入文字", "VarselFLV编辑器汉字叠加", MB_OK);
        return false;
    case text::TextCheck::kTooLong:
        AfxShowMessageBox(m_hWnd, "文字编辑内容太多，最大文字字节数不超过511", "VarselFLV编辑器汉字叠加", MB_OK);
        return false;
    default: break;
    }
    m_textStyle = std::max(0, m_styleCombo.GetCurSel());
    m_backStyle = std::max(0, m_backCombo.GetCurSel());
    m_transparency = std::max(0, m_transparencyCombo.GetCurSel());
    const int width = text::bitmap_width(value, m_cellWidth), height = text::bitmap_height(m_cellHeight);
    CRgbImage bitmap(width, height);
    if (bitmap.empty()) return false;
    for (int i = 0; i < height; ++i) {
        const COLORREF row = text::background_row_colour(m_backStyle, m_backColour, i, height);
        for (int j = 0; j < width; ++j)
            put(bitmap.row(i) + 3 * j, text::background_pixel(m_transparency, i, j) ? row : text::kTransparent);
    }
    int x = text::kLeftMargin;
    for (const text::Token& t : text::tokenize(value, m_cellWidth)) {
        if (t.drawn && t.cell_width > 0) {
            const CRgbImage cell = RenderCell(value.data() + t.offset, t.length, t.cell_width);
            for (int r = 0; r < cell.height() && r < height; ++r) {
                const COLORREF style = text::text_row_colour(m_textStyle, m_textColour, r, m_cellHeight);
                for (int c = 0; c < cell.width() && x + c < width; ++c) {
                    const uint8_t* p = cell.row(r) + 3 * c;
                    const COLORREF pixel = get(p);
                    if (pixel == m_backColour) continue;
                    put(bitmap.row(r) + 3 * (x + c), m_textStyle > 0 && pixel == m_textColour ? style : pixel);
                }
            }
        }
        x += t.advance();
    }
    const int size = int(bitmap.byte_size());
    auto* data = static_cast<uint8_t*>(std::malloc(size_t(size)));
    if (!data) return false;
    std::memcpy(data, bitmap.pixels(), size_t(size));
    table().set_slot_data(videofx::kTextSlot, data, size, width, height);
    table().with_slots([&](videofx::SlotTable& slots) {
        videofx::EffectSlot& s = slots[videofx::kTextSlot];
        s.int_params[0] = (int32_t)text::to_record(m_backColour);
        s.int_params[1] = (int32_t)text::to_record(m_textColour);
        s.int_params[2] = m_cellWidth;
        s.byte_params[0] = (uint8_t)m_backStyle;
        s.byte_params[1] = (uint8_t)m_transparency;
        s.byte_params[2] = (uint8_t)m_textStyle;
        std::snprintf(s.text, videofx::kTextSize, "%s", value.c_str());
        return 0;
    });
    m_hasBitmap = true;
    ApplyMode();
    return true;
}

LRESULT CTextOverlayDlg::OnRegionChanged(WPARAM code, LPARAM) {
    if (code != 8888 || !m_pView) return 0;
    const videofx::preview::Rect r = m_pView->GetRect();
    table().with_slots([&](videofx::SlotTable& slots) {
        videofx::EffectSlot& s = slots[videofx::kTextSlot];
        s.region_x = r.x;
        s.region_y = r.y;
        s.region_width = r.width;
        s.region_height = r.height;
        return 0;
    });
    ShowStatus();
    PlacementPreview();
    return 0;
}

void CTextOverlayDlg::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    if (!show) return;
    const videofx::EffectSlot s = table().slot(videofx::kTextSlot);
    m_styleCombo.SetCurSel(s.byte_params[2] < 5 ? s.byte_params[2] : 0);
    m_backCombo.SetCurSel(s.byte_params[0] < 6 ? s.byte_params[0] : 0);
    m_transparencyCombo.SetCurSel(s.byte_params[1] < 5 ? s.byte_params[1] : 0);
    const COLORREF back = text::from_record((uint32_t)s.int_params[0]), fore = text::from_record((uint32_t)s.int_params[1]);
    if (back != text::kTransparent) m_backColour = back;
    if (fore != text::kTransparent) m_textColour = fore;
    if (s.int_params[2] > 0) m_cellWidth = m_cellHeight = s.int_params[2];
    if (std::strlen(s.text) > 3) m_text = s.text;
    m_hasBitmap = table().text_valid();
    UpdateData(FALSE);
    ApplyMode();
}

void CTextOverlayDlg::SetVideoSize() {
    if (!m_pView) return;
    const videofx::EffectSlot s = table().slot(videofx::kTextSlot);
    if (m_placementMode) m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    if (m_placementMode || !m_hasBitmap) m_pView->NewPicture(table().frame_width(), table().frame_height());
}

void CTextOverlayDlg::SetPreviewFrame(int width, int height, const uint8_t* frame) {
    if (!m_pView || !(m_placementMode || !m_hasBitmap)) return;
    m_pView->CopyFrameLocked(width, height, frame);
}
