// Resource ids of olumbra's window frame bitmaps (see olumbra_skin.rc).
#pragma once
#define IDB_OLUMBRA_BACKGROUND   3005
#define IDB_OLUMBRA_CAPTION      3006
#define IDB_OLUMBRA_FRAME_LEFT   3007
#define IDB_OLUMBRA_FRAME_RIGHT  3008
#define IDB_OLUMBRA_FRAME_BOTTOM 3009
#define IDB_OLUMBRA_BUTTON_CLOSE 3055
