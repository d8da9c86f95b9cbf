#include "videofx/panel/PictureOverlayDlg.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "afxseam.h"
#include "base/fileio.h"
#include "engine/image/gdi/rgb_image_gdi.h"
#include "media/jpeg/jpegfile.h"
#include "videofx/core/gif_picture.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"
#include "videofx/rules/picture_rules.h"

using brisvane::table;
namespace page = videofx::picture_page;

namespace {

const char* const kPlacements[page::kPlacementCount] = {"原图像大小左上角对齐", "原图像大小右上角对齐", "原图像大小左下角对齐",
                                                        "原图像大小右下角对齐", "选择区域大小图像拉伸", "区域及图像最小部分"};

// A malloc'd copy of the picture with `slack` spare bytes; null when memory runs out.
uint8_t* copy_picture(const CRgbImage& image, int slack) {
    const size_t bytes = image.byte_size();
    auto* data = static_cast<uint8_t*>(std::malloc(bytes + size_t(slack)));
    if (!data) return nullptr;
    std::memcpy(data, image.pixels(), bytes);
    std::memset(data + bytes, 0, size_t(slack));
    return data;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPictureOverlayDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_PIC_POSITION, OnShowPosition)
    ON_BN_CLICKED(IDC_PIC_PICTURE, OnShowPicture)
    ON_BN_CLICKED(IDC_PIC_CHOOSE, OnChoosePicture)
    ON_BN_CLICKED(IDC_PIC_KEYED, OnKeyColourCheck)
    ON_CBN_SELCHANGE(IDC_PIC_PLACEMENT, OnPlacementChange)
    ON_WM_HSCROLL()
    ON_WM_SHOWWINDOW()
    ON_MESSAGE(WM_PREVIEW_NOTIFY, OnViewNotify)
END_MESSAGE_MAP()

void CPictureOverlayDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PIC_CHOOSE, m_choose);
    DDX_Control(dx, IDC_PIC_KEYED, m_keyCheck);
    DDX_Control(dx, IDC_PIC_POSITION, m_position);
    DDX_Control(dx, IDC_PIC_PICTURE, m_pictureMode);
    DDX_Control(dx, IDC_PIC_PLACEMENT, m_placementCombo);
    DDX_Control(dx, IDC_PIC_TOLERANCE, m_toleranceSlider);
    DDX_Control(dx, IDC_PIC_KEY_LABEL, m_keyLabel);
    DDX_Control(dx, IDC_PIC_STATUS, m_status);
}

BOOL CPictureOverlayDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    m_position.LoadIcons(IDI_ON, 0);
    m_pictureMode.LoadIcons(IDI_OFF, 0);
    m_choose.LoadIcons(IDI_PICTURE, 0);
    m_choose.SetTooltipText("选择需叠加的图片");
    m_keyCheck.SetTooltipText("叠加的图片选择及显示");
    m_position.SetTooltipText("调整并显示图片叠加的区域");
    m_pictureMode.SetTooltipText("局部视频调整");
    for (CSkinLabel* label : {&m_keyLabel, &m_status}) {
        label->SetFontName("楷体");
        label->SetFontSize(12);
    }
    m_toleranceSlider.SetRange(0, 128, TRUE);
    m_toleranceSlider.SetTicFreq(1);
    m_toleranceSlider.SetSelection(80, 120);
    m_toleranceSlider.SetPos(0);
    m_toleranceSlider.EnableWindow(FALSE);
    m_placementCombo.ClearItems();
    m_placementCombo.ResetContent();
    m_placementCombo.SetTextColour(0x20FFFF);
    m_placementCombo.SetBackColour(0xC08020);
    for (const char* t : kPlacements) m_placementCombo.AddString(t);
    m_placementCombo.SetCurSel(0);
    m_position.SetPressed(TRUE);
    m_showPosition = 1;
    ShowStatus(true);
    CreatePreviewView();
    ApplyMode();
    return TRUE;
}

void CPictureOverlayDlg::CreatePreviewView() {
    m_pView = mypicscrollview::CreateOver(this, IDC_PIC_VIEW_AREA);
    if (!m_pView) return;
    const videofx::EffectSlot s = table().slot(videofx::kPictureSlot);
    m_pView->m_effectIndex = videofx::kPictureSlot;
    m_pView->m_emptyState = 0;
    m_pView->m_noBackground = 1;
    m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    m_pView->NewPicture(table().frame_width(), table().frame_height());
}

