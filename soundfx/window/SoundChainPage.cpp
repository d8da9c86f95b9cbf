// The effect chain page: one row per effect in the order processing runs them, one toggle per effect,
// up and down, and the host's four buttons. Every change of the rows hands their ids to the chain
// order that processing reads.
#include <cstdio>
#include <cstdlib>
#include "soundfx/core/effect_set.h"
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/Pages.h"
#include "soundfx/window/SoundFxDlg.h"
#include "soundfx/window/olumbra_window.h"

using soundfx::EngineState;

namespace {

constexpr UINT WM_HOST_NOTIFY = 0x2009;

struct ToggleRow {
    int id;
    int button;
    const char* tooltip;
};
// Effect id, its toggle, the toggle's tooltip.
const ToggleRow kToggles[16] = {
    {1, 3070, "图形均衡器"},       {2, 3072, "压缩效果器"},       {3, 3073, "音调变化器有效"},
    {4, 3080, "失真效果器有效"},   {5, 3079, "过载效果器有效"},   {6, 3076, "调幅效果器有效"},
    {7, 3069, "回响效果器"},       {8, 3071, "飘忽效果器"},       {9, 3074, "移相效果器有效"},
    {10, 3078, "降噪效果器有效"},  {11, 3075, "合唱效果器有效"},  {12, 3077, "混响效果器有效"},
    {13, 3081, "WaWa效果器有效"},  {14, 3084, "超重低音效果器有效"}, {15, 3085, "取反效果器有效"},
    {16, 3087, "颤音效果器有效"},
};

bool effect_on(int id) {
    return olumbra::engine().edit([id](EngineState& s) {
        soundfx::Effect* e = s.effects.by_id(id);
        return e && e->on;
    });
}

}  // namespace

BEGIN_MESSAGE_MAP(CSoundChainPage, CSkinDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(3082, OnMoveUp)
    ON_BN_CLICKED(3083, OnMoveDown)
    ON_NOTIFY(NM_CLICK, 3086, OnListClick)
    ON_BN_CLICKED(3088, OnLoad)
    ON_BN_CLICKED(3089, OnSave)
    ON_BN_CLICKED(3090, OnPlay)
    ON_BN_CLICKED(3091, OnStop)
END_MESSAGE_MAP()

CSoundChainPage::CSoundChainPage(CWnd* parent) : CSkinDialog(3021, parent) {}
CSoundChainPage::~CSoundChainPage() = default;

void CSoundChainPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, 3086, m_list);
    for (int i = 0; i < 16; ++i) DDX_Control(dx, kToggles[i].button, m_toggles[i]);
    DDX_Control(dx, 3082, m_up);
    DDX_Control(dx, 3083, m_down);
    DDX_Control(dx, 3088, m_load);
    DDX_Control(dx, 3089, m_saveHost);
    DDX_Control(dx, 3090, m_play);
    DDX_Control(dx, 3091, m_stop);
    DDX_Control(dx, 3004, m_title);
    DDX_Control(dx, 3005, m_strip);
    DDX_Control(dx, 3150, m_grid);
    DDX_Control(dx, 3012, m_arrows);
}

BOOL CSoundChainPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetBackBitmap(3005);
    EnableEasyMove(TRUE);
    m_brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    for (int i = 0; i < 16; ++i) {
        CSkinButton& b = m_toggles[i];
        b.LoadIcons(3019, 3020);
        b.OffsetColour(0, 30);
        b.SetColour(1, 0x0000CD);
        b.SetColour(3, 0x000000);
        b.SetTooltipText(kToggles[i].tooltip);
    }
    struct Push {
        CSkinButton* button;
        const char* tip;
        UINT icon;
    };
    for (const Push& p : {Push{&m_up, "音效向上移", 3027}, Push{&m_down, "音效向下移", 3028},
                          Push{&m_load, "载入新的Orvane效果器配置文件", 3033},
                          Push{&m_saveHost, "保存Orvane效果器配置文件", 3032},
                          Push{&m_play, "播放选择音效的声音文件", 3034}, Push{&m_stop, "停止播放", 3035}}) {
        p.button->LoadIcons(p.icon, 0);
        p.button->OffsetColour(0, 30);
        p.button->SetColour(1, 0x0000CD);
        p.button->SetColour(3, 0x000005);
        p.button->SetTooltipText(p.tip);
    }
    m_title.SetBackBitmap(3005);
    m_title.m_nBackStyle = 18;
    m_title.SetBkColor(0x9B4408).SetTextColor(0x010101).SetFontSize(12).SetFont3D(TRUE);
    m_strip.m_nBackStyle = 8;
    m_strip.SetBkColor(0x9B4408);
    m_arrows.m_nBackStyle = 3;
    m_arrows.SetBkColor(0xA86010);
    m_grid.m_nBackStyle = 21;
    m_grid.SetBkColor(0xD75C08);

    m_list.ModifyStyle(0, LVS_SHOWSELALWAYS);
    m_list.SetGridLines(TRUE);
    m_list.EnableEdit(FALSE);
    m_list.SetBkColor(0x8B3E94);
    m_list.SetTextBkColor(0x8B3E30);
    m_list.SetTextColor(0x00FFFF);
    m_list.CreateSmallImageList(3050, 0xFF00FF);
    m_list.InsertColumn(0, "序号", LVCFMT_LEFT, 60);
    m_list.InsertColumn(1, "音效名称", LVCFMT_LEFT, 120);
    m_list.InsertColumn(2, "有效性", LVCFMT_LEFT, 60);
    m_list.DeleteAllItems();
    for (int id = 1; id <= 16; ++id) InsertRow(id - 1, id);
    StoreOrder();
    for (CSkinButton* b : {&m_load, &m_saveHost, &m_play, &m_stop}) b->ShowWindow(SW_HIDE);
    return TRUE;
}

