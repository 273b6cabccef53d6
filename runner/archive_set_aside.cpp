#include "runner/archive_set_aside.h"

#include "platform/fs.h"
#include "runner/archive_rotation.h"

namespace fs = platform::fs;

std::string ArchiveSidePath(const std::string& archivePath) {
  std::string side = archivePath;
  if (!side.empty()) side.back() = side.back() == '~' ? '_' : '~';
  return side;
}

bool SetArchiveAside(const std::string& archivePath, unsigned long* error) {
  if (!fs::FileExists(archivePath)) return true;
  return fs::Rename(archivePath, ArchiveSidePath(archivePath), error);
}

bool PutArchiveBack(const std::string& archivePath, unsigned long* error) {
  const std::string side = ArchiveSidePath(archivePath);
  if (!fs::FileExists(side)) return true;
  if (fs::FileExists(archivePath) && !fs::RemoveFile(archivePath, error)) return false;
  return fs::Rename(side, archivePath, error);
}

void SettleArchive(const std::string& name, const std::string& archivePath,
                   const std::string& folder, const std::string& extension, int copyCount,
                   bool shift) {
  const std::string side = ArchiveSidePath(archivePath);
  if (!fs::FileExists(side)) return;
  // A side file left behind would be put back over the new archive by the next step.
  if (!shift || !MoveIntoCopies(name, side, folder, extension, copyCount)) fs::RemoveFile(side);
}