void CPictureOverlayDlg::ShowStatus(bool with_colons) {
    const videofx::EffectSlot s = table().slot(videofx::kPictureSlot);
    const bool on = s.enabled == 1;
    char text[200];
    if (with_colons)
        std::snprintf(text, sizeof text, on ? "图形叠加已使用 放置区域 起点[%d,%d] 宽:%d 高:%d" : "图形叠加未使用 放置区域 起点[%d,%d] 宽:%d 高:%d",
                      s.region_x, s.region_y, s.region_width, s.region_height);
    else
        std::snprintf(text, sizeof text, on ? "图形叠加已使用 放置区域 起点[%d,%d] 宽%d 高%d" : "图形叠加未使用 放置区域 起点[%d,%d] 宽%d 高%d",
                      s.region_x, s.region_y, s.region_width, s.region_height);
    m_status.SetTextColor(on ? 0xFF0000 : 0x0000FF);
    m_status.SetText(text);
}

void CPictureOverlayDlg::ComputeBounds() {
    const page::KeyBounds b = page::key_bounds(m_keyRed, m_keyGreen, m_keyBlue, m_tolerance);
    m_lowRed = b.low[0];
    m_lowGreen = b.low[1];
    m_lowBlue = b.low[2];
    m_highRed = b.high[0];
    m_highGreen = b.high[1];
    m_highBlue = b.high[2];
    // The overlay routine's key box runs blue, green, red.
    const uint8_t low[3] = {(uint8_t)m_lowBlue, (uint8_t)m_lowGreen, (uint8_t)m_lowRed};
    const uint8_t high[3] = {(uint8_t)m_highBlue, (uint8_t)m_highGreen, (uint8_t)m_highRed};
    table().set_overlay_key(m_keyed != 0, low, high);
}

void CPictureOverlayDlg::ApplyMode() {
    const bool position = m_showPosition != 0;
    m_status.ShowWindow(position ? SW_SHOW : SW_HIDE);
    for (CWnd* w : {(CWnd*)&m_keyLabel, (CWnd*)&m_choose, (CWnd*)&m_toleranceSlider, (CWnd*)&m_keyCheck})
        w->ShowWindow(position ? SW_HIDE : SW_SHOW);
    if (position)
        PositionPreview();
    else
        PictureDisplay();
}

void CPictureOverlayDlg::OnShowPosition() {
    m_showPosition = m_position.IsPressed() ? 1 : 0;
    m_pictureMode.SetPressed(!m_showPosition);
    ApplyMode();
}

void CPictureOverlayDlg::OnShowPicture() {
    m_showPosition = m_pictureMode.IsPressed() ? 0 : 1;
    m_position.SetPressed(m_showPosition != 0);
    ApplyMode();
}

void CPictureOverlayDlg::PositionPreview() {
    if (!m_pView) return;
    const int fw = table().frame_width(), fh = table().frame_height();
    auto* preview = new CRgbImage(fw, fh);
    table().with_slots([&](videofx::SlotTable& slots) {
        const videofx::EffectSlot& s = slots[videofx::kPictureSlot];
        int x = s.region_x, y = s.region_y;
        if (s.whole_frame == 1) x = y = 0;
        const CRgbImage overlay = page::build_overlay(s, m_placement, s.region_width, s.region_height);
        for (int r = 0; r < overlay.height(); ++r) {
            if (y + r < 0 || y + r >= fh) continue;
            for (int c = 0; c < overlay.width(); ++c) {
                if (x + c < 0 || x + c >= fw) continue;
                const uint8_t* p = overlay.row(r) + 3 * c;
                if (m_keyed && p[0] >= m_lowBlue && p[0] <= m_highBlue && p[1] >= m_lowGreen && p[1] <= m_highGreen &&
                    p[2] >= m_lowRed && p[2] <= m_highRed)
                    continue;
                std::memcpy(preview->row(y + r) + 3 * (x + c), p, 3);
            }
        }
        return 0;
    });
    const videofx::EffectSlot s = table().slot(videofx::kPictureSlot);
    m_pView->m_emptyState = 0;
    m_pView->m_effectIndex = videofx::kPictureSlot;
    m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    m_pView->TakePicture(preview);
    m_pView->SetExtent(fw, fh);
    m_pView->m_noBackground = 1;
    m_pView->Invalidate(FALSE);
}

