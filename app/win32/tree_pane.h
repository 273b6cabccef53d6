// The infobase tree of the main window: the tree-view control showing the InfobaseTree
// model with its two image lists, and the operator's mouse, keys, context menus and
// in-place edits turned into TreeCommands. After every command the control is brought
// in line with the model.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tree/tree_commands.h"
#include "widgets/win32/handles.h"
#include "widgets/win32/tree_view.h"

namespace app {

struct TreePaneServices {
  // Shows a pop-up menu at a screen point and returns the chosen command (0: none).
  // Empty: the real menu. Tests choose instead.
  std::function<int(const std::vector<MenuEntry>& entries, int defaultCommand, POINT at)> popupMenu;
  // The text under the tree for a selected item.
  std::function<std::string(ItemHandle item)> selectionText;
};

class TreePane {
 public:
  TreePane(InfobaseTree& model, AdditionalTasks& tasks, TreeEditors editors,
           TreePaneServices services);

  // Takes over the dialog's tree control and the label under it.
  void Attach(HWND dialog, int treeId, int selectionLabelId);
  // Shows the model anew, every item collapsed.
  void Rebuild();
  // Brings the control in line with the model after a change.
  void Sync();

  bool PreTranslate(const MSG& msg) { return view_.PreTranslate(msg); }
  LRESULT OnNotify(const NMHDR& header) { return view_.OnNotify(header); }

  widgets::TreeView& View() { return view_; }
  TreeCommands& Commands() { return commands_; }
  // Toggles a mark with the window disabled and the wait cursor shown.
  void ToggleMark(ItemHandle item);

 private:
  widgets::TreeViewHandlers Handlers();
  void SyncChildren(ItemHandle parent);
  void RemoveUnseen();
  void OnLeftDown(ItemHandle item, UINT hit);
  void OnRightDown(ItemHandle item);
  bool OnKey(ItemHandle item, WPARAM key);
  void Perform(ItemAction action, ItemHandle item);
  void ChooseUser(ItemHandle userItem);
  int PopupMenu(ItemHandle at, const std::vector<MenuEntry>& entries, int defaultCommand);
  void ShowSelection(ItemHandle item);

  InfobaseTree& model_;
  TreeCommands commands_;
  TreePaneServices services_;
  HWND dialog_ = nullptr;
  int selectionLabel_ = 0;
  widgets::TreeView view_;
  widgets::ImageListHandle images_, marks_;
};

}  // namespace app
