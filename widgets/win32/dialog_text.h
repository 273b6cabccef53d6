// Dialog controls read and written as Windows-1251 texts, and small control helpers.
#pragma once

#include <windows.h>

#include <string>

namespace widgets {

std::string GetWindowText1251(HWND window);
// Sets the text only when it differs, so an unchanged edit keeps its caret and sends no
// change notification.
void SetWindowText1251(HWND window, const std::string& text);
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);

bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
void EnableItem(HWND dialog, int id, bool enabled);
// The control id of the window with the keyboard focus if it belongs to dialog, else 0.
int FocusedItemId(HWND dialog);

std::string LoadString1251(HINSTANCE instance, UINT id);

// A message box with the program's title as caption.
int ShowMessageBox(HWND owner, const std::string& text, UINT type);

}  // namespace widgets
