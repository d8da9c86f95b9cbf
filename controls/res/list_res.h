// Resource ids of the skinned list's header and scroll-bar bitmaps (see controls/res/list_skin.rc).
#pragma once
#define IDB_LIST_HEADER_EDGE      134
#define IDB_LIST_HEADER_BACK      135
#define IDB_LIST_HBAR_LEFT        136
#define IDB_LIST_HBAR_RIGHT       137
#define IDB_LIST_HBAR_TRACK       138
#define IDB_LIST_HBAR_THUMB       139
#define IDB_LIST_VBAR_CORNER      140
#define IDB_LIST_VBAR_DOWN        141
#define IDB_LIST_VBAR_TRACK       142
#define IDB_LIST_VBAR_THUMB       143
#define IDB_LIST_VBAR_TOP         144
#define IDB_LIST_VBAR_UP          145
