// Names and paths of the archives of one infobase's job step.
#pragma once

#include <string>

#include "config/entries.h"

enum ArchiveKind { kSaveArchive = 0, kUnloadArchive = 1 };

// Name suffix of a kind: " архив" for the save, " выгрузка" for the unload.
const std::string& ArchiveSuffix(ArchiveKind kind);

// ArchiveName, or BaseName when that is empty, with \ / : * . ? < > | and " replaced by _.
std::string ArchiveBaseName(const InfobaseEntry& entry);
// ".zip"; in external-archiver mode ExternalArchiveExtention, given a leading "." when it
// holds none; an empty one gives ".zip".
std::string ArchiveExtension(const InfobaseEntry& entry);

// folder + "\" + name, without a doubled separator when folder already ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);
std::string Quote(const std::string& text);
std::string RemoveQuotes(std::string text);

// Numbered copy n of an archive: folder\name(n)extension.
std::string ArchiveCopyPath(const std::string& folder, const std::string& name, int n,
                            const std::string& extension);

// The archives one job step works with.
struct ArchivePlan {
  std::string baseName;
  std::string extension;
  std::string folder;          // destination + "\" + baseName
  std::string path[2];         // per kind; quoted once rotated
  bool wanted[2] = {false, false};
  bool skip[2] = {false, false};  // an archive of today is retained

  // Full name of a kind without extension: base name + suffix.
  std::string Name(ArchiveKind kind) const { return baseName + ArchiveSuffix(kind); }
};

ArchivePlan PlanArchives(const InfobaseEntry& entry, const std::string& destination);
