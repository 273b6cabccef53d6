// "Zorvan launcher.exe": the tray program that starts scheduled runs.
#include <windows.h>

#include "launcher/win32/launcher_window.h"
#include "platform/codepage.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  return launcher::RunLauncher(instance, platform::Narrow(arguments));
}
