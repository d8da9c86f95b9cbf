#include "videofx/panel/EffectChainDlg.h"
#include <cstdio>
#include <cstdlib>
#include "afxdlgs.h"
#include "afxseam.h"
#include "base/fileio.h"
#include "videofx/core/project_file.h"
#include "videofx/panel/VideoEffectDlg.h"
#include "videofx/panel/panel_state.h"
#include "videofx/res/brisvane_res.h"

using brisvane::table;

namespace {

const char* const kToggleTexts[14] = {"RGB颜色调整", "色调饱和度调整", "对比度亮度调整", "上下翻转调整", "左右镜像调整",
                                      "反色调整", "马赛克调整", "风化效果调整", "锐化效果调整", "模糊效果调整",
                                      "图形叠加调整", "文字叠加调整", "百页窗效果调整", "展开效果调整"};
const char* const kFilter = "Orvane视频处理配置文件 (*.VCP)|*.VCP|";

const char* row_name(int id) {
    if (id == videofx::kPictureOverlay) return "图形叠加效果器";
    const videofx::EffectInfo* info = videofx::find_effect(id);
    return info ? info->name : "";
}

}  // namespace

int toggle_id(int effect_id) {
    if (effect_id >= 1 && effect_id <= 12) return IDC_TOGGLE_FIRST + effect_id - 1;
    return effect_id == 13 ? IDC_TOGGLE_BLINDS : IDC_TOGGLE_EXPAND;
}

BEGIN_MESSAGE_MAP(CEffectChainDlg, CSkinDialog)
    ON_COMMAND_RANGE(IDC_TOGGLE_FIRST, IDC_TOGGLE_EXPAND, OnCommandRange)
    ON_BN_CLICKED(IDC_MOVE_UP, OnMoveUp)
    ON_BN_CLICKED(IDC_MOVE_DOWN, OnMoveDown)
    ON_BN_CLICKED(IDC_OPEN_PROJECT, OnOpen)
    ON_BN_CLICKED(IDC_SAVE_PROJECT, OnSave)
    ON_BN_CLICKED(IDC_CLEAR_ALL, OnClear)
    ON_NOTIFY(NM_CLICK, IDC_CHAIN_LIST, OnClickList)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

void CEffectChainDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_CHAIN_LIST, m_list);
    for (int id = 1; id <= 14; ++id) DDX_Control(dx, toggle_id(id), m_toggles[id - 1]);
    DDX_Control(dx, IDC_MOVE_UP, m_up);
    DDX_Control(dx, IDC_MOVE_DOWN, m_down);
    DDX_Control(dx, IDC_CLOSE_PANEL, m_close);
    DDX_Control(dx, IDC_OPEN_PROJECT, m_open);
    DDX_Control(dx, IDC_SAVE_PROJECT, m_save);
    DDX_Control(dx, IDC_CLEAR_ALL, m_clear);
}

BOOL CEffectChainDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(FALSE);
    SetBackBitmap(IDB_BRISVANE_BACKGROUND);
    struct Tip {
        CSkinButton* button;
        const char* tip;
        UINT icon;
    } tips[] = {
        {&m_up, "视频效果向上移", IDI_TAB_PARAMS},
        {&m_down, "视频效果向下移", IDI_TAB_PARAMS},
        {&m_close, "关闭Orvane视频处理器窗口 视频处理运行", IDI_CLOSE},
        {&m_open, "选择配置文件并使用到Orvane视频处理器中", IDI_TAB_CHAIN},
        {&m_save, "保存Orvane视频处理器到配置文件中", IDI_TAB_CHAIN},
        {&m_clear, "清除所有视频调整参数 恢复到初始化状态", IDI_OFF},
    };
    for (const Tip& t : tips) {
        t.button->SetTooltipText(t.tip);
        t.button->OffsetColour(0, 30);
        t.button->LoadIcons(t.icon, 0);
    }
    for (int id = 1; id <= 14; ++id) {
        m_toggles[id - 1].SetTooltipText(row_name(id));
        m_toggles[id - 1].OffsetColour(0, 30);
    }
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list.EnableEdit(FALSE);
    m_list.DeleteItems(1);
    m_list.SetBkColor(0x8B3E94);
    m_list.SetTextBkColor(0x8B3E30);
    m_list.SetTextColor(0x00FFFF);
    m_list.InsertColumn(0, "有效性", LVCFMT_LEFT, 42);
    m_list.InsertColumn(0, "视频效果名称", LVCFMT_LEFT, 120);
    m_list.InsertColumn(0, "序号", LVCFMT_LEFT, 60);
    m_list.CreateSmallImageList(IDB_LIST_ROWS, 0xFF00FF);
    for (int id = 1; id <= 14; ++id) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", id);
        const int row = m_list.InsertItem(id - 1, text);
        m_list.SetItemText(row, 1, row_name(id));
        ShowRow(row, id, false);
    }
    HandOrder();
    return TRUE;
}

void CEffectChainDlg::ShowRow(int row, int id, bool on) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", id);
    m_list.SetItem(row, 0, LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, text, on ? 0 : 1, 0, 0, 2);
    m_list.SetItemText(row, 2, on ? "有效" : "无效");
    if (on) {
        for (int c = 0; c < 3; ++c) {
            m_list.SetItemTextColor(row, c, 0xFFFFFF, FALSE);
            m_list.SetItemBkColor(row, c, 0x1010FF, FALSE);
        }
    } else {
        const COLORREF text_colours[3] = {0xFFFFFF, 0x00FFFF, 0x0000FF}, backs[3] = {0xFF1010, 0xA55F02, 0xCD7302};
        for (int c = 0; c < 3; ++c) {
            m_list.SetItemTextColor(row, c, text_colours[c], FALSE);
            m_list.SetItemBkColor(row, c, backs[c], FALSE);
        }
    }
    m_list.Invalidate(FALSE);
}

