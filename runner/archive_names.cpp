#include "runner/archive_names.h"

#include <algorithm>
#include <string_view>

const std::string& ArchiveSuffix(ArchiveKind kind) {
  static const std::string suffixes[2] = {" архив", " выгрузка"};
  return suffixes[kind];
}

std::string ArchiveBaseName(const InfobaseEntry& entry) {
  std::string name = entry.ArchiveName.empty() ? entry.BaseName : entry.ArchiveName;
  constexpr std::string_view kReplaced = "\\/:*.?<>|\"";
  for (char& c : name)
    if (kReplaced.find(c) != std::string_view::npos) c = '_';
  return name;
}

std::string ArchiveExtension(const InfobaseEntry& entry) {
  const std::string& ext = entry.ExternalArchiveExtention;
  if (!entry.UseExternalArchiver || ext.empty()) return ".zip";
  return ext.find('.') == std::string::npos ? "." + ext : ext;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string RemoveQuotes(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

std::string ArchiveCopyPath(const std::string& folder, const std::string& name, int n,
                            const std::string& extension) {
  return JoinPath(folder, name + "(" + std::to_string(n) + ")" + extension);
}

ArchivePlan PlanArchives(const InfobaseEntry& entry, const std::string& destination) {
  ArchivePlan plan;
  plan.baseName = ArchiveBaseName(entry);
  plan.extension = ArchiveExtension(entry);
  plan.folder = JoinPath(destination, plan.baseName);
  plan.wanted[kSaveArchive] = entry.SaveData != 0 || entry.UseExternalArchiver != 0;
  plan.wanted[kUnloadArchive] = entry.UnloadData != 0;
  for (ArchiveKind kind : {kSaveArchive, kUnloadArchive})
    plan.path[kind] = JoinPath(plan.folder, plan.Name(kind) + plan.extension);
  return plan;
}
