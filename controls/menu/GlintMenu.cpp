#include "GlintMenu.h"
#include "glint_menu_gdi.h"
#include "controls/skin/SkinPaint.h"
#include "controls/skin_core/menu_rules.h"
#include "controls/skin_core/skin_colour.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(GlintMenu, CMenu)

int GlintMenu::s_themedDrawMode = 1;
int GlintMenu::s_plainDrawMode = 0;
int GlintMenu::s_selectDisabledClassic = 1;
int GlintMenu::s_selectDisabledFlat = 0;
int GlintMenu::s_imageVariants = 1;
const skin::MenuVariant* GlintMenu::s_defaultVariant = &skin::kTarmeloMenu;

namespace {

// Every popup handle a menu of this module made (the registry IsOwnMenu searches).
std::vector<HMENU>& own_menus() {
    static std::vector<HMENU> list;
    return list;
}
void forget_own_menu(HMENU menu) {
    std::vector<HMENU>& list = own_menus();
    list.erase(std::remove(list.begin(), list.end(), menu), list.end());
}

std::vector<uint32_t>& image_commands() {
    static std::vector<uint32_t> commands;
    return commands;
}

int g_version_override = -1;
int g_theme_override = -1;

}  // namespace

using namespace glint;

std::u16string menu_wide_text(const char* text) {
    std::u16string out;
    if (!text || !*text) return out;
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return out;
    out.resize((size_t)n);
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, (LPWSTR)&out[0], n);
    out.resize((size_t)n - 1);
    return out;
}

CString menu_narrow_text(const std::u16string& text) {
    CString out;
    if (text.empty()) return out;
    int n = ::WideCharToMultiByte(CP_ACP, 0, (LPCWSTR)text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    char* buf = out.GetBuffer(n + 1);
    ::WideCharToMultiByte(CP_ACP, 0, (LPCWSTR)text.c_str(), (int)text.size(), buf, n, nullptr, nullptr);
    out.ReleaseBuffer(n);
    return out;
}

GlintMenu::GlintMenu() : m_pVariant(s_defaultVariant) {}

GlintMenu::~GlintMenu() { DestroyMenu(); }

void GlintMenu::SetDefaultVariant(const skin::MenuVariant* variant) {
    if (variant) s_defaultVariant = variant;
}

void GlintMenu::SetVariant(const skin::MenuVariant* variant) {
    if (variant) m_pVariant = variant;
}

// ---- module-wide queries ----

int GlintMenu::GetOsVersionCode() {
    if (g_version_override >= 0) return g_version_override;
    static const int code = [] {
        DWORD version = ::GetVersion();
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        bool have = ::GetVersionExA(&info) != FALSE;
        return skin::os_version_code(version, have, info.dwMajorVersion, info.dwMinorVersion);
    }();
    return code;
}

BOOL GlintMenu::IsModernShell() { return GetOsVersionCode() > 1; }

BOOL GlintMenu::IsClassicTheme() {
    if (g_theme_override >= 0) return g_theme_override;
    static const BOOL classic = [] {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return FALSE;
        char value[260] = "";
        DWORD size = sizeof value - 1, type = 0;
        LONG got = ::RegQueryValueExA(key, nullptr, nullptr, &type, (BYTE*)value, &size);
        ::RegCloseKey(key);
        if (got != ERROR_SUCCESS) return FALSE;
        value[std::min<DWORD>(size, sizeof value - 1)] = 0;
        return skin::is_classic_theme_name(value) ? TRUE : FALSE;
    }();
    return classic;
}

BOOL GlintMenu::UsesXpLook() { return GetOsVersionCode() == 7 && !IsClassicTheme(); }

BOOL GlintMenu::UsesXpStyle() { return (UsesXpLook() ? s_themedDrawMode : s_plainDrawMode) == 1; }

void GlintMenu::SetVersionForTest(int code, int classic_theme) {
    g_version_override = code;
    g_theme_override = classic_theme;
}

BOOL GlintMenu::IsOwnMenu(const CMenu* menu) { return menu && IsOwnMenuHandle(menu->m_hMenu); }

BOOL GlintMenu::IsOwnMenuHandle(HMENU menu) {
    const std::vector<HMENU>& list = own_menus();
    return menu && std::find(list.begin(), list.end(), menu) != list.end();
}

CImageList& GlintMenu::GlobalImages() {
    // Lives as long as the module: never destroyed at exit.
    static CImageList* images = new CImageList;
    return *images;
}

const std::vector<uint32_t>& GlintMenu::GlobalImageCommands() { return image_commands(); }

int GlintMenu::FindGlobalImage(UINT command) { return skin::find_image(image_commands(), command); }

BOOL GlintMenu::HasImageTriple(int index) { return skin::has_image_triple(image_commands(), index); }

LRESULT GlintMenu::FindKeyboardAccelerator(UINT ch, UINT flags, CMenu* menu) {
    if (!menu || !(flags & MF_POPUP)) return 0;
    GlintMenu* own = dynamic_cast<GlintMenu*>(CMenu::FromHandlePermanent(menu->m_hMenu));
    std::vector<std::u16string> texts;
    int count = (int)menu->GetMenuItemCount();
    if (own) {
        if ((size_t)count != own->m_items.size()) own->SynchroniseItems();
        for (MenuItemRecord* r : own->m_items) texts.push_back(r->text);
    } else {
        for (int i = 0; i < count; ++i) {
            CString s;
            menu->GetMenuString(i, s, MF_BYPOSITION);
            texts.push_back(menu_wide_text(s));
        }
    }
    int found = skin::find_accelerator(texts, (char16_t)ch);
    return found < 0 ? 0 : MAKELRESULT(found, MNC_EXECUTE);
}

// ---- building ----

GlintMenu* GlintMenu::NewSubMenu() const {
    GlintMenu* sub = new GlintMenu;
    sub->m_pVariant = m_pVariant;
    sub->m_nImageWidth = m_nImageWidth;
    sub->m_nImageHeight = m_nImageHeight;
    sub->m_crKey = m_crKey;
    sub->m_bKeySet = m_bKeySet;
    sub->m_nDisabledLook = m_nDisabledLook;
    sub->m_pCheckImages = m_pCheckImages;
    sub->m_bCheckImagesShared = TRUE;
    sub->m_nCheckedSelected = m_nCheckedSelected;
    sub->m_nCheckedUnselected = m_nCheckedUnselected;
    return sub;
}

GlintMenu* GlintMenu::GetSubMenu(int position) const {
    HMENU sub = ::GetSubMenu(m_hMenu, position);
    return sub ? dynamic_cast<GlintMenu*>(CMenu::FromHandlePermanent(sub)) : nullptr;
}

void GlintMenu::SetImageSize(int width, int height) {
    m_nImageWidth = width;
    m_nImageHeight = height;
    for (HMENU h : m_subMenus)
        if (GlintMenu* sub = dynamic_cast<GlintMenu*>(CMenu::FromHandlePermanent(h))) sub->SetImageSize(width, height);
}

void GlintMenu::SetImageKeyColour(COLORREF colour) {
    m_crKey = colour;
    m_bKeySet = TRUE;
    for (HMENU h : m_subMenus)
        if (GlintMenu* sub = dynamic_cast<GlintMenu*>(CMenu::FromHandlePermanent(h))) sub->SetImageKeyColour(colour);
}

BOOL GlintMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(id & 0xFFFF)); }