void CSoundChainPage::InsertRow(int row, int id) {
    const soundfx::EffectRow* effect = soundfx::effect_row(id);
    char text[8];
    snprintf(text, sizeof text, "%d", id);
    const bool on = effect_on(id);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.pszText = text;
    item.iImage = on ? 0 : 1;
    const int at = m_list.InsertItem(&item);
    m_list.SetItemText(at, 1, effect ? effect->name : "");
    m_list.SetItemText(at, 2, on ? "有效" : "无效");
    PaintRow(at, id, on);
}

void CSoundChainPage::PaintRow(int row, int id, bool on) {
    // The equaliser to the reverb show their switch in the row's colours; the last four always have
    // the off colours.
    if (on && id <= 12) {
        for (int c = 0; c < 3; ++c) {
            m_list.SetItemTextColor(row, c, 0xFFFFFF, FALSE);
            m_list.SetItemBkColor(row, c, 0x1010FF, FALSE);
        }
    } else {
        m_list.SetItemTextColor(row, 0, 0xFFFFFF, FALSE);
        m_list.SetItemBkColor(row, 0, 0xFF1010, FALSE);
        m_list.SetItemTextColor(row, 1, 0x00FFFF, FALSE);
        m_list.SetItemBkColor(row, 1, 0xA55F02, FALSE);
        m_list.SetItemTextColor(row, 2, 0x0000FF, FALSE);
        m_list.SetItemBkColor(row, 2, 0xCD7302, FALSE);
    }
    m_list.Invalidate(FALSE);
}

void CSoundChainPage::StoreOrder() {
    std::vector<int> ids;
    char text[20];
    for (int r = 0; r < m_list.GetItemCount(); ++r) {
        text[0] = 0;
        m_list.GetItemText(r, 0, text, sizeof text);
        ids.push_back(soundfx::chain_id_from_text(text));
    }
    olumbra::window_chain_order().store(ids);
}

void CSoundChainPage::RefreshFromState() {
    if (!m_hWnd) return;
    SyncToggles();
    m_list.DeleteAllItems();
    for (int id = 1; id <= 16; ++id) InsertRow(id - 1, id);
    m_nSelected = -1;
    StoreOrder();
}

void CSoundChainPage::ShowOrder() {
    if (!m_hWnd) return;
    const std::vector<int> ids = olumbra::window_chain_order().ids();
    m_list.DeleteAllItems();
    for (size_t r = 0; r < ids.size(); ++r) InsertRow(int(r), ids[r]);
    m_nSelected = -1;
    SyncToggles();
}

void CSoundChainPage::SyncToggles() {
    for (int i = 0; i < 16; ++i) m_toggles[i].SetPressed(effect_on(kToggles[i].id));
}

void CSoundChainPage::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    SyncToggles();
}

BOOL CSoundChainPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) == BN_CLICKED) {
        for (const ToggleRow& t : kToggles) {
            if (t.button == (int)LOWORD(wp)) {
                BOOL handled = CSkinDialog::OnCommand(wp, lp);
                Toggle(t.id);
                return handled || TRUE;
            }
        }
    }
    return CSkinDialog::OnCommand(wp, lp);
}

