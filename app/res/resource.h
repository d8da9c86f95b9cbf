// Resource ids of tarmelo.
#pragma once
#define IDR_MAINFRAME            128
#define IDS_ABOUTBOX             101
#define IDD_ABOUTBOX             100
#define IDD_CONVERTER_DIALOG     102
#define IDD_FILE_PAGE            146
#define IDD_3GP_PAGE             148
#define IDD_AVI_PAGE             149
#define IDD_CONVERTER_ABOUT      173
#define IDD_MP4_PAGE             179
#define IDD_VIDEO_WINDOW         195
#define IDD_ANALYZE              202
#define IDD_COLOR_SET            203
#define IDM_ABOUTBOX             0x0010

// Main dialog (102).
#define IDC_PREVIEW              1000
#define IDC_BANNER               1001
#define IDC_SCOPE                1002
#define IDC_TABS                 1003
#define IDC_SOUND_EFFECTS        1005
#define IDC_PLAY                 1006
#define IDC_STOP                 1007
#define IDC_STATUS_LINE          1008
#define IDC_FILE_BAR             1009
#define IDC_TOTAL_BAR            1010
#define IDC_PAUSE                1011
#define IDC_SPEED_MODE           1012
#define IDC_OUTPUT_TYPE          1013
#define IDC_CONVERT              1025
#define IDC_VIDEO                1026
#define IDC_AUDIO                1027
#define IDC_TRIM                 1028
#define IDC_WELCOME              1029
#define IDC_SPARE_LABEL          1030
#define IDC_ABOUT                1031
#define IDC_HELP_BUTTON          1032
#define IDC_VISIT                1033
#define IDC_CONTACT              1034
#define IDC_EXIT                 1036
#define IDC_CLOCK                1055
#define IDC_TIMELINE_PLACE       1059
#define IDC_RANGE_CAPTION        1060
#define IDC_RANGE_EDIT           1061
#define IDC_RANGE_START          1062
#define IDC_RANGE_END            1063
#define IDC_RANGE_DONE           1064

// File page (146).
#define IDC_FILE_ADD             1006
#define IDC_FILE_LIST            1007
#define IDC_FILE_DELETE          1008
#define IDC_FILE_SAVE            1009
#define IDC_FILE_REFRESH         1010
#define IDC_FILE_CAPTION1        1056
#define IDC_FILE_CAPTION2        1057

// Colour dialog (203).
#define IDC_COLOR_R_CAPTION      1008
#define IDC_COLOR_G_CAPTION      1009
#define IDC_COLOR_B_CAPTION      1010
#define IDC_COLOR_R              1016
#define IDC_COLOR_G              1017
#define IDC_COLOR_B              1018
#define IDC_COLOR_PRESET0        1026
#define IDC_COLOR_PRESET1        1027
#define IDC_COLOR_PRESET2        1028
#define IDC_COLOR_PRESET3        1029
#define IDC_COLOR_CUSTOM         1030
#define IDC_COLOR_R_VALUE        1051
#define IDC_COLOR_G_VALUE        1052
#define IDC_COLOR_B_VALUE        1053

// About box (173).
#define IDC_ABOUT_BACK           1007
#define IDC_ABOUT_PRODUCT        1008
#define IDC_ABOUT_NOTICE         1033
#define IDC_ABOUT_MAIL           1034
#define IDC_ABOUT_WEB            1035

// The timeline view: its hand cursor for panning and its child id on the main dialog.
#define IDC_HAND_CURSOR          200
#define IDC_TIMELINE_VIEW        2006

// Icons of the buttons and tabs (app/res/icons, written by tools/make_button_icons.py).
#define IDI_BACK                 155
#define IDI_SAVE                 166
#define IDI_ADD                  167
#define IDI_DELETE               168
#define IDI_DISC                 171
#define IDI_FOLDER               175
#define IDI_PLAY                 230
#define IDI_STOP                 231
#define IDI_PAUSE                232
#define IDI_CONVERT              233
#define IDI_VIDEO                234
#define IDI_AUDIO                235
#define IDI_TRIM                 236
#define IDI_EFFECTS              237
#define IDI_ABOUT                238
#define IDI_HELP                 239
#define IDI_VISIT                240
#define IDI_CONTACT              241
#define IDI_EXIT                 242
#define IDI_RANGE_EDIT           243
#define IDI_RANGE_START          244
#define IDI_RANGE_END            245
#define IDI_RANGE_DONE           246
#define IDI_TAB_FILES            250
#define IDI_TAB_3GP              251
#define IDI_TAB_MP4              252
#define IDI_TAB_AVI              253
