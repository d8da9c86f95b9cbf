#pragma once
#define IDS_PROBE_NAME 1
#define IDD_PROBE      100
