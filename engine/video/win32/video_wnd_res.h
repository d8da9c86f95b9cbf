// Resource id of the video dialog.
#pragma once
#define IDD_VIDEO_WND 195