BOOL GlintMenu::LoadMenu(const char* name) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC res = ::FindResourceA(module, name, (LPCSTR)RT_MENU);
    if (!res) {
        module = ::GetModuleHandleA(nullptr);
        res = ::FindResourceA(module, name, (LPCSTR)RT_MENU);
    }
    HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const uint8_t* bytes = loaded ? (const uint8_t*)::LockResource(loaded) : nullptr;
    if (!bytes) return FALSE;
    // The walk never reads past the resource; a template that ends early leaves the menu as it was.
    std::vector<skin::MenuStep> steps;
    if (!skin::walk_menu_template(bytes, ::SizeofResource(module, res), &steps)) return FALSE;
    DestroyMenu();
    if (!CreateMenu()) return FALSE;
    std::vector<GlintMenu*> levels = {this};
    for (const skin::MenuStep& step : steps) {
        if (levels.empty()) break;
        GlintMenu* current = levels.back();
        if (step.kind == skin::MenuStep::kClose) {
            current->AlignAcceleratorText();
            levels.pop_back();
        } else if (step.flags & MF_POPUP) {
            GlintMenu* sub = NewSubMenu();
            sub->CreatePopupMenu();
            current->AppendItem(step.text, step.flags, (UINT_PTR)sub->m_hMenu, -1);
            levels.push_back(sub);
        } else {
            current->AppendItem(step.text, step.flags, step.id, -1);
        }
    }
    // The top level is a plain menu bar: only the popups are owner-drawn.
    UINT count = GetMenuItemCount();
    for (UINT i = 0; i < count && i < m_items.size(); ++i) {
        MenuItemRecord* r = m_items[i];
        CString text = menu_narrow_text(r->text);
        if (HMENU sub = ::GetSubMenu(m_hMenu, i)) {
            r->flags = MF_BYPOSITION | MF_POPUP;
            ModifyMenu(i, r->flags, (UINT_PTR)sub, text);
        } else {
            r->flags = MF_BYPOSITION | MF_STRING;
            ModifyMenu(i, r->flags, r->command, text);
        }
    }
    m_bLoaded = TRUE;
    return TRUE;
}

