// Zorvan.exe: the main program.
#include <windows.h>

#include "app/win32/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return app::RunProgram(app::ArgumentsOf(GetCommandLineW()));
}