void CPictureOverlayDlg::PictureDisplay() {
    if (!m_pView) return;
    CRgbImage* picture = nullptr;
    table().with_slots([&](videofx::SlotTable& slots) {
        const videofx::EffectSlot& s = slots[videofx::kPictureSlot];
        if (!page::picture_loaded(s)) return 0;
        picture = new CRgbImage(s.data_width, s.data_height, 0xFFFFFF);
        std::memcpy(picture->pixels(), s.data, picture->byte_size());
        return 0;
    });
    if (!picture) {
        m_pView->m_emptyState = 1;
        m_pView->Invalidate(FALSE);
        return;
    }
    m_pView->m_emptyState = 0;
    m_pView->m_effectIndex = -1;
    m_pView->SetRect({0, 0, picture->width(), picture->height()});
    const int w = picture->width(), h = picture->height();
    m_pView->TakePicture(picture);
    m_pView->SetExtent(w, h);
    m_pView->m_noBackground = 0;
}

int CPictureOverlayDlg::LoadPicture(const char* path) {
    const size_t length = path ? std::strlen(path) : 0;
    uint8_t head[page::kSniffBytes] = {};
    size_t got = 0;
    if (length >= 4) {
        fileio::File file;
        if (!file.open(path, fileio::File::Mode::Read)) return page::kCannotRead;
        const int64_t n = file.read(head, sizeof head);
        got = n > 0 ? size_t(n) : 0;
    }
    const int type = page::sniff(length, head, got);
    if (type < 0) return type;
    std::unique_ptr<CRgbImage> picture;
    int slack = 800;
    if (type == page::kJpeg) {
        int w = 0, h = 0;
        uint8_t* rgb = JpegFile::ReadRgb(path, &w, &h);
        if (!rgb) return page::kCannotRead;
        JpegFile::SwapRedBlue(rgb, w, h);
        picture = std::make_unique<CRgbImage>(w, h);
        if (!picture->empty())
            for (int y = 0; y < h; ++y) std::memcpy(picture->row(y), rgb + size_t(3) * w * y, size_t(3) * w);
        std::free(rgb);
    } else if (type == page::kGif) {
        picture = std::make_unique<CRgbImage>(videofx::gif_first_frame_picture(path));
    } else {
        picture = CRgbImageGdi::LoadBmpFile(nullptr, path, CRgbImageGdi::kFromFile);
        slack = 0;
    }
    if (!picture || picture->empty()) return page::kCannotRead;
    uint8_t* data = copy_picture(*picture, 800);
    if (!data) return page::kCannotRead;
    const int size = int(picture->byte_size()) + slack;
    if (!table().set_slot_data(videofx::kPictureSlot, data, size, picture->width(), picture->height()))
        return page::kCannotRead;
    table().with_slots([&](videofx::SlotTable& slots) {
        std::snprintf(slots[videofx::kPictureSlot].text, videofx::kTextSize, "%s", path);
        return 0;
    });
    m_pictureLoaded = true;
    return type;
}

void CPictureOverlayDlg::BuildOverlay() {
    bool built = false;
    CRgbImage overlay(0, 0);
    table().with_slots([&](videofx::SlotTable& slots) {
        const videofx::EffectSlot& s = slots[videofx::kPictureSlot];
        if (!page::picture_loaded(s)) return 0;
        overlay = page::build_overlay(s, m_placement, s.region_width, s.region_height);
        built = true;
        return 0;
    });
    m_pictureLoaded = built;
    if (!built) {
        table().clear_overlay_picture();
        return;
    }
    if (overlay.empty()) {
        table().clear_overlay_picture();
        if (m_placement == 0) AfxShowMessageBox(m_hWnd, "分配内存错误", "Orvane视频效果器", MB_OK);
        return;
    }
    table().set_overlay_picture(overlay);
    ComputeBounds();
}

void CPictureOverlayDlg::OnChoosePicture() {
    char name[512] = "*.BMP;*.JPG;*.GIF";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = "图片\0*.BMP;*.JPG;*.GIF\0";
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (AfxRunCommonDialog(m_hWnd, AfxFileOpenDialog, &ofn) != IDOK) return;
    if (LoadPicture(name) <= 0) {
        AfxShowMessageBox(m_hWnd, "图形打开失败", "Orvane视频效果器", MB_OK);
        return;
    }
    BuildOverlay();
    m_keyCheck.EnableWindow(TRUE);
    PictureDisplay();
}

void CPictureOverlayDlg::OnPlacementChange() {
    m_placement = m_placementCombo.GetCurSel();
    if (m_placement < 0) m_placement = 0;
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[videofx::kPictureSlot].byte_params[2] = (uint8_t)m_placement;
        return 0;
    });
    BuildOverlay();
    PositionPreview();
}

