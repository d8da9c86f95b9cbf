#pragma once
#define IDD_LIST_TEST      450
#define IDD_OTHERS_TEST    451
#define IDC_T_LIST         3001
#define IDC_T_SLIDER       3002
#define IDC_T_LINK         3003
#define IDC_T_ROUND        3004
#define IDC_T_PROGRESS     3005
#define IDC_T_READOUT      3006
#define IDC_T_SCROLL_LIST  3007