void CSoundChainPage::Toggle(int id) {
    int index = 0;
    while (index < 16 && kToggles[index].id != id) ++index;
    if (index == 16) return;
    const bool on = m_toggles[index].IsPressed() != FALSE;
    olumbra::engine().edit([&](EngineState& s) {
        if (soundfx::Effect* e = s.effects.by_id(id)) e->on = on;
        return 0;
    });
    char text[20];
    for (int r = 0; r < m_list.GetItemCount() && r < 16; ++r) {
        text[0] = 0;
        m_list.GetItemText(r, 0, text, sizeof text);
        if (atoi(text) != id) continue;
        m_list.SetItemImage(r, 0, on ? 0 : 1);
        m_list.SetItemText(r, 2, on ? "有效" : "无效");
        if (id <= 12) PaintRow(r, id, on);
        break;
    }
}

void CSoundChainPage::OnListClick(NMHDR*, LRESULT* result) {
    m_nSelected = m_list.GetNextItem(-1, LVNI_SELECTED);
    *result = 0;
}

void CSoundChainPage::OnMoveUp() {
    m_list.SetFocus();
    if (m_list.GetItemCount() < 3 || m_nSelected <= 0) return;
    // The row moves with its image and colours.
    m_list.MoveItem(m_nSelected, m_nSelected - 1);
    --m_nSelected;
    m_list.SetItemState(m_nSelected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    StoreOrder();
}

void CSoundChainPage::OnMoveDown() {
    m_list.SetFocus();
    if (m_list.GetItemCount() < 3 || m_nSelected < 0 || m_nSelected >= m_list.GetItemCount() - 1) return;
    m_list.MoveItem(m_nSelected, m_nSelected + 1);
    ++m_nSelected;
    m_list.SetItemState(m_nSelected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    StoreOrder();
}

void CSoundChainPage::Notify(int code, bool hide) {
    HWND window = GetParent() ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    if (hide && window) {
        ::ShowWindow(window, SW_HIDE);
        olumbra::set_display_status(0);
    }
    if (code && olumbra::host_window()) ::SendMessageA(olumbra::host_window(), WM_HOST_NOTIFY, 9999, code);
}

void CSoundChainPage::OnLoad() {
    if (olumbra::display_mode() == 1) Notify(1, true);
}
void CSoundChainPage::OnSave() {
    if (olumbra::display_mode() == 1) Notify(2, true);
    else Notify(0, true);
}
void CSoundChainPage::OnPlay() {
    if (olumbra::display_mode() == 1) Notify(3, false);
}
void CSoundChainPage::OnStop() {
    if (olumbra::display_mode() == 1) Notify(4, false);
}

void CSoundChainPage::LayoutHostButtons(int mode, bool from_setdisp) {
    if (!m_hWnd) return;
    if (mode <= 0) {
        m_load.ShowWindow(SW_HIDE);
        if (!from_setdisp) m_saveHost.LoadIcons(3018, 0);
        m_saveHost.SetWindowText("关闭");
        m_saveHost.SetTooltipText("关闭Orvane效果器窗口");
        m_saveHost.ShowWindow(SW_SHOW);
        m_play.ShowWindow(from_setdisp ? SW_HIDE : SW_SHOW);
        m_stop.ShowWindow(SW_HIDE);
    } else if (mode == 1) {
        m_load.SetWindowText("放弃");
        m_saveHost.SetWindowText("确认");
        for (CSkinButton* b : {&m_load, &m_saveHost}) {
            b->InvalidateRect(nullptr, TRUE);
            b->ShowWindow(SW_SHOW);
        }
        m_play.ShowWindow(SW_SHOW);
        m_stop.ShowWindow(SW_SHOW);
    } else {
        m_load.SetWindowText("载入");
        m_saveHost.SetWindowText("保存");
        for (CSkinButton* b : {&m_load, &m_saveHost}) {
            b->InvalidateRect(nullptr, TRUE);
            b->ShowWindow(SW_SHOW);
        }
        m_play.ShowWindow(SW_HIDE);
        m_stop.ShowWindow(SW_HIDE);
    }
}

HBRUSH CSoundChainPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT type) {
    if (wnd && type == CTLCOLOR_STATIC && ::GetDlgCtrlID(wnd->m_hWnd) == 3151) {
        dc->SetTextColor(0x9B0505);
        dc->SetBkColor(::GetSysColor(COLOR_BTNFACE));
        return (HBRUSH)m_brush.GetSafeHandle();
    }
    return CSkinDialog::OnCtlColor(dc, wnd, type);
}
