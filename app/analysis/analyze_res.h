// Resource numbers of the analysis dialog.
#pragma once
#ifndef IDD_ANALYZE
#define IDD_ANALYZE 202
#endif
#define IDC_ANALYZE_STATUS 1008
#define IDC_ANALYZE_BAR 1009
#define IDC_ANALYZE_BAR2 1010
