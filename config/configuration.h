// Moving a whole configuration between memory and its file: the general options, the
// additional tasks, the marked infobases and the schedules. The window reaches these
// operations through the seams below, so they run without a window in tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/entries.h"
#include "config/general_options.h"
#include "config/infobase_record.h"
#include "platform/file_error.h"

namespace platform { class Registry; }

// What load and save need of the infobase tree model (implemented by InfobaseTree).
class ConfigurationTree {
 public:
  virtual ~ConfigurationTree() = default;
  // Empties the tree, discovers the registered infobases and adds the fixed items.
  virtual void RebuildFromRegistry(platform::Registry& registry) = 0;
  virtual void ApplyAdditionalTasks(const AdditionalTasks& tasks) = 0;
  virtual void ApplyInfobaseRecord(const InfobaseRecord& record) = 0;
  virtual void ApplySchedule(const ScheduleEntry& schedule) = 0;
  virtual void SortGroups() = 0;
  virtual const std::vector<InfobaseEntry>& InfobaseEntries() const = 0;
  virtual const std::vector<ScheduleEntry>& ScheduleEntries() const = 0;
  // Mark of an infobase item; NoBox when it has no box.
  virtual Mark GetMark(ItemHandle item) const = 0;
};

// Calls into the main window and the system.
struct ConfigurationSeams {
  ConfigurationSeams(platform::Registry& registry, platform::FileErrorReporter fileErrorReporter)
      : registry(registry), fileErrorReporter(std::move(fileErrorReporter)) {}

  platform::Registry& registry;  // discovery, the default path, "LastConfig"
  // How a failed open or write of the save target is shown (the window passes its
  // file-error box; programs without a window print or record it).
  platform::FileErrorReporter fileErrorReporter;
  // Error message box: one OK button, the program title as caption.
  std::function<void(const std::string& text)> showError;
  std::function<void(bool modified)> setModified;
  // Launcher registration of the current file; hasSchedules: a real schedule exists.
  std::function<void(const std::string& path, bool hasSchedules)> registerLauncher;
  bool autoRun = false;  // unattended start: "LastConfig" is left alone
};

struct Configuration {
  GeneralOptions options;
  AdditionalTasks tasks;
};

enum class SaveTarget { CurrentFile, RunSnapshot };

enum class LoadResult {
  Loaded,      // the file was read
  Empty,       // no file, or an empty one: an empty configuration, as a new file is
  Unreadable,  // the file exists but stayed held or unreadable: nothing of it was read,
               // and a save without asking would write an empty configuration over it
};

// Rebuilds the tree and applies the file at path (if it can be opened) over config. A
// file another program holds (the launcher's poll) is tried again for about 2 s.
LoadResult LoadConfiguration(const std::string& path, Configuration& config,
                             ConfigurationTree& tree, const ConfigurationSeams& seams);

// Writes the configuration to path; the current file is replaced atomically. Returns the
// number of infobases written, 0 on failure (also when the 1C:Enterprise path is wrong,
// in which case the file has been written all the same).
int SaveConfiguration(SaveTarget target, const std::string& path, const Configuration& config,
                      const ConfigurationTree& tree, const ConfigurationSeams& seams);

// Sets binaryDirectory from the last "1CPath" found under the 1C:Enterprise 7.7 key.
void FindDefaultEnterprisePath(platform::Registry& registry, std::string& binaryDirectory);

// Re-reads "DestinationDirectory" from the file at path; silent when it cannot be opened.
void RestoreArchiveFolder(const std::string& path, GeneralOptions& options);
