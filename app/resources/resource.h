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

// Controls of the function definition dialog (IDD_FUNCTION_DEFINITION).
#define IDC_KIND_EXPLICIT 1000
#define IDC_KIND_PARAMETRIC 1001
#define IDC_EXPRESSION 1002
#define IDC_EXPRESSION2 1003
#define IDC_EXPRESSION_LABEL 1004
#define IDC_EXPRESSION2_LABEL 1005
#define IDC_KIND_POLAR 1006
#define IDC_KIND_IMPLICIT 1007
#define IDC_DOMAIN_MIN 1012
#define IDC_DOMAIN_MAX 1013
#define IDC_DOMAIN_LABEL 1014
#define IDC_VISIBLE 1016
#define IDC_DENSITY 1024
#define IDC_COLOUR 1027

// Controls of the function list dialog (IDD_FUNCTION_LIST).
#define IDC_FUNCTION_LIST 1006
#define IDC_MOVE_UP 1007
#define IDC_MOVE_DOWN 1008
#define IDC_EDIT_FUNCTION 1009
#define IDC_REMOVE_FUNCTION 1010
#define IDC_ADD_FUNCTION 1011
#define IDC_DUPLICATE_FUNCTION 1012

// Controls of the graph settings dialog (IDD_GRAPH_SETTINGS).
#define IDC_X_MIN 1018
#define IDC_X_MAX 1019
#define IDC_Y_MIN 1020
#define IDC_Y_MAX 1021
#define IDC_ZOOM 1022
#define IDC_AXIS_WIDTH 1023
#define IDC_GRAPH_WIDTH 1024
#define IDC_AXIS_COLOUR 1028
#define IDC_TICKS_MARKS 1029
#define IDC_TICKS_GRID 1030
#define IDC_TICKS_NONE 1031
#define IDC_TICK_COLOUR 1032

// Labels without an identifier.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
