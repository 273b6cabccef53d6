// The model of the infobase tree: the items the tree control mirrors, the two entry
// lists it owns, discovery of registered infobases, the fixed items, applying a
// configuration, sorting and the marks of infobases and groups.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "tree/tree_items.h"

namespace platform { class Registry; }

// Images of the normal image list (indices fixed by the bitmap strip).
namespace tree_image {
inline constexpr int kNetworkBase = 0, kLocalBase = 1, kUnregisteredBase = 2;
inline constexpr int kNetworkGroup = 3, kLocalGroup = 4;
inline constexpr int kUser = 5, kUserVerified = 6, kPassword = 7;
inline constexpr int kParameters = 8, kParametersChosen = 9;
inline constexpr int kScheduleRoot = 10, kSchedule = 11, kSchedulePlaceholder = 12;
inline constexpr int kTasksRoot = 14, kPreTask = 15, kPreTaskSet = 16, kPostTask = 17,
                     kPostTaskSet = 18;
}  // namespace tree_image

enum class Validity { Blocked = 0, MayRun = 1 };

// Reads the user names of the infobase at a path; false when the list cannot be read.
using UserListReader = std::function<bool(const std::string& path, std::vector<std::string>&)>;

class InfobaseTree : public ConfigurationTree {
 public:
  // onModified is the window's SetModified(1), called after every operator change.
  InfobaseTree(UserListReader readUsers, std::function<void()> onModified);

  // Items.
  const TreeItems& Items() const { return items_; }
  const TreeItem* Item(ItemHandle item) const { return items_.Get(item); }
  void SetItemText(ItemHandle item, std::string text);
  void SetItemImage(ItemHandle item, int image);
  ItemHandle LocalGroup() const { return localGroup_; }
  ItemHandle NetworkGroup() const { return networkGroup_; }
  ItemHandle UnregisteredGroup() const { return unregisteredGroup_; }
  ItemHandle ScheduleRoot() const { return scheduleRoot_; }
  ItemHandle PreTaskItem() const { return preTask_; }
  ItemHandle PostTaskItem() const { return postTask_; }
  // Deletes an item with its children; a deleted schedule item takes its entry along.
  void DeleteItem(ItemHandle item);

  // Entry lists: find copies, store overwrites the entry of that item or appends.
  std::optional<InfobaseEntry> FindInfobase(ItemHandle item) const;
  void StoreInfobase(const InfobaseEntry& entry);
  bool RemoveInfobase(ItemHandle item);
  std::optional<ScheduleEntry> FindSchedule(ItemHandle item) const;
  void StoreSchedule(const ScheduleEntry& entry);
  bool RemoveSchedule(ItemHandle item);

  // Marks, shown as state image mark + 1 (state image 0: no box, read as Mark::NoBox).
  // SetMark refuses NoBox and values outside the five marks.
  bool SetMark(ItemHandle item, Mark mark);
  // Takes the box away (state image 0).
  void RemoveBox(ItemHandle item);
  Mark GetMark(ItemHandle item) const override;
  // MayRun, or Blocked after turning a Marked infobase into Blocked (and back when it
  // may run again); MayRun for any item that is not an infobase.
  Validity ValidateInfobase(ItemHandle item);
  void UpdateGroupMark(ItemHandle item);
  void ToggleMark(ItemHandle item);
  // The user names of the infobase's own list; false when it cannot be read.
  bool ReadUsers(const InfobaseEntry& entry, std::vector<std::string>& names) const;
  // Calls the window's SetModified: a command changed the configuration.
  void NotifyModified() const;

  // Adds an infobase added by hand under "Незарегистрированные" with the given mark,
  // validated, with its "Параметры" child; returns its item.
  ItemHandle AddUnregistered(InfobaseEntry entry, Mark mark);

  // Building and applying a configuration.
  void Clear();
  void DiscoverInfobases(platform::Registry& registry);
  void AddFixedItems();
  void RebuildFromRegistry(platform::Registry& registry) override;
  void ApplyAdditionalTasks(const AdditionalTasks& tasks) override;
  void ApplyInfobaseRecord(const InfobaseRecord& record) override;
  void ApplySchedule(const ScheduleEntry& schedule) override;
  void SortGroups() override;
  const std::vector<InfobaseEntry>& InfobaseEntries() const override { return infobases_; }
  const std::vector<ScheduleEntry>& ScheduleEntries() const override { return schedules_; }
  void ApplyInactiveRecord(const InfobaseRecord& record) override;
  std::vector<InfobaseEntry> InactiveEntries() const override;

  // Texts of the user and password items for a user name and password.
  static std::string UserItemText(const std::string& userName);
  static std::string PasswordItemText(const std::string& password);

 private:
  ItemHandle AddRegisteredInfobase(const std::string& path, const std::string& title);
  void ApplyUnregistered(const InfobaseRecord& record);
  void ApplyRegistered(const InfobaseRecord& record);
  bool UserIsListed(const InfobaseEntry& entry);
  void ApplyParameters(std::vector<InfobaseEntry>::iterator it, const InfobaseRecord& record);
  void SetGroupMark(ItemHandle group);

  UserListReader readUsers_;
  std::function<void()> onModified_;
  TreeItems items_;
  std::vector<InfobaseEntry> infobases_;
  std::vector<ScheduleEntry> schedules_;
  // Kept parameters of infobases that are not registered now: written back unchanged.
  std::vector<InfobaseEntry> held_;
  ItemHandle localGroup_ = kNoItem, networkGroup_ = kNoItem, unregisteredGroup_ = kNoItem;
  ItemHandle scheduleRoot_ = kNoItem, preTask_ = kNoItem, postTask_ = kNoItem;
};
