// Resource ids of Veyra: dialogs, controls, menus, bitmaps, icon, cursor and strings.
// Included by veyra.rc and by the C++ code, so it holds plain #defines only.
#pragma once

// System-menu command of the main dialog that opens the about box.
#define IDM_ABOUTBOX 0x0010

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUERY_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_RESULT_IMAGES 130
#define IDC_HAND_CURSOR 131
#define IDB_BANNER 134
#define IDR_POPUP_MENU 135

// Main dialog (IDD_QUERY_DIALOG).
#define IDC_SEND_REQUEST 1000
#define IDC_RESULT_LIST 1001
#define IDC_ADAPTER_COMBO 1003
#define IDC_ADVERT_TITLE 1004
#define IDC_ADVERT_TEXT 1005
#define IDC_DOWNLOAD 1006
#define IDC_BANNER 1007

// About box (IDD_ABOUTBOX).
#define IDC_ABOUT_NOTICE 1008
#define IDC_ABOUT_VERSION 1009
#define IDC_ABOUT_ADDRESS 1010

// Popup menu of the results list (IDR_POPUP_MENU).
#define ID_POPUP_SAVEAS 32771
#define ID_POPUP_COPYROW 32772
#define ID_POPUP_COPYALL 32773
