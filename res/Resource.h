#pragma once
// Resource and control identifiers of the window, the about box and the menu.

#include "ResourceTypes.h" // the standard buttons IDOK and IDCANCEL

// Dialogs, strings, images
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_KORVANE_DIALOG 102
#define IDR_MAINFRAME 128
#define IDR_MENU_MAIN 129
#define IDC_CURSOR_HAND 130
#define IDB_BANNER 134

// Controls of the main window
#define IDC_LIST_RESULT 1000
#define IDC_EDIT_DATA 1001
#define IDC_BUTTON_PARSE 1002
#define IDC_BUTTON_LOAD_DATA 1003
#define IDC_EDIT_TEMPLATE 1004
#define IDC_BUTTON_LOAD_TEMPLATE 1005
#define IDC_EDIT_ALLOWED_CHARS 1006
#define IDC_EDIT_START_TAG 1007
#define IDC_EDIT_END_TAG 1008
#define IDC_EDIT_TEMPLATE_PATH 1009
#define IDC_EDIT_DATA_PATH 1010
#define IDC_EDIT_CRCL 1011
#define IDC_CHECK_PARSE_FROM_EDIT 1012
#define IDC_BANNER 1021

// Controls of the about box
#define IDC_LINK 1013
#define IDC_BANNER_ABOUT 1020

// Commands
#define IDM_ABOUTBOX 0x0010
#define ID_FILE_COPYROW 32771
#define ID_FILE_COPYALL 32772
#define ID_FILE_SAVEAS 32773
#define ID_FILE_LOADTEMPLATE 32775
#define ID_FILE_LOADDATA 32776
#define ID_FILE_DELETEROW 32778
#define ID_HELP_PRODUCTPAGE 32779
#define ID_HELP_ABOUT 32780
#define ID_HELP_HELPTOPICS 32783
#define ID_FILE_DELETELISTCONTENT 32784
#define ID_FILE_CLOSE 57602
#define ID_FILE_PRINT 57607
