// The three pages of effect parameters: sliders bound to the state through the page bindings, one
// default button per effect, label colours by group.
#include <algorithm>
#include "soundfx/core/page_bindings.h"
#include "soundfx/core/slider_map.h"
#include "soundfx/olumbra_shell.h"
#include "soundfx/window/Pages.h"

using soundfx::EngineState;

BEGIN_MESSAGE_MAP(CEffectsPage, CSkinDialog)
    ON_WM_HSCROLL()
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CEffectsPage::CEffectsPage(UINT id, int page, CWnd* parent) : CSkinDialog(id, parent), m_page(page) {}

CEffectsPage::~CEffectsPage() {
    for (auto& s : m_sliders) delete s.second;
    for (auto& b : m_buttons) delete b.second;
}

CSkinSliderCtrl* CEffectsPage::Slider(int id) {
    for (auto& s : m_sliders)
        if (s.first == id) return s.second;
    return nullptr;
}

void CEffectsPage::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    if (m_sliders.empty()) {
        for (const Group& g : Groups()) {
            for (int id : g.sliders) m_sliders.push_back({id, new CSkinSliderCtrl});
        }
        for (int b = 3082; b <= 3089; ++b)
            if (soundfx::page_default_effect(m_page, b)) m_buttons.push_back({b, new CSkinButton});
    }
    for (auto& s : m_sliders) DDX_Control(dx, s.first, *s.second);
    for (auto& b : m_buttons) DDX_Control(dx, b.first, *b.second);
}

BOOL CEffectsPage::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableEasyMove(TRUE);
    SetBackBitmap(3005);
    m_brush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    for (auto& b : m_buttons) {
        CSkinButton& button = *b.second;
        button.LoadIcons(3029, 0);
        button.OffsetColour(0, 30);
        button.SetTooltipText("恢复系统基本参数");
        button.DropBackgroundCache(TRUE);
        button.SetColour(1, 0x0000FF);
        button.SetColour(3, 0xFF0000);
    }
    for (const Group& g : Groups()) {
        for (int id : g.sliders) {
            CSkinSliderCtrl* s = Slider(id);
            const soundfx::slider::Control* c = soundfx::slider::control(m_page, id);
            if (!s || !c) continue;
            s->Setup(c->min, c->max, c->tick, c->zone_lo, c->zone_hi);
            s->SetThumbColour(0x0000FF);
            s->SetSelectionColour(0x00FFFF);
            s->SetChannelColour(g.channel);
            s->m_bMarksAcross = 1;
        }
    }
    RefreshFromState();
    return TRUE;
}

void CEffectsPage::RefreshFromState() {
    if (!m_hWnd) return;
    std::vector<std::pair<int, int>> positions;
    olumbra::engine().edit([&](EngineState& state) {
        for (auto& s : m_sliders) {
            int p = 0;
            if (soundfx::page_read(state, m_page, s.first, &p)) positions.push_back({s.first, p});
        }
        return 0;
    });
    for (auto& p : positions)
        if (CSkinSliderCtrl* s = Slider(p.first)) s->SetPos(p.second);
    RefreshExtras();
}

void CEffectsPage::OnShowWindow(BOOL show, UINT status) {
    CSkinDialog::OnShowWindow(show, status);
    // A page that shows again captures its background anew (it may have moved with the window).
    for (auto& s : m_sliders) s.second->DropBackground();
    RefreshFromState();
}

void CEffectsPage::OnHScroll(UINT code, UINT, CScrollBar* bar) {
    if (!bar) return;
    const int id = ::GetDlgCtrlID(bar->m_hWnd);
    CSkinSliderCtrl* s = Slider(id);
    if (!s) return;
    // The echo's delay is taken when the slider is let go (and only while the echo is on).
    if (m_page == 1 && id == 3068) return;
    (void)code;
    const int position = s->GetPos();
    olumbra::engine().edit([&](EngineState& state) { return soundfx::page_write(state, m_page, id, position); });
}

BOOL CEffectsPage::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
    return CSkinDialog::OnNotify(wp, lp, result);
}

void CEffectsPage::DefaultButton(int id) {
    const int effect = soundfx::page_default_effect(m_page, id);
    if (!effect) return;
    olumbra::engine().edit([&](EngineState& state) {
        soundfx::reset_effect_defaults(state, effect);
        return 0;
    });
    RefreshFromState();
    Invalidate();
}

BOOL CEffectsPage::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp), code = HIWORD(wp);
    if (code == BN_CLICKED && soundfx::page_default_effect(m_page, id)) {
        DefaultButton(id);
        return TRUE;
    }
    OnExtraCommand(id, code);
    return CSkinDialog::OnCommand(wp, lp);
}

HBRUSH CEffectsPage::OnCtlColor(CDC* dc, CWnd* wnd, UINT type) {
    if (wnd && (type == CTLCOLOR_STATIC || type == CTLCOLOR_BTN)) {
        const int id = ::GetDlgCtrlID(wnd->m_hWnd);
        for (const Group& g : Groups()) {
            bool ours = id == g.group || (id >= g.first_label && id <= g.last_label);
            for (int extra : g.extra_labels) ours = ours || (extra && extra == id);
            if (!ours) continue;
            dc->SetTextColor(g.label);
            dc->SetBkMode(TRANSPARENT);
            return (HBRUSH)m_brush.GetSafeHandle();
        }
    }
    return CSkinDialog::OnCtlColor(dc, wnd, type);
}

// ---- page 1 ----

CEffectsPage1::CEffectsPage1(CWnd* parent) : CEffectsPage(3004, 1, parent) {}
CEffectsPage1::~CEffectsPage1() = default;

