// Resource and control ids, shared by panelcast.rc and the code. Plain #defines so that the
// resource compiler reads them too.
#pragma once

// Dialog templates.
#define IDD_ABOUT 100
#define IDD_MAIN 129
#define IDD_DEVICE_INFO 225
#define IDD_REGION_PICKER 242

// The program icon.
#define IDI_PANELCAST 128

// Bitmaps. Hint and splash bitmaps are 320x240, 24 bits, bottom-up, 230442 bytes each.
#define IDB_HINTS_GPS_PAGE1 226
#define IDB_HINTS_GPS_PAGE2 227
#define IDB_HINTS_LIVE 228
#define IDB_ABOUT_PICTURE 230
#define IDB_BANNER 231
#define IDB_SPLASH_GPS 232
#define IDB_SPLASH_LIVE 233
#define IDB_SPLASH_STATIC 234
#define IDB_HINTS_JPG 240
#define IDB_HINTS_BMP 241

// Controls that the code never addresses (labels, group boxes, the banner).
#define IDC_STATIC -1

// Main window (template 129).
#define IDC_DEVICE_LIST 1000
#define IDC_REFRESH 1009
#define IDC_ABOUT 1010
#define IDC_EXIT 1011
#define IDC_START 1012
#define IDC_SETUP 1013
#define IDC_MODE_CUSTOMIZE 1014
#define IDC_MODE_GPS 1015
#define IDC_MODE_LIVE_VIEW 1016
#define IDC_MODE_STATIC 1017
#define IDC_FORMAT_JPG 1018
#define IDC_FORMAT_BMP 1019
#define IDC_DELAY_TRACKBAR 1020
#define IDC_MODE_LIVE_MONITOR 1021
#define IDC_LEFT 1022
#define IDC_RIGHT 1023
#define IDC_TOP 1024
#define IDC_BOTTOM 1025
#define IDC_DELAY_TEXT 1026
#define IDC_STOP 1027
#define IDC_SHOW_HINTS 1036

// About box (template 100) and device information (template 225).
#define IDC_OK 1031
#define IDC_REPORT 1033

// Region picker (template 242).
#define IDC_SET_COORDINATES 1038
