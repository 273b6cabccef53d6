#include "runner/job_run_journal.h"

#include <cstdio>

#include "runner/archive_names.h"

std::string JournalPath(const std::string& dataFolder, const std::string& fileName) {
  if (fileName.find('\\') != std::string::npos) return fileName;
  return JoinPath(dataFolder, fileName);
}

std::vector<std::string> JournalHeaderLines(const platform::fs::LocalTime& t,
                                            const std::string& configPath) {
  char date[96];
  std::snprintf(date, sizeof date, "Дата %d/%02d/%02d Время %02d:%02d", t.day, t.month, t.year,
                t.hour, t.minute);
  return {kStarsLine, date, "Имя файла настройки \"" + configPath + "\""};
}

namespace {

// Adds the line of a job that counts when flag is 1.
void AddJob(JobList& list, int32_t flag, const char* line) {
  if (flag != 1) return;
  list.lines.push_back(line);
  ++list.jobCount;
}

void AddExchange(JobList& list, const InfobaseEntry& e) {
  if (!e.BatchExchanges()) return;
  list.lines.push_back("    Выполнить автообмен");
  list.lines.push_back("        Из " + e.ReadFrom);
  list.lines.push_back("        В " + e.WriteTo);
  if (e.SendByEmail == 1) {
    list.lines.push_back("        Получить из " + e.ReceiveFrom);
    list.lines.push_back("        Отправить в " + e.SendTo);
  }
  ++list.jobCount;
}

}  // namespace

JobList BuildJobList(const InfobaseEntry& e) {
  JobList list;
  list.lines.push_back("Список заданий:");
  AddJob(list, e.SaveData, "    Сохранить данные (для формата DBF)");
  AddJob(list, e.UnloadData, "    Выгрузить данные в текстовый файл");
  AddJob(list, e.UseExternalArchiver, "    Архивировать внешним архиватором");
  if ((e.AsksForArchive() || e.UseExternalArchiver) && !e.DuplicateDirectory.empty())
    list.lines.push_back("    Скопировать в \"" + e.DuplicateDirectory + "\"");
  AddJob(list, e.PhisicalIntegrity, "    Проверка физической целостности");
  AddJob(list, e.Reindex, "    Реиндексация");
  AddJob(list, e.LogicalIntegrity, "    Проверка логической целостности");
  AddJob(list, e.RecalcSecondaries, "    Пересчет служебных данных");
  AddJob(list, e.RecalcTotals, "    Пересчет итогов");
  AddJob(list, e.Pack, "    Упаковка таблиц ИБ");
  AddExchange(list, e);
  return list;
}

std::string ReadErrorText(const std::string& configPath) {
  return std::string("Ошибка чтения данных из файла ") + " " + configPath;
}
