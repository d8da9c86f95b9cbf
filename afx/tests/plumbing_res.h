#pragma once
#define IDD_PLUMBING      100
#define IDC_OWNERDRAW     1001
#define IDC_LIST          1002
#define IDC_REFLECT_EX    1003
#define IDC_REFLECT_PLAIN 1004
#define IDC_NAME          1005
#define IDC_COUNT         1006
#define IDC_CHECK         1007
#define IDC_COMBO         1008
#define IDC_RADIO1        1009
#define IDC_RADIO2        1010
#define IDC_RADIO3        1011
#define IDC_LABEL         1012
#define IDS_GREETING      1
#define IDD_SUPPORT       101
#define IDC_OD_COMBO      1020
#define IDB_SYSCOLOURS    200