BOOL GlintMenu::AppendItem(const char* text, UINT flags, UINT_PTR command, int toolbar_id) {
    return AppendItem(menu_wide_text(text), flags, command, toolbar_id);
}

BOOL GlintMenu::AppendItem(const std::u16string& text, UINT flags, UINT_PTR command, int toolbar_id) {
    if (command) flags |= MF_OWNERDRAW;
    else flags = (flags & MF_BYPOSITION) ? 0xD00 : (MF_SEPARATOR | MF_OWNERDRAW);
    if (flags & MF_POPUP) {
        own_menus().push_back((HMENU)command);
        m_subMenus.push_back((HMENU)command);
    }
    MenuItemRecord* rec = new MenuItemRecord;
    rec->text = text;
    rec->flags = flags;
    rec->command = command;
    if (toolbar_id < 0) {
        rec->image = FindGlobalImage((UINT)command);
    } else {
        int image = 0;
        // A toolbar without the command's button gives no image (not another command's).
        if (GetToolbarImageIndex((UINT)command, (UINT)toolbar_id, &image)) {
            CImageList strip;
            if (strip.Create(m_nImageWidth, m_nImageHeight, ILC_MASK | ILC_COLORDDB, 1, 1) &&
                AddBitmapToList(&strip, (UINT)toolbar_id))
                rec->image = AddGlobalImage(&strip, image, (UINT)command);
        }
    }
    m_items.push_back(rec);
    BOOL ok = ::AppendMenuA(m_hMenu, flags, command, (LPCSTR)rec);
    if (m_bLoaded) ReattachPopups();
    return ok;
}

MenuItemRecord* GlintMenu::ModifyItem(UINT position, UINT flags, UINT_PTR command, const std::u16string& text) {
    MenuItemRecord* rec = new MenuItemRecord;
    rec->text = text;
    rec->flags = flags;
    rec->command = command;
    rec->image = FindGlobalImage((UINT)command);
    rec->used = true;
    if (flags & MF_OWNERDRAW) ::ModifyMenuA(m_hMenu, position, flags, command, (LPCSTR)rec);
    else ::ModifyMenuA(m_hMenu, position, flags, command, menu_narrow_text(text));
    return rec;
}

void GlintMenu::ReattachPopups() {
    int count = (int)GetMenuItemCount();
    int offset = 0;
    for (int p = 0; p < count && !offset; ++p) {
        CString s;
        GetMenuString(p, s, MF_BYPOSITION);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (menu_narrow_text(m_items[i]->text) == s) {
                offset = p >= (int)i ? p - (int)i : 0;
                break;
            }
    }
    for (size_t i = 0; i < m_items.size() && offset + (int)i < count; ++i) {
        UINT pos = (UINT)(offset + (int)i);
        if (HMENU sub = ::GetSubMenu(m_hMenu, pos)) {
            m_items[i]->flags = MF_BYPOSITION | MF_POPUP;
            ModifyMenu(pos, MF_BYPOSITION | MF_POPUP, (UINT_PTR)sub, menu_narrow_text(m_items[i]->text));
        }
    }
}

BOOL GlintMenu::GetToolbarImageIndex(UINT command, UINT toolbar_id, int* image) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(toolbar_id), MAKEINTRESOURCEA(241));
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(toolbar_id), MAKEINTRESOURCEA(241));
    HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const BYTE* bytes = loaded ? (const BYTE*)::LockResource(loaded) : nullptr;
    DWORD size = res ? ::SizeofResource(module, res) : 0;
    if (!bytes || size < 8) return FALSE;
    auto word = [bytes](size_t at) { return (UINT)(bytes[at] | (bytes[at + 1] << 8)); };
    UINT count = word(6);
    if (word(0) != 1 || 8 + (size_t)count * 2 > size) return FALSE;
    int index = 0;
    for (UINT i = 0; i < count; ++i) {
        UINT id = word(8 + 2 * i);
        if (id == 0) continue;  // a separator has no image
        if (id == command) {
            *image = index;
            return TRUE;
        }
        ++index;
    }
    return FALSE;
}

