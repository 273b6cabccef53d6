// The shell and OLE calls of the main program, bound when called. Linking them would load
// shell32 and ole32 (and what they pull in) at every start, which costs more than the rest
// of the start-up; most starts never need them.
#pragma once

#include <windows.h>
// after windows.h
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace widgets::shell {

bool NotifyIcon(DWORD message, NOTIFYICONDATAW* data);
// Opens a file or folder with its associated program.
void Open(HWND owner, const std::wstring& path);
// A folder of the user's profile (a CSIDL_ value), created when missing; empty when none.
std::wstring ProfileFolder(int csidl);

// The folder chooser of the system and what it needs.
PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* info);
bool PathFromIdList(PCIDLIST_ABSOLUTE list, wchar_t* path);
void FreeIdList(PIDLIST_ABSOLUTE list);
HRESULT OleInit();
void OleUninit();

}  // namespace widgets::shell
