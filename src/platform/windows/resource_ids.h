// Ids of the Windows resources, shared by the resource script and the code that loads them.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDS_APP_TITLE 103
#define IDS_WINDOW_CLASS 109
#define IDD_ABOUTBOX 103
#define IDD_ANIMSET_NAME 129
#define IDI_TORAVEL 107
#define IDI_TORAVEL_ALT 108
#define IDI_SMALL 130
#define IDC_TORAVEL 109
#define IDC_ANIMSET_NAME_EDIT 1000
#define IDM_ABOUT 104
#define IDM_EXIT 105
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