BOOL GlintMenu::AddBitmapToList(CImageList* list, UINT bitmap_id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(bitmap_id), (LPCSTR)RT_BITMAP);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(bitmap_id), (LPCSTR)RT_BITMAP);
    HGLOBAL loaded = res ? ::LoadResource(module, res) : nullptr;
    const BITMAPINFOHEADER* header = loaded ? (const BITMAPINFOHEADER*)::LockResource(loaded) : nullptr;
    if (!header || ::SizeofResource(module, res) < sizeof *header) return FALSE;
    HBITMAP bitmap = header->biBitCount == 4 ? AfxLoadSysColorBitmap(module, res)
                                             : ::LoadBitmapA(module, MAKEINTRESOURCEA(bitmap_id));
    if (!bitmap) return FALSE;
    COLORREF key = m_bKeySet ? m_crKey : ::GetSysColor(COLOR_BTNFACE);
    int added = ImageList_AddMasked(list->m_hImageList, bitmap, key);
    ::DeleteObject(bitmap);
    return added >= 0;
}

HBITMAP GlintMenu::IconToBitmap(HICON icon, HDC target) const {
    HDC memory = ::CreateCompatibleDC(target);
    HBITMAP bitmap = ::CreateCompatibleBitmap(target, m_nImageWidth, m_nImageHeight);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all = {0, 0, m_nImageWidth, m_nImageHeight};
    fill(memory, all, ::GetSysColor(COLOR_BTNFACE));
    ::DrawIconEx(memory, 0, 0, icon, m_nImageWidth, m_nImageHeight, 0, nullptr, DI_NORMAL);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return bitmap;
}

HBITMAP GlintMenu::MakeVariantBitmap(HICON icon, bool shadow) const {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = IconToBitmap(icon, screen);
    ::ReleaseDC(nullptr, screen);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    // The background as a face-coloured fill reads back on this device.
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    COLORREF saved = ::GetPixel(memory, 1, 1);
    ::SetPixel(memory, 1, 1, face);
    COLORREF background = ::GetPixel(memory, 1, 1);
    ::SetPixel(memory, 1, 1, saved);
    COLORREF shadow_colour = UsesXpLook() ? ::GetSysColor(COLOR_BTNSHADOW)
                                          : skin::blend_white(::GetSysColor(COLOR_BTNSHADOW), 0.49);
    for (int y = 0; y < m_nImageHeight; ++y)
        for (int x = 0; x < m_nImageWidth; ++x) {
            COLORREF p = ::GetPixel(memory, x, y);
            if (p == background) continue;
            ::SetPixel(memory, x, y, shadow ? shadow_colour : skin::blend_white(p, 0.3));
        }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return bitmap;
}

int GlintMenu::AddGlobalImage(CImageList* list, int index, UINT command) {
    CImageList& images = GlobalImages();
    if (!images.m_hImageList && !images.Create(m_nImageWidth, m_nImageHeight, ILC_MASK | ILC_COLORDDB, 1, 1)) return -1;
    HICON icon = list->ExtractIcon(index);
    if (!icon) return -1;
    const bool variants = UsesXpStyle() && s_imageVariants;
    HBITMAP faded = variants ? MakeVariantBitmap(icon, false) : nullptr;
    HBITMAP shadow = variants ? MakeVariantBitmap(icon, true) : nullptr;
    std::vector<uint32_t>& commands = image_commands();
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int j = FindGlobalImage(command);
    if (j >= 0) {
        images.Replace(j, icon);
        if (variants && HasImageTriple(j)) {
            for (int k = 1; k <= 2; ++k) {
                CImageList one;
                one.Create(m_nImageWidth, m_nImageHeight, ILC_MASK | ILC_COLORDDB, 1, 1);
                ImageList_AddMasked(one.m_hImageList, k == 1 ? faded : shadow, face);
                HICON variant = one.ExtractIcon(0);
                if (variant) {
                    images.Replace(j + k, variant);
                    ::DestroyIcon(variant);
                }
            }
        }
    } else {
        j = images.Add(icon);
        commands.push_back(command);
        if (variants) {
            ImageList_AddMasked(images.m_hImageList, faded, face);
            commands.push_back(command);
            ImageList_AddMasked(images.m_hImageList, shadow, face);
            commands.push_back(command);
        }
    }
    ::DestroyIcon(icon);
    if (faded) ::DeleteObject(faded);
    if (shadow) ::DeleteObject(shadow);
    return j;
}

