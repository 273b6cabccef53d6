#include "app/win32/program_file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/codepage.h"
#include "widgets/win32/handles.h"

namespace app {

std::optional<std::string> ChooseProgramFile(HWND owner, const std::string& title,
                                             const std::string& initial) {
  // The system wants "\0" between the parts and "\0\0" at the end.
  static constexpr wchar_t kFilter[] =
      L"Исполняемые файлы (*.exe;*.com;*.bat)\0*.exe; *.com; *.bat\0";
  const std::wstring caption = platform::Widen(title);
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  platform::Widen(initial).copy(file.data(), file.size() - 1);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = caption.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
  // The common dialogs are loaded when they are used: start-up does not pay for them.
  widgets::ModuleHandle library(LoadLibraryW(L"comdlg32.dll"));
  using FileDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  const auto show = library ? reinterpret_cast<FileDialogFn>(reinterpret_cast<void*>(
                                  GetProcAddress(library.Get(), "GetOpenFileNameW")))
                            : nullptr;
  if (show == nullptr || !show(&dialog)) return std::nullopt;
  return platform::Narrow(file.data());
}

}  // namespace app
