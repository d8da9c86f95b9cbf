// The skin's owner-drawn menu: a CMenu whose popup items carry a record (text, flags, command, image)
// and are measured and drawn by the menu itself in a classic or a flat look, with images from toolbar
// resources kept in one image list that every menu of the module shares. The owner of a window that
// shows a popup routes WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR to it. UI thread only.
#pragma once
#include "afxwin.h"
#include "controls/skin_core/control_variants.h"
#include <string>
#include <vector>

struct MenuItemRecord {
    std::u16string text;     // tab and accelerator text included
    int image = -1;          // index in the shared image list, -1 none
    UINT flags = 0;          // the MF_ flags the item was put into the menu with
    UINT_PTR command = 0;    // command id, or the submenu's handle for a popup item
    bool used = false;       // marked while the records are synchronised
};

class GlintMenu : public CMenu {
    DECLARE_DYNAMIC(GlintMenu)
public:
    GlintMenu();
    ~GlintMenu() override;

    // The looks of this module's menus, and of one menu.
    static void SetDefaultVariant(const skin::MenuVariant* variant);
    void SetVariant(const skin::MenuVariant* variant);
    const skin::MenuVariant& Variant() const { return *m_pVariant; }

    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(const char* name);
    virtual BOOL DestroyMenu();
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override;

    // Appends an owner-drawn item; `toolbar_id` -1 takes the command's image from the shared list,
    // another id the image of the command's button in that toolbar resource (none when it has no such
    // button). The Windows AppendMenu result.
    BOOL AppendItem(const std::u16string& text, UINT flags, UINT_PTR command, int toolbar_id = -1);
    BOOL AppendItem(const char* text, UINT flags, UINT_PTR command, int toolbar_id = -1);
    // Replaces the item at `position` by one with a new record; the record.
    MenuItemRecord* ModifyItem(UINT position, UINT flags, UINT_PTR command, const std::u16string& text);
    // MF_BYPOSITION: the record text at a position; otherwise the text of a command found depth first.
    BOOL GetItemText(UINT item, CString& text, UINT flags);
    GlintMenu* FindMenuOfCommand(UINT command, int* position);
    // Brings the records into line with the menu's items.
    void SynchroniseItems();
    void AlignAcceleratorText();
    // Image size for later images and for measuring; a key colour for loaded images (else the face
    // colour). Both reach the submenus this menu made.
    void SetImageSize(int width, int height);
    void SetImageKeyColour(COLORREF colour);
    GlintMenu* GetSubMenu(int position) const;
    const std::vector<MenuItemRecord*>& Records() const { return m_items; }
    const std::vector<HMENU>& SubMenus() const { return m_subMenus; }
    int ImageWidth() const { return m_nImageWidth; }
    int ImageHeight() const { return m_nImageHeight; }

    // The menu's shaded fill.
    void DrawGradient(HDC dc, COLORREF colour, RECT rect, int style) const;

    // Module-wide queries.
    static int GetOsVersionCode();
    static BOOL IsModernShell();
    static BOOL IsClassicTheme();
    static BOOL UsesXpLook();
    static BOOL UsesXpStyle();
    static BOOL IsOwnMenu(const CMenu* menu);
    static BOOL IsOwnMenuHandle(HMENU menu);
    static LRESULT FindKeyboardAccelerator(UINT ch, UINT flags, CMenu* menu);
    static int FindGlobalImage(UINT command);
    static BOOL HasImageTriple(int index);
    static CImageList& GlobalImages();
    static const std::vector<uint32_t>& GlobalImageCommands();
    // Another Windows version and theme for tests (-1: the real ones).
    static void SetVersionForTest(int code, int classic_theme);

    // Draw modes and rules of the module (1 selects the flat look).
    static int s_themedDrawMode;
    static int s_plainDrawMode;
    static int s_selectDisabledClassic;
    static int s_selectDisabledFlat;
    static int s_imageVariants;

    // Look options of this menu.
    int m_nDisabledLook = 0;          // 0 mask blits, 1 embossed
    CImageList* m_pCheckImages = nullptr;
    BOOL m_bCheckImagesShared = FALSE;
    int m_nCheckedSelected = -1;      // check-mark images in use when above 0
    int m_nCheckedUnselected = -1;

protected:
    int AddGlobalImage(CImageList* list, int index, UINT command);
    BOOL AddBitmapToList(CImageList* list, UINT bitmap_id);
    BOOL GetToolbarImageIndex(UINT command, UINT toolbar_id, int* image);
    void ReattachPopups();
    HBITMAP IconToBitmap(HICON icon, HDC target) const;
    HBITMAP MakeVariantBitmap(HICON icon, bool shadow) const;
    void DrawItemClassic(CDC* dc, const DRAWITEMSTRUCT& dis, MenuItemRecord* rec);
    void DrawItemFlat(CDC* dc, const DRAWITEMSTRUCT& dis, MenuItemRecord* rec);
    void DrawImageDisabled(CDC* dc, HICON icon, int x, int y, COLORREF background) const;
    void DrawItemText(CDC* dc, const MenuItemRecord* rec, CRect text_rect, COLORREF colour) const;
    GlintMenu* NewSubMenu() const;
    void FreeRecords();

    std::vector<MenuItemRecord*> m_items;
    std::vector<HMENU> m_subMenus;
    int m_nImageWidth = 16;
    int m_nImageHeight = 15;
    COLORREF m_crKey = 0xC0C0C0;
    BOOL m_bKeySet = FALSE;
    BOOL m_bLoaded = FALSE;
    const skin::MenuVariant* m_pVariant;
    static const skin::MenuVariant* s_defaultVariant;
};

// Conversions between the narrow texts of the window layer (the ANSI code page) and the records'.
std::u16string menu_wide_text(const char* text);
CString menu_narrow_text(const std::u16string& text);
