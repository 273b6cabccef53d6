// Names the launcher shares with the main program, the registry and the shell: window
// title, mutexes, registry keys and values, command-line switches and the close request.
#pragma once

#include <cstdint>

namespace launcher {

// The launcher's window title, single-instance mutex, tray tip, Run value name and the
// last part of the registry list key.
inline constexpr char kLauncherName[] = "Zorvan launcher";
// The main program: its executable "Zorvan.exe" and its registry key SOFTWARE\Zorvan.
inline constexpr char kProgramName[] = "Zorvan";
inline constexpr char kProgramExe[] = "Zorvan.exe";

// HKEY_CURRENT_USER: configuration files with schedules, one value per file path.
inline constexpr char kListKey[] = "SOFTWARE\\Zorvan\\Zorvan launcher";
inline constexpr char kListValueData[] = "Файл настройки";
// HKEY_CURRENT_USER: programs started at log-on.
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// HKEY_LOCAL_MACHINE: the installation record, the full path of Zorvan.exe.
inline constexpr char kInstallKey[] = "SOFTWARE\\Zorvan";
inline constexpr char kInstallPathValue[] = "Path";

inline constexpr char kStartupSwitch[] = "STARTUP";
inline constexpr char kBeginSwitch[] = "BEGIN";

// Exists while the main program runs.
inline constexpr char kRecognizeMutex[] = "Zorvan_RECOGNIZE_MUTEX";
// Part of the main window's title, by which the tray menu sees an open main program.
inline constexpr char kMainWindowTitle[] = "Резервное копирование баз данных";

// Sent by the main program to the window titled exactly kLauncherName: end the launcher.
inline constexpr uint32_t kCloseRequest = 0x590;
inline constexpr uint32_t kPollTimerId = 50;
inline constexpr uint32_t kPollPeriodMs = 50000;

}  // namespace launcher
