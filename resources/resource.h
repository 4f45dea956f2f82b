// Resource ids of Ocellix. Shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_LOCATE 7
#define IDD_ABOUT 115
#define IDD_OPTIONS 119
#define IDD_EDIT_ITEM 120

// Popup menu of the main window
#define IDM_POPUP 116
#define IDM_OPTIONS 40007
#define IDM_EXIT 40008
#define IDM_ABOUT 40009

// Display texts of the action codes: string id = 4001 + action code
#define IDS_ACTION_FIRST 4001
#define IDS_ACTION_NONE 4001
#define IDS_ACTION_WEB_PAGE 4002
#define IDS_ACTION_PROGRAM 4003
#define IDS_ACTION_SHOW_OPTIONS 4004
#define IDS_ACTION_NONE_END 4005

// Image strips of resource type "GIF"; the 192 dpi set has the same ids plus 100
#define IDB_TREE 100
#define IDB_ADD 121
#define IDB_EDIT 122
#define IDB_DELETE 123
#define IDB_MOVE_UP 124
#define IDB_MOVE_DOWN 125
#define IDB_MISSING_PICTURE 126
#define IDB_HIRES_OFFSET 100

// Options dialog
#define IDC_ADD 202
#define IDC_DELETE 203
#define IDC_MOVE_UP 204
#define IDC_MOVE_DOWN 205
#define IDC_EDIT 206
#define IDC_BLINKET_LIST 1005

// Edit Item dialog
#define IDC_ACTION 1007
#define IDC_ACTION_STRING 1008
#define IDC_IMAGE_LIST 1009
#define IDC_BROWSE 1010
#define IDC_OWN_PICTURE 1011

// Locate dialog
#define IDC_TREE 6

// The program's file: its icon, as Explorer shows it (the window class has none)
#define IDI_OCELLIX 1

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
