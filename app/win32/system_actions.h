// What the main window asks of the system beyond its own controls: shutting the
// computer down, the compiled help, opening a file with the shell.
#pragma once

#include <windows.h>

#include <string>

#include "widgets/win32/handles.h"

namespace app {

// Enables the shutdown privilege of the process (needed on every Windows since NT).
bool EnableShutdownPrivilege();
// Shut down as the end of a run asks: late and without retry for this process, the
// privilege, then a forced shutdown. False when the system refused. Never called by tests.
bool ShutDownComputer();

// The HTML Help control, loaded at the first help command; a failure is remembered
// and later commands do nothing.
class HelpViewer {
 public:
  // Loads the control and resolves its entry; false when either cannot be had.
  bool Load();
  // Shows "Zorvan.chm" from the program folder.
  void Show(const std::string& programFolder);

 private:
  using HtmlHelpFn = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
  enum class State { NotLoaded, Loaded, Failed };
  State state_ = State::NotLoaded;
  widgets::ModuleHandle module_;
  HtmlHelpFn htmlHelp_ = nullptr;
};

// Opens a file with the shell's default action, shown normally.
void OpenWithShell(HWND owner, const std::string& path);

}  // namespace app