// ---- records ----

void GlintMenu::FreeRecords() {
    for (MenuItemRecord* r : m_items) delete r;
    m_items.clear();
}

BOOL GlintMenu::DestroyMenu() {
    forget_own_menu(m_hMenu);
    for (auto it = m_subMenus.rbegin(); it != m_subMenus.rend(); ++it) {
        forget_own_menu(*it);
        CMenu* sub = CMenu::FromHandlePermanent(*it);
        if (sub && sub->IsKindOf(RUNTIME_CLASS(GlintMenu))) delete sub;
    }
    m_subMenus.clear();
    FreeRecords();
    if (m_pCheckImages && !m_bCheckImagesShared) delete m_pCheckImages;
    m_pCheckImages = nullptr;
    m_bLoaded = FALSE;
    return CMenu::DestroyMenu();
}

BOOL GlintMenu::GetItemText(UINT item, CString& text, UINT flags) {
    if (flags & MF_BYPOSITION) {
        if (item >= m_items.size()) return FALSE;
        text = menu_narrow_text(m_items[item]->text);
        return TRUE;
    }
    int position = -1;
    GlintMenu* holder = FindMenuOfCommand(item, &position);
    return holder ? holder->GetItemText((UINT)position, text, MF_BYPOSITION) : FALSE;
}

GlintMenu* GlintMenu::FindMenuOfCommand(UINT command, int* position) {
    int count = (int)GetMenuItemCount();
    for (int p = 0; p < count; ++p) {
        if (GlintMenu* sub = GetSubMenu(p)) {
            if (GlintMenu* found = sub->FindMenuOfCommand(command, position)) return found;
        }
        if (::GetMenuItemID(m_hMenu, p) == command && !::GetSubMenu(m_hMenu, p)) {
            *position = p;
            return this;
        }
    }
    *position = -1;
    return nullptr;
}

void GlintMenu::SynchroniseItems() {
    for (MenuItemRecord* r : m_items) r->used = false;
    auto take = [this](UINT_PTR command) -> MenuItemRecord* {
        for (MenuItemRecord* r : m_items)
            if (!r->used && r->command == command) {
                r->used = true;
                return r;
            }
        return nullptr;
    };
    std::vector<MenuItemRecord*> order, made;
    int count = (int)GetMenuItemCount();
    for (int p = 0; p < count; ++p) {
        UINT state = ::GetMenuState(m_hMenu, p, MF_BYPOSITION);
        CString s;
        GetMenuString(p, s, MF_BYPOSITION);
        std::u16string text = menu_wide_text(s);
        MenuItemRecord* rec;
        if (HMENU sub = ::GetSubMenu(m_hMenu, p)) {
            rec = take((UINT_PTR)sub);
            if (rec && !text.empty()) rec->text = text;
            if (!rec) made.push_back(rec = ModifyItem(p, (state & 0xEF) | 0x510, (UINT_PTR)sub, text));
        } else if (state & MF_SEPARATOR) {
            rec = take(0);
            if (rec) ::ModifyMenuA(m_hMenu, p, rec->flags | MF_BYPOSITION, 0, (LPCSTR)rec);
            else made.push_back(rec = ModifyItem(p, state | MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW, 0, u""));
        } else {
            UINT id = ::GetMenuItemID(m_hMenu, p);
            UINT flags = (state & 0xFF) | MF_BYPOSITION | MF_OWNERDRAW;
            rec = take(id);
            if (rec) {
                rec->flags = flags;
                if (!text.empty()) rec->text = text;
                ::ModifyMenuA(m_hMenu, p, flags, id, (LPCSTR)rec);
            } else {
                made.push_back(rec = ModifyItem(p, flags, id, text));
            }
        }
        order.push_back(rec);
    }
    for (MenuItemRecord* r : m_items)
        if (!r->used) delete r;
    m_items = order;
}

void GlintMenu::AlignAcceleratorText() {
    std::vector<std::u16string> texts;
    for (MenuItemRecord* r : m_items) texts.push_back(r->text);
    MeasureDC measure;
    HFONT font = create_menu_font();
    HGDIOBJ old = font ? ::SelectObject(measure.dc, font) : nullptr;
    skin::align_accelerators(&texts, [&measure](const std::u16string& s) { return text_width(measure.dc, s); });
    if (font) {
        ::SelectObject(measure.dc, old);
        ::DeleteObject(font);
    }
    for (size_t i = 0; i < m_items.size(); ++i) m_items[i]->text = texts[i];
}

