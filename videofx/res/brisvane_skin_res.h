// Resource ids of brisvane's window frame bitmaps (see brisvane_skin.rc).
#pragma once
#define IDB_BRISVANE_BACKGROUND   11023
#define IDB_BRISVANE_FRAME_LEFT   11025
#define IDB_BRISVANE_FRAME_RIGHT  11026
#define IDB_BRISVANE_FRAME_BOTTOM 11027
#define IDB_BRISVANE_CAPTION      11046
#define IDB_BRISVANE_BUTTON_CLOSE 11047
#define IDB_BRISVANE_BUTTON_1     11048
