#include "app/options_rules.h"

namespace app {

void NormalizeOptions(GeneralOptions& options) {
  if (options.TimeOut == 0) options.TerminateAfterTimeOut = 0;
  if (options.ShutDownAfterSave != 0) options.QuitAfterSave = 1;
}

PanelEnabling EnablingFor(const GeneralOptions& options) {
  PanelEnabling e;
  e.journalDetails = options.Journal != 0;
  e.terminateAfterTimeOut = options.TimeOut != 0;
  e.quitAfterSave = options.ShutDownAfterSave == 0;
  return e;
}

std::string TitleWithMark(const std::string& title, bool modified) {
  const bool marked = !title.empty() && title.back() == '*';
  if (modified && !marked) return title + "*";
  if (!modified && marked) return title.substr(0, title.size() - 1);
  return title;
}

std::string JobStatusText(const std::string& baseName) {
  return "Выполняется задание: " + baseName;
}

std::string TrayTip(const std::string& status) { return status.substr(0, kTrayTipLength); }

std::string TaskCommandLine(const std::string& program, const std::string& arguments,
                            const std::function<bool(const std::string&)>& fileExists) {
  const bool quoted = program.find('"') != std::string::npos;
  const bool blanks = program.find(' ') != std::string::npos;
  if (!quoted && blanks && fileExists(program)) return "\"" + program + "\" " + arguments;
  return program + " " + arguments;
}

std::string TaskPromptText(const std::string& program) {
  return "    Запуск приложения " + program +
         ". Нажмите \"Отмена\" для отказа от запуска приложения.";
}

std::string NormalizeFolder(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
    if (folder.size() == 3 && folder[1] == ':') break;  // "C:\" keeps its backslash
    folder.pop_back();
  }
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

}  // namespace app
