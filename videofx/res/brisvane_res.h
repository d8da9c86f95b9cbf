// Resource ids of brisvane's panel (see brisvane.rc). Control ids repeat between pages: each page is
// its own dialog.
#pragma once
#include "videofx/res/brisvane_skin_res.h"

// Dialogs
#define IDD_VIDEO_PANEL        11000
#define IDD_CHAIN_PAGE         11001
#define IDD_PARAM_PAGE         11006
#define IDD_REGION_PAGE        11007
#define IDD_ABOUT_PAGE         11008
#define IDD_PICTURE_PAGE       11011
#define IDD_TEXT_PAGE          11013

// Icons
#define IDI_ON                 11002
#define IDI_OFF                11003
#define IDI_PANEL              11009
#define IDI_CLOSE              11010
#define IDI_PICTURE            11012
#define IDI_FONT               11014
#define IDI_TEXT_COLOUR        11015
#define IDI_BACK_COLOUR        11016
#define IDI_GENERATE           11017
#define IDI_TAB_CHAIN          11018
#define IDI_TAB_PARAMS         11019
#define IDI_TAB_REGION         11020
#define IDI_TAB_PICTURE        11021
#define IDI_TAB_TEXT           11022

// Bitmap, menu, cursor
#define IDB_LIST_ROWS          11041
#define IDR_PREVIEW_MENU       11049
#define IDC_MOVE_CURSOR        11050

// Strings of the about page
#define IDS_ABOUT_TITLE        11060
#define IDS_ABOUT_RIGHTS       11061
#define IDS_ABOUT_NOTICE       11062

// Panel
#define IDC_PANEL_TAB          11000

// Chain page
#define IDC_CHAIN_LIST         11003
#define IDC_MOVE_UP            11004
#define IDC_MOVE_DOWN          11005
#define IDC_TOGGLE_FIRST       11006   // 11006..11017: effects 1..12
#define IDC_CLOSE_PANEL        11018
#define IDC_TOGGLE_BLINDS      11019
#define IDC_TOGGLE_EXPAND      11020
#define IDC_CHAIN_FRAME        11034
#define IDC_TOGGLE_LABEL       11035
#define IDC_CHAIN_LABEL1       11036
#define IDC_CHAIN_LABEL2       11037
#define IDC_OPEN_PROJECT       11054
#define IDC_SAVE_PROJECT       11055
#define IDC_CLEAR_ALL          11056

// Parameter page: sliders and their value labels (see the page's table), mode combos
#define IDC_BLINDS_MODE        11033
#define IDC_EXPAND_MODE        11034

// Region page
#define IDC_REGION_EFFECT      11019
#define IDC_REGION_WHOLE       11006
#define IDC_REGION_RECT        11007
#define IDC_REGION_STATUS      11041
#define IDC_REGION_TEXT        11014
#define IDC_REGION_VIEW_AREA   11013

// About page
#define IDC_ABOUT_CLOSE        11004
#define IDC_ABOUT_TITLE        11015
#define IDC_ABOUT_RIGHTS       11016
#define IDC_ABOUT_MAIL         11017
#define IDC_ABOUT_WEB          11018
#define IDC_ABOUT_NOTICE       11034

// Picture page
#define IDC_PIC_CHOOSE         11004
#define IDC_PIC_KEYED          11006
#define IDC_PIC_POSITION       11007
#define IDC_PIC_PICTURE        11008
#define IDC_PIC_PLACEMENT      11019
#define IDC_PIC_TOLERANCE      11020
#define IDC_PIC_KEY_LABEL      11022
#define IDC_PIC_STATUS         11023
#define IDC_PIC_VIEW_AREA      11027

// Text page
#define IDC_TEXT_FONT          11004
#define IDC_TEXT_BACK          11005
#define IDC_TEXT_PLACEMENT     11006
#define IDC_TEXT_TEXTMODE      11007
#define IDC_TEXT_COLOUR        11008
#define IDC_TEXT_CAPTION       11009
#define IDC_TEXT_GENERATE      11010
#define IDC_TEXT_STYLE         11019
#define IDC_TEXT_BACKSTYLE     11020
#define IDC_TEXT_TRANSPARENCY  11021
#define IDC_TEXT_EDIT          11028
#define IDC_TEXT_STATUS        11029
#define IDC_TEXT_VIEW_AREA     11032
#define IDC_TEXT_GLYPH         11053

// The preview view's child id
#define IDC_PREVIEW_VIEW       1177
