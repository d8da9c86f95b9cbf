#pragma once
#define IDD_GALLERY        500
#define IDD_GALLERY_PAGE   501
#define IDR_GALLERY_MENU   502
#define IDC_FACE0          2001
#define IDC_GRADIENT_A     2008
#define IDC_GRADIENT_B     2009
#define IDC_G_COMBO        2010
#define IDC_BEVEL_LABEL    2011
#define IDC_SHADED_LABEL   2012
#define IDC_G_TAB          2013
#define IDC_G_MENU_BUTTON  2014
#define ID_G_OPEN          301
#define ID_G_SAVE          302
#define ID_G_EXIT          303
