#include "runner/batch_file.h"

namespace {

const char* YesNo(bool yes) { return yes ? "Y" : "N"; }

std::string GeneralSection(const InfobaseEntry& e, const ArchivePlan& plan) {
  std::string s = "[General]\nQuit=Y\n";
  if (BatchRequestsArchive(e, plan, kSaveArchive)) s += "SaveData=Y\n";
  if (BatchRequestsArchive(e, plan, kUnloadArchive)) s += "UnloadData=Y\n";
  if (e.BatchExchanges()) s += "AutoExchange=Y\n";
  if (e.BatchRepairs()) s += "CheckAndRepair=Y\n";
  return s;
}

std::string UnloadSection(const InfobaseEntry& e, const ArchivePlan& plan) {
  std::string s = "[UnloadData]\nUnloadToFile=" + plan.path[kUnloadArchive] + "\n";
  if (e.IncludeUserDef != 0) s += "IncludeUserDef=Y\n";
  if (!e.PswdZIP.empty()) s += "Password=" + e.PswdZIP + "\n";
  return s;
}

std::string CheckAndRepairSection(const InfobaseEntry& e) {
  std::string s =
      "[CheckAndRepair]\nRepair=" + std::string(YesNo(e.CheckAndRepairMode == 0)) + "\n";
  if (e.CheckAndRepairMode == 0) {
    if (e.LinksCreatingMode == 2)
      s += "SkipUnresolved=Y\n";
    else
      s += "SkipUnresolved=N\nCreateForUnresolved=" + std::string(YesNo(e.LinksCreatingMode == 0)) +
           "\n";
    s += "Reconstruct=" + std::string(YesNo(e.ObjectsCreatingMode != 0)) + "\n";
  }
  const std::pair<const char*, int32_t> actions[] = {
      {"PhysicalIntegrity=", e.PhisicalIntegrity}, {"Reindex=", e.Reindex},
      {"LogicalIntegrity=", e.LogicalIntegrity},   {"RecalcSecondaries=", e.RecalcSecondaries},
      {"RecalcTotals=", e.RecalcTotals},           {"Pack=", e.Pack}};
  for (const auto& [key, flag] : actions) s += key + std::string(YesNo(flag == 1)) + "\n";
  return s;
}

std::string AutoExchangeSection(const InfobaseEntry& e) {
  std::string s = "[AutoExchange]\nSharedMode=Y\n";
  auto add = [&s](const char* key, const std::string& value) {
    if (!value.empty()) s += key + value + "\n";
  };
  add("ReadFrom=", e.ReadFrom);
  add("WriteTo=", e.WriteTo);
  if (e.SendByEmail == 1) {
    add("ReceiveFrom=", e.ReceiveFrom);
    add("SendTo=", e.SendTo);
  }
  return s;
}

}  // namespace

bool BatchRequestsArchive(const InfobaseEntry& e, const ArchivePlan& plan, ArchiveKind kind) {
  const bool asked = kind == kSaveArchive ? e.BatchSavesData() : e.BatchUnloadsData();
  return asked && !plan.skip[kind];
}

std::string BuildBatchFile(const InfobaseEntry& e, const ArchivePlan& plan) {
  std::string text = GeneralSection(e, plan);
  if (BatchRequestsArchive(e, plan, kSaveArchive))
    text += "[SaveData]\nSaveToFile=" + plan.path[kSaveArchive] + "\n";
  if (BatchRequestsArchive(e, plan, kUnloadArchive)) text += UnloadSection(e, plan);
  if (e.BatchRepairs()) text += CheckAndRepairSection(e);
  if (e.BatchExchanges()) text += AutoExchangeSection(e);
  return text + std::string(5, '\0');
}
