// A tree-view control fed by its owner: items are named by keys of the owner's model
// (never 0), the control's item handles stay inside, and the control's mouse, key and
// label-edit notifications come out as a few handlers. The owner forwards the tree's
// WM_NOTIFY messages and lets PreTranslate see queued messages first.
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace widgets {

using TreeKey = std::uintptr_t;

// What the control shows of one item (texts in Windows-1251).
struct TreeViewItem {
  std::string text;
  int image = 0;
  int stateImage = 0;  // 0: no state image

  bool operator==(const TreeViewItem&) const = default;
};

struct TreeViewHandlers {
  std::function<void(TreeKey key)> selectionChanged;
  // Mouse buttons, after the control's own handling; hit holds the TVHT_* flags.
  std::function<void(TreeKey key, UINT hit)> leftDown;
  std::function<void(TreeKey key, UINT hit)> doubleClick;
  std::function<void(TreeKey key)> rightDown;
  // Enter, Escape, Delete or Space on the selected item outside an edit; true: used.
  std::function<bool(TreeKey key, WPARAM virtualKey)> keyDown;
  // An in-place edit asks to start: the text it starts with, or nullopt to refuse;
  // password set: the edit shows "*" for every character.
  std::function<std::optional<std::string>(TreeKey key, bool& password)> beginEdit;
  // Enter ended the edit with this text (any other end discards it).
  std::function<void(TreeKey key, const std::string& text)> commitEdit;
};

class TreeView {
 public:
  TreeView() = default;
  ~TreeView();
  TreeView(const TreeView&) = delete;
  TreeView& operator=(const TreeView&) = delete;

  void Attach(HWND tree, TreeViewHandlers handlers);
  HWND Handle() const { return tree_; }

  // Inserts under parent (0: the root) after the sibling after (0: as the first child).
  bool Insert(TreeKey key, TreeKey parent, TreeKey after, const TreeViewItem& item);
  // Shows what changed since the item was last shown.
  void Update(TreeKey key, const TreeViewItem& item);
  void Remove(TreeKey key);
  void Clear();
  bool Contains(TreeKey key) const { return items_.count(key) != 0; }
  size_t Count() const { return items_.size(); }
  std::vector<TreeKey> Keys() const;
  const TreeViewItem* Shown(TreeKey key) const;
  // What the control itself holds for an item (nullopt: no such item).
  std::optional<TreeViewItem> ReadBack(TreeKey key) const;
  bool Expanded(TreeKey key) const;
  void Expand(TreeKey key);

  TreeKey Selected() const;
  void Select(TreeKey key);
  // The item under a point of the tree's client area (0: none) and the TVHT_* flags.
  TreeKey HitTest(POINT point, UINT* flags = nullptr) const;
  // Rectangles of an item's text and state box in the tree's client coordinates.
  std::optional<RECT> TextRect(TreeKey key) const;

  void EditLabel(TreeKey key);
  // Ends an open edit: committed as by Enter, or discarded.
  void EndEdit(bool commit);
  HWND EditControl() const;

  // Keys for the tree and its edit before the dialog sees them; true: handled.
  bool PreTranslate(const MSG& msg);
  // The tree's WM_NOTIFY; the value is the notification's result.
  LRESULT OnNotify(const NMHDR& header);

 private:
  struct Entry {
    HTREEITEM handle = nullptr;
    TreeViewItem shown;
  };
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  void OnMouse(UINT message, LPARAM lParam);
  TreeKey KeyOf(HTREEITEM item) const;
  HTREEITEM HandleOf(TreeKey key) const;

  HWND tree_ = nullptr;
  TreeViewHandlers handlers_;
  std::unordered_map<TreeKey, Entry> items_;
  TreeKey editing_ = 0;
  bool commitRequested_ = false;
};

}  // namespace widgets
