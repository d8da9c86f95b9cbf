// Control ids of the settings pages (dialogs 148, 179, 149); each page numbers its own controls.
#pragma once

// 3GP page (148).
#define IDC_3GP_SAVE             1005
#define IDC_3GP_FOLDER           1006
#define IDC_3GP_AMR_RATE         1012
#define IDC_3GP_SIZE_ADJUST      1013
#define IDC_3GP_AMR_MONO         1014
#define IDC_3GP_KEYFRAME         1016
#define IDC_3GP_KEYFRAME_LABEL   1018
#define IDC_3GP_MERGE            1019
#define IDC_3GP_OUT_DIR          1020
#define IDC_3GP_SIZE             1022

// MP4 page (179).
#define IDC_MP4_AAC_TYPE         1012
#define IDC_MP4_AAC_QUALITY      1013
#define IDC_MP4_AAC_BITRATE      1014
#define IDC_MP4_AAC_RATE         1015
#define IDC_MP4_AAC_MONO         1017
#define IDC_MP4_AAC_CHANNELS     1019
#define IDC_MP4_SIZE_ADJUST      1020
#define IDC_MP4_WIDTH            1021
#define IDC_MP4_SIZE             1022
#define IDC_MP4_HEIGHT           1023
#define IDC_MP4_CODEC            1024

// AVI page (149).
#define IDC_AVI_MP3_MODE         1012
#define IDC_AVI_MP3_TYPE         1013
#define IDC_AVI_VBR_QUALITY      1014
#define IDC_AVI_CBR              1015
#define IDC_AVI_VBR_MIN          1019
#define IDC_AVI_VBR_MAX          1020
#define IDC_AVI_ABR              1021
#define IDC_AVI_MP3_CHANNELS     1022
#define IDC_AVI_MP3_MONO         1023
#define IDC_AVI_SAMPLE_RATE      1024
#define IDC_AVI_SIZE_ADJUST      1025
#define IDC_AVI_SIZE             1026
#define IDC_AVI_WIDTH            1027
#define IDC_AVI_HEIGHT           1028
#define IDC_AVI_CODEC            1029
