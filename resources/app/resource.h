// Resource ids of Zorvan.exe (dialogs, controls, menu, icons, strings).
#pragma once

// Dialogs and menus.
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDR_MAINMENU 128
#define IDR_ACCELERATORS 129
#define IDD_QUERY 164

// Icons.
#define IDI_MAIN 128
#define IDI_QUERY 162
#define IDI_QUERY_INFO 165
#define IDI_QUERY_WARNING 166
#define IDI_QUERY_ERROR 171
#define IDI_BUTTON_FOLDER 200
#define IDI_BUTTON_FOLDER_CHOSEN 201
#define IDI_BUTTON_FOLDER_DEFAULT 202
#define IDI_BUTTON_PROGRAM 203
#define IDI_BUTTON_JOURNAL 204
#define IDI_BUTTON_NEW 205
#define IDI_BUTTON_OPEN 206
#define IDI_BUTTON_SAVE 207
#define IDI_BUTTON_HELP 208
#define IDI_BUTTON_APPLY 209
#define IDI_BUTTON_RUN 210
#define IDI_BUTTON_CLOSE 211

// Picture strips of the infobase tree (resources/app/make_tree_pictures.py).
#define IDB_TREE_ITEMS 300
#define IDB_TREE_MARKS 301

// Strings.
#define IDS_ABOUT_MENU 101
#define IDS_MODE_BEGIN 102
#define IDS_MODE_LAUNCH 103
#define IDS_MODE_STARTUP 104
#define IDS_CONFIG_EXTENSION 106
#define IDS_NEW_SCHEDULE 110
#define IDS_LAUNCHER_NAME 114
#define IDS_PROGRAM_TITLE 57344
#define IDS_NOT_SET 57345

// Commands of the main window (the buttons' ids, also used by the menu).
#define IDC_ARCHIVE_CHOOSE 3
#define IDC_ENTERPRISE_CHOOSE 4
#define IDC_ARCHIVE_TOGGLE 5
#define IDC_JOURNAL_OPEN 6
#define IDC_NEW 7
#define IDC_RUN 1010
#define IDC_APPLY 1013
#define IDC_OPEN 1015
#define IDC_SAVE_AS 1016
#define IDC_HELP_CONTENTS 57670
#define ID_APP_ABOUT 57664
#define IDM_SYSTEM_ABOUT 16

// Controls of the main window.
#define IDC_TREE 1000
#define IDC_SELECTED_PATH 1002
#define IDC_TIMEOUT 1007
#define IDC_TERMINATE 1008
#define IDC_ARCHIVE_FOLDER 1011
#define IDC_ENTERPRISE_PATH 1012
#define IDC_CLEAR_JOURNAL 1014
#define IDC_QUIT_AFTER 1017
#define IDC_SHUTDOWN_AFTER 1018
#define IDC_JOURNAL_NAME 1019
#define IDC_JOURNAL_NAME_LABEL 1020
#define IDC_JOURNAL 1022
#define IDC_CONFIG_NAME 1024
#define IDC_COPY_COUNT 1036
#define IDC_COPY_SPIN 1037
#define IDC_TIMEOUT_SPIN 1038
#define IDC_OVERWRITE 1040
#define IDC_KEEP 1041
#define IDC_STATUS 1082

// Controls of the countdown prompt and the about box.
#define IDC_QUERY_COUNTER 1047
#define IDC_QUERY_TEXT 1048
#define IDC_QUERY_ICON 1067
#define IDC_ABOUT_VERSION 1100

#include "zorvan_version.h"
