// Resource ids of "Zorvan launcher.exe".
#pragma once

#define IDI_LAUNCHER 128
// The tray picture while a run failed or a schedule was skipped, until it was looked at.
#define IDI_LAUNCHER_WARNING 129

// "Последние запуски…"
#define IDD_RECENT_RUNS 200
#define IDC_RUNS_LIST 1001
#define IDC_OPEN_JOURNAL 1002

#define IDS_BEGIN 102
#define IDS_STARTUP 104
#define IDS_MAIN_WINDOW_TITLE 105
#define IDS_LAUNCHER_NAME 57344
#define IDS_PROGRAM_NAME 57345

// Tray menu commands.
#define ID_SHOW_PROGRAM 1
#define ID_STOP_SCHEDULER 2
#define ID_RECENT_RUNS 3
#define ID_APP_EXIT 0xE141
