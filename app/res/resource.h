// Resource ids of tarmelo.
#pragma once
#define IDR_MAINFRAME            128
#define IDS_ABOUTBOX             101
#define IDD_ABOUTBOX             100
#define IDD_CONVERTER_DIALOG     102
#define IDM_ABOUTBOX             0x0010

#define IDC_STATUS_LINE          1008
#define IDC_CONVERT              1025
#define IDC_PLAY                 1006
#define IDC_STOP                 1007
#define IDC_ABOUT                1031
#define IDC_HELP_BUTTON          1032
#define IDC_EXIT                 1036
#define IDC_CLOCK                1055