void CPictureOverlayDlg::OnKeyColourCheck() {
    m_keyed = m_keyCheck.IsPressed() ? 1 : 0;
    table().with_slots([&](videofx::SlotTable& slots) {
        slots[videofx::kPictureSlot].byte_params[0] = m_keyed;
        return 0;
    });
    m_toleranceSlider.EnableWindow(m_keyed);
    m_keyLabel.EnableWindow(m_keyed);
    ComputeBounds();
}

void CPictureOverlayDlg::OnHScroll(UINT code, UINT position, CScrollBar* bar) {
    if (bar && bar->GetDlgCtrlID() == IDC_PIC_TOLERANCE) {
        m_tolerance = m_toleranceSlider.GetPos();
        table().with_slots([&](videofx::SlotTable& slots) {
            slots[videofx::kPictureSlot].byte_params[1] = (uint8_t)m_tolerance;
            return 0;
        });
        ComputeBounds();
    }
    CSkinDialog::OnHScroll(code, position, bar);
}

LRESULT CPictureOverlayDlg::OnViewNotify(WPARAM code, LPARAM lp) {
    if (!m_pView) return 0;
    if (code == 8888) {
        const videofx::preview::Rect r = m_pView->GetRect();
        table().with_slots([&](videofx::SlotTable& slots) {
            videofx::EffectSlot& s = slots[videofx::kPictureSlot];
            s.region_x = r.x;
            s.region_y = r.y;
            s.region_width = r.width;
            s.region_height = r.height;
            return 0;
        });
        ShowStatus(false);
        BuildOverlay();
        PositionPreview();
    } else if (code == 22) {
        const int x = (int)((lp >> 16) & 0xFFFF), y = (int)(lp & 0xFFFF);
        bool picked = false;
        table().with_slots([&](videofx::SlotTable&) {
            CRgbImage* picture = m_pView->PictureLocked();
            if (picture && x < picture->width() && y < picture->height()) {
                const uint8_t* p = picture->row(y) + 3 * x;
                m_keyBlue = p[0];
                m_keyGreen = p[1];
                m_keyRed = p[2];
                picked = true;
            }
            return 0;
        });
        if (!picked) return 0;
        table().with_slots([&](videofx::SlotTable& slots) {
            slots[videofx::kPictureSlot].int_params[0] = m_keyRed << 16 | m_keyGreen << 8 | m_keyBlue;
            return 0;
        });
        ComputeBounds();
        m_keyLabel.SetBkColor(RGB(m_keyRed, m_keyGreen, m_keyBlue));
        m_keyLabel.Invalidate();
    }
    return 0;
}

void CPictureOverlayDlg::RefreshFromSlot() {
    const videofx::EffectSlot s = table().slot(videofx::kPictureSlot);
    m_keyed = s.byte_params[0];
    m_keyCheck.SetPressed(m_keyed == 1);
    m_placement = s.byte_params[2] < page::kPlacementCount ? s.byte_params[2] : 0;
    m_placementCombo.SetCurSel(m_placement);
    m_tolerance = s.byte_params[1];
    m_toleranceSlider.SetPos(m_tolerance);
    m_keyRed = (s.int_params[0] >> 16) & 0xFF;
    m_keyGreen = (s.int_params[0] >> 8) & 0xFF;
    m_keyBlue = s.int_params[0] & 0xFF;
    ComputeBounds();
    BuildOverlay();
}

void CPictureOverlayDlg::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    if (!show) return;
    ShowStatus(false);
    RefreshFromSlot();
    const bool loaded = table().picture_valid();
    m_keyCheck.EnableWindow(loaded);
    m_toleranceSlider.EnableWindow(loaded && m_keyed);
    ApplyMode();
}

void CPictureOverlayDlg::SetVideoSize() {
    if (!m_pView) return;
    const videofx::EffectSlot s = table().slot(videofx::kPictureSlot);
    m_pView->SetRect({s.region_x, s.region_y, s.region_width, s.region_height});
    m_pView->NewPicture(table().frame_width(), table().frame_height());
    BuildOverlay();
}

void CPictureOverlayDlg::SetPreviewFrame(int width, int height, const uint8_t* frame) {
    if (!m_pView || !(m_showPosition || !m_pictureLoaded)) return;
    m_pView->CopyFrameLocked(width, height, frame);
}
