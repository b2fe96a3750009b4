// Identifiers shared by the resource script and the program.
#pragma once

// Menus, icons, dialogs and tables.
#define IDR_MAIN_MENU 101
#define IDI_PROGRAM 102
#define IDD_FUNCTION_DEFINITION 103
#define IDD_FUNCTION_LIST 104
#define IDD_GRAPH_SETTINGS 105
#define IDI_TOOL_NEW 106
#define IDI_TOOL_OPEN 107
#define IDI_TOOL_SAVE 108
#define IDI_TOOL_FUNCTIONS 109
#define IDI_TOOL_GRAPH 110
#define IDI_DOCUMENT 112
#define IDR_ACCELERATORS 115

// Menu commands.
#define IDM_EXIT 40001
#define IDM_FUNCTION_LIST 40002
#define IDM_GRAPH_SETTINGS 40003
#define IDM_RECALCULATE 40004
#define IDM_REDRAW 40005
#define IDM_OPEN 40006
#define IDM_SAVE 40007
#define IDM_SAVE_AS 40008
#define IDM_NEW 40009
#define IDM_ABOUT 40010
#define IDM_COPY 40011

// Accelerator commands, dispatched like the menu items.
#define IDA_SAVE 40012
#define IDA_COPY 40013
#define IDA_FUNCTION_LIST 40014
#define IDA_GRAPH_SETTINGS 40015
#define IDA_RECALCULATE 40016

// Toolbar buttons.
#define IDT_NEW 10001
#define IDT_OPEN 10002
#define IDT_SAVE 10003
#define IDT_FUNCTIONS 10004
#define IDT_GRAPH 10005

// Child windows.
#define IDC_GRAPH_AREA 100
#define IDC_TOOLBAR 10010