const std::vector<CEffectsPage::Group>& CEffectsPage1::Groups() const {
    static const std::vector<Group> groups = {
        {3088, 3089, 3093, 0x05059B, 0xFF0000, {3005, 3068}, {3097}},
        {3094, 3095, 3096, 0x9B0505, 0xFF0000, {3010, 3025}, {}},
        {3042, 3042, 3042, 0x9B059B, 0x00FF00, {3006, 3007, 3012, 3020, 3021}, {3044, 3046, 3048, 3050, 3052}},
        {3062, 3062, 3062, 0x055555, 0xFF0000, {3014, 3015, 3016, 3022, 3023}, {3064, 3066, 3098, 3099, 3100}},
        {3101, 3102, 3106, 0x9B9B05, 0x00FF00, {3008, 3013, 3009, 3011, 3024}, {}},
        {3107, 3108, 3111, 0x055505, 0xFF0000, {3017, 3018, 3019}, {}},
    };
    return groups;
}

void CEffectsPage1::DoDataExchange(CDataExchange* dx) {
    CEffectsPage::DoDataExchange(dx);
    DDX_Control(dx, 3081, m_shape);
}

BOOL CEffectsPage1::OnInitDialog() {
    CEffectsPage::OnInitDialog();
    if (m_shape.GetCount() == 0) {
        m_shape.AddString("正旋波调制");
        m_shape.AddString("三角波调制");
    }
    RefreshExtras();
    return TRUE;
}

void CEffectsPage1::RefreshExtras() {
    if (!m_shape.m_hWnd) return;
    const int shape = olumbra::engine().edit([](EngineState& s) { return s.effects.am.params().shape; });
    m_shape.SetCurSel(shape ? 1 : 0);
}

void CEffectsPage1::OnExtraCommand(int id, int code) {
    if (id != 3081 || code != CBN_SELCHANGE) return;
    const int shape = m_shape.GetCurSel() == 0 ? 0 : 1;
    olumbra::engine().edit([&](EngineState& s) {
        auto p = s.effects.am.params();
        p.shape = shape;
        s.effects.am.set_params(p);
        return 0;
    });
}

BOOL CEffectsPage1::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
    if (hdr && hdr->idFrom == 3068 && hdr->code == NM_RELEASEDCAPTURE) {
        const int position = Slider(3068) ? Slider(3068)->GetPos() : 0;
        // The new delay applies only while the echo is on; it is switched off around the change.
        olumbra::engine().edit([&](EngineState& s) {
            if (!s.effects.echo.on) return 0;
            s.effects.echo.on = false;
            soundfx::page_write(s, 1, 3068, position);
            s.effects.echo.on = true;
            return 0;
        });
    }
    return CEffectsPage::OnNotify(wp, lp, result);
}

// ---- page 2 ----

CEffectsPage2::CEffectsPage2(CWnd* parent) : CEffectsPage(3022, 2, parent) {}
CEffectsPage2::~CEffectsPage2() = default;

const std::vector<CEffectsPage::Group>& CEffectsPage2::Groups() const {
    static const std::vector<Group> groups = {
        {3112, 3113, 3116, 0x05059B, 0x00FF00, {3014, 3015, 3023, 3024}, {}},
        {3117, 3118, 3123, 0x9B0505, 0xFF0000, {3016, 3018, 3017, 3030, 3031, 3032}, {}},
        {3124, 3125, 3126, 0x055F05, 0x00FF00, {3019, 3020}, {}},
        {3127, 3128, 3132, 0x9B059B, 0xFF0000, {3021, 3035, 3022, 3033, 3034}, {}},
        {3133, 3134, 3138, 0x9B9B05, 0x00FF00, {3025, 3029, 3027, 3028, 3026}, {}},
    };
    return groups;
}

void CEffectsPage2::DoDataExchange(CDataExchange* dx) {
    CEffectsPage::DoDataExchange(dx);
    DDX_Control(dx, 3069, m_lowPass);
}

BOOL CEffectsPage2::OnInitDialog() {
    CEffectsPage::OnInitDialog();
    m_lowPass.LoadIcons(3019, 3020);
    m_lowPass.OffsetColour(0, 30);
    m_lowPass.SetTooltipText("低通滤波有效");
    m_lowPass.DropBackgroundCache(TRUE);
    m_lowPass.SetColour(1, 0x0000FF);
    m_lowPass.SetColour(3, 0xFF0000);
    RefreshExtras();
    return TRUE;
}

void CEffectsPage2::RefreshExtras() {
    if (!m_lowPass.m_hWnd) return;
    const int on = olumbra::engine().edit([](EngineState& s) { return s.effects.overdrive.params().lp_on; });
    m_lowPass.SetPressed(on != 0);
}

void CEffectsPage2::OnExtraCommand(int id, int code) {
    if (id != 3069 || code != BN_CLICKED) return;
    const int on = m_lowPass.IsPressed() ? 1 : 0;
    olumbra::engine().edit([&](EngineState& s) {
        auto p = s.effects.overdrive.params();
        p.lp_on = on;
        s.effects.overdrive.set_params(p);
        return 0;
    });
}

// ---- page 3 ----

CEffectsPage3::CEffectsPage3(CWnd* parent) : CEffectsPage(3030, 3, parent) {}
CEffectsPage3::~CEffectsPage3() = default;

const std::vector<CEffectsPage::Group>& CEffectsPage3::Groups() const {
    static const std::vector<Group> groups = {
        {3139, 3140, 3143, 0x05059B, 0xFF0000, {3068, 3069, 3070, 3071}, {}},
        {3144, 3145, 3146, 0x9B0505, 0x00FF00, {3072, 3073}, {}},
        {3147, 3148, 3149, 0x055F05, 0xFF0000, {3074, 3075}, {}},
    };
    return groups;
}
