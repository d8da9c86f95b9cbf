// CMenu: menu handles, the permanent map for owner-drawn items.
#include "afximpl.h"
#include <mutex>

namespace {
std::mutex g_menu_lock;
std::map<HMENU, CMenu*>& menu_map() {
    static std::map<HMENU, CMenu*> map;
    return map;
}
}  // namespace

IMPLEMENT_DYNAMIC(CMenu, CObject)

CMenu::~CMenu() {
    if (!m_temporary) DestroyMenu();
    m_hMenu = nullptr;
}

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    if (!menu) return nullptr;
    std::lock_guard<std::mutex> lock(g_menu_lock);
    auto it = menu_map().find(menu);
    return it == menu_map().end() ? nullptr : it->second;
}

CMenu* CMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    if (CMenu* m = FromHandlePermanent(menu)) return m;
    auto& slot = AfxTemp().menus[menu];
    if (!slot) {
        slot.reset(new CMenu);
        slot->m_hMenu = menu;
        slot->m_temporary = true;
    }
    return slot.get();
}

BOOL CMenu::Attach(HMENU menu) {
    if (!menu) return FALSE;
    if (m_hMenu) DestroyMenu();
    m_hMenu = menu;
    std::lock_guard<std::mutex> lock(g_menu_lock);
    menu_map()[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu && !m_temporary) {
        std::lock_guard<std::mutex> lock(g_menu_lock);
        auto it = menu_map().find(menu);
        if (it != menu_map().end() && it->second == this) menu_map().erase(it);
    }
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(id)); }

BOOL CMenu::LoadMenu(const char* name) {
    HINSTANCE module = AfxFindResourceHandle(name, (LPCSTR)RT_MENU);
    return Attach(::LoadMenuA(module, name));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
    int n = ::GetMenuStringA(m_hMenu, id, nullptr, 0, flags);
    char* buf = text.GetBuffer(n + 1);
    int got = ::GetMenuStringA(m_hMenu, id, buf, n + 1, flags);
    text.ReleaseBuffer(got);
    return got;
}

BOOL AfxOwnerDrawMenu(UINT msg, LPARAM lp) {
    if (msg == WM_DRAWITEM) {
        LPDRAWITEMSTRUCT dis = (LPDRAWITEMSTRUCT)lp;
        if (!dis || dis->CtlType != ODT_MENU) return FALSE;
        CMenu* menu = CMenu::FromHandlePermanent((HMENU)dis->hwndItem);
        if (!menu) return FALSE;
        menu->DrawItem(dis);
        return TRUE;
    }
    if (msg == WM_MEASUREITEM) {
        LPMEASUREITEMSTRUCT mis = (LPMEASUREITEMSTRUCT)lp;
        if (!mis || mis->CtlType != ODT_MENU) return FALSE;
        // The message names only the item: find the attached menu that holds it.
        CMenu* owner = nullptr;
        {
            std::lock_guard<std::mutex> lock(g_menu_lock);
            for (auto& entry : menu_map())
                if (::GetMenuState(entry.first, mis->itemID, MF_BYCOMMAND) != (UINT)-1) { owner = entry.second; break; }
        }
        if (!owner) return FALSE;
        owner->MeasureItem(mis);
        return TRUE;
    }
    return FALSE;
}
