// The text page: a line of text rendered with a chosen font, colours and styles into effect 12's
// text bitmap (pure green is transparent), and the rectangle the text is laid into, set on a preview
// of the frame.
#pragma once
#include <atomic>
#include "controls/button/SkinButton.h"
#include "controls/combo/SkinComboBox.h"
#include "controls/label/SkinLabel.h"
#include "controls/skin/SkinDialog.h"
#include "engine/image/rgb_image.h"
#include "videofx/panel/mypicscrollview.h"

class CTextOverlayDlg : public CSkinDialog {
public:
    CTextOverlayDlg();
    BOOL OnInitDialog() override;

    void SetVideoSize();
    void SetPreviewFrame(int width, int height, const uint8_t* frame);
    // Renders the text into the record's text bitmap; false (nothing changed) when refused.
    bool Generate();
    // A colour for the text (text true) or the background; pure green is refused with a message.
    bool TakeColour(bool text, COLORREF colour);

    std::atomic<uint8_t> m_bPreviewActive{0};
    std::atomic<uint8_t> m_placementMode{0};
    std::atomic<bool> m_hasBitmap{false};
    CString m_text;
    LOGFONTA m_lf{};
    int m_cellWidth = 24, m_cellHeight = 24;
    COLORREF m_textColour = 0x37FFFF, m_backColour = 0x9B0000;
    int m_textStyle = 0, m_backStyle = 0, m_transparency = 0;
    mypicscrollview* m_pView = nullptr;
    CSkinButton m_font, m_back, m_colour, m_generate, m_placement, m_textMode;
    CSkinComboBox m_styleCombo, m_backCombo, m_transparencyCombo;
    CSkinLabel m_status, m_glyph;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPlacementMode();
    afx_msg void OnTextMode();
    afx_msg void OnFont();
    afx_msg void OnTextColour();
    afx_msg void OnBackColour();
    afx_msg void OnComboChange();
    afx_msg void OnTextChange();
    afx_msg void OnGenerate();
    afx_msg LRESULT OnRegionChanged(WPARAM code, LPARAM);
    afx_msg void OnShowWindow(BOOL show, UINT status);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyMode();
    void ShowStatus();
    void PlacementPreview();
    // The glyph of `text` (1 or 2 bytes) in a cell_width x cell height cell, top row first.
    CRgbImage RenderCell(const char* text, int length, int cell_width);
};
