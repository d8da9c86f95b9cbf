// Resource ids of the skin bitmaps (see skin.rc).
#pragma once
#define IDB_SKIN_BACKGROUND    129
#define IDB_SKIN_FRAME_LEFT    131
#define IDB_SKIN_FRAME_RIGHT   132
#define IDB_SKIN_FRAME_BOTTOM  133
#define IDB_SKIN_BUTTON_CLOSE  191
#define IDB_SKIN_CAPTION       193
#define IDB_SKIN_BUTTON_MIN    194
#define IDB_SKIN_BUTTON_COLOUR 201