int CEffectChainDlg::FindRow(int id) {
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        char text[20] = {};
        m_list.GetItemText(row, 0, text, sizeof text);
        if (std::atoi(text) == id) return row;
    }
    return -1;
}

void CEffectChainDlg::HandOrder() {
    std::vector<int> ids;
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        char text[20] = {};
        m_list.GetItemText(row, 0, text, sizeof text);
        ids.push_back(std::atoi(text));
    }
    brisvane::set_chain_order(ids);
}

void CEffectChainDlg::OnCommandRange(UINT id) {
    if (id == IDC_CLOSE_PANEL) {
        OnClosePanel();
        return;
    }
    int effect = 0;
    for (int e = 1; e <= 14; ++e)
        if ((UINT)toggle_id(e) == id) effect = e;
    if (!effect) return;
    const bool on = m_toggles[effect - 1].IsPressed() == 1;
    table().set_enabled(effect, on ? 1 : 0);
    const int row = FindRow(effect);
    if (row >= 0) ShowRow(row, effect, on);
}

void CEffectChainDlg::Move(int delta) {
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        if (m_list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) {
            if (delta < 0)
                m_list.MoveUp(row, 1);
            else
                m_list.MoveDown(row, 1);
            HandOrder();
            return;
        }
    }
}

void CEffectChainDlg::OnMoveUp() { Move(-1); }
void CEffectChainDlg::OnMoveDown() { Move(1); }

void CEffectChainDlg::OnClickList(NMHDR*, LRESULT* result) {
    m_nSelectedRow = m_list.GetNextItem(-1, LVNI_SELECTED);
    *result = 0;
}

void CEffectChainDlg::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    for (int id = 1; id <= 14; ++id)
        m_toggles[id - 1].SetPressed(table().slot(videofx::slot_of(id)).enabled == 1, TRUE);
}

void CEffectChainDlg::OnClosePanel() { brisvane::close_panel_to_host(); }

void CEffectChainDlg::ResetControls() {
    for (int id = 1; id <= 14; ++id) m_toggles[id - 1].SetPressed(FALSE, TRUE);
    const int count = m_list.GetItemCount();
    for (int row = 0; row < count; ++row) {
        char text[20] = {};
        m_list.GetItemText(row, 0, text, sizeof text);
        ShowRow(row, std::atoi(text), false);
    }
}

void CEffectChainDlg::ShowRecordOff(int slot) {
    const int id = slot + 1;
    if (id < 1 || id > 14) return;
    m_toggles[id - 1].SetPressed(FALSE, TRUE);
    const int row = FindRow(id);
    if (row >= 0) ShowRow(row, id, false);
}

void CEffectChainDlg::OnClear() {
    if (AfxShowMessageBox(m_hWnd, "确定清除所有的视频效果(Y/N)", "Orvane视频处理器", MB_YESNO) != IDYES) return;
    table().set_frame_size(table().frame_width(), table().frame_height(), 1);
    if (CVideoEffectDlg* p = brisvane::panel()) p->ResetControls();
    RebuildList();
}

void CEffectChainDlg::RebuildList() {
    const videofx::SlotTable* none = nullptr;
    (void)none;
    struct Row {
        int id;
        bool on;
        char name[videofx::kNameSize];
    };
    std::vector<Row> rows;
    table().with_slots([&](videofx::SlotTable& slots) {
        for (int k = 0; k < 14; ++k) {
            for (int i = 0; i < videofx::kSlotCount; ++i) {
                if (slots[i].slot_index != k) continue;
                Row r{slots[i].effect_id, slots[i].enabled == 1, {}};
                std::snprintf(r.name, sizeof r.name, "%s", slots[i].name);
                rows.push_back(r);
                break;
            }
        }
        return 0;
    });
    m_list.DeleteItems(1);
    for (const Row& r : rows) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", r.id);
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = r.id;
        item.pszText = text;
        item.iImage = r.on ? 0 : 1;
        item.lParam = 2;
        const int row = m_list.InsertItem(&item);
        if (row < 0) continue;
        m_list.SetItemText(row, 1, r.name);
        ShowRow(row, r.id, r.on);
    }
    HandOrder();
}

void CEffectChainDlg::RefreshPages() {
    table().clear_overlay_picture();
    const uint32_t off = table().set_frame_size(table().frame_width(), table().frame_height(), 0);
    (void)off;  // the list is rebuilt below
    if (CVideoEffectDlg* p = brisvane::panel()) p->ControlsFromTable();
    RebuildList();
}

void CEffectChainDlg::OnSave() {
    CFileDialog dialog(FALSE, "*.VCP", "tolm.VCP", 0, kFilter, this);
    dialog.m_ofn.lpstrTitle = "Orvane视频处理配置文件";
    if (dialog.DoModal() != IDOK) return;
    const CString path = dialog.GetPathName();
    if (fileio::exists(path) &&
        AfxShowMessageBox(m_hWnd, "文件已存在，是否替换？", "Orvane视频处理器", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    videofx::save_project(table(), path);
}

void CEffectChainDlg::OnOpen() {
    CFileDialog dialog(TRUE, "*.VCP", "*.VCP", OFN_FILEMUSTEXIST, kFilter, this);
    dialog.m_ofn.lpstrTitle = "打开Orvane视频处理配置文件";
    if (dialog.DoModal() != IDOK) return;
    if (videofx::open_project(table(), dialog.GetPathName()) == videofx::ProjectResult::kDone) RefreshPages();
}
