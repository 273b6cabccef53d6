#include "widgets/win32/tree_view.h"

#include <windowsx.h>

#include <vector>

#include "platform/codepage.h"

namespace widgets {

namespace {

constexpr UINT_PTR kSubclassId = 0x5A56;  // "ZV"

TVITEMW ItemFields(HTREEITEM handle, const TreeViewItem& item, std::wstring& text) {
  TVITEMW tv{};
  tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_HANDLE;
  tv.hItem = handle;
  text = platform::Widen(item.text);
  tv.pszText = text.data();
  tv.iImage = tv.iSelectedImage = item.image;
  tv.stateMask = TVIS_STATEIMAGEMASK;
  tv.state = INDEXTOSTATEIMAGEMASK(item.stateImage);
  return tv;
}

}  // namespace

TreeView::~TreeView() {
  if (tree_ != nullptr && IsWindow(tree_)) RemoveWindowSubclass(tree_, SubclassProc, kSubclassId);
}

void TreeView::Attach(HWND tree, TreeViewHandlers handlers) {
  tree_ = tree;
  handlers_ = std::move(handlers);
  SetWindowSubclass(tree_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

bool TreeView::Insert(TreeKey key, TreeKey parent, TreeKey after, const TreeViewItem& item) {
  if (key == 0 || Contains(key) || (parent != 0 && !Contains(parent))) return false;
  std::wstring text;
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent == 0 ? TVI_ROOT : HandleOf(parent);
  insert.hInsertAfter = after == 0 ? TVI_FIRST : HandleOf(after);
  if (insert.hInsertAfter == nullptr) insert.hInsertAfter = TVI_LAST;
  insert.item = ItemFields(nullptr, item, text);
  insert.item.mask = (insert.item.mask & ~TVIF_HANDLE) | TVIF_PARAM;
  insert.item.lParam = static_cast<LPARAM>(key);
  auto handle = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (handle == nullptr) return false;
  items_[key] = {handle, item};
  return true;
}

void TreeView::Update(TreeKey key, const TreeViewItem& item) {
  auto it = items_.find(key);
  if (it == items_.end() || it->second.shown == item) return;
  std::wstring text;
  TVITEMW tv = ItemFields(it->second.handle, item, text);
  if (it->second.shown.text == item.text) tv.mask &= ~TVIF_TEXT;
  SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  it->second.shown = item;
}

void TreeView::Remove(TreeKey key) {
  if (HTREEITEM handle = HandleOf(key)) TreeView_DeleteItem(tree_, handle);  // TVN_DELETEITEM forgets
  items_.erase(key);
}

void TreeView::Clear() {
  TreeView_DeleteAllItems(tree_);
  items_.clear();
}

std::vector<TreeKey> TreeView::Keys() const {
  std::vector<TreeKey> keys;
  keys.reserve(items_.size());
  for (const auto& [key, entry] : items_) keys.push_back(key);
  return keys;
}

const TreeViewItem* TreeView::Shown(TreeKey key) const {
  auto it = items_.find(key);
  return it == items_.end() ? nullptr : &it->second.shown;
}

std::optional<TreeViewItem> TreeView::ReadBack(TreeKey key) const {
  wchar_t text[512] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE | TVIF_HANDLE;
  tv.hItem = HandleOf(key);
  tv.pszText = text;
  tv.cchTextMax = 512;
  tv.stateMask = TVIS_STATEIMAGEMASK;
  if (tv.hItem == nullptr || !TreeView_GetItem(tree_, &tv)) return std::nullopt;
  return TreeViewItem{platform::Narrow(text), tv.iImage, static_cast<int>((tv.state >> 12) & 0xF)};
}

bool TreeView::Expanded(TreeKey key) const {
  HTREEITEM handle = HandleOf(key);
  return handle != nullptr && (TreeView_GetItemState(tree_, handle, TVIS_EXPANDED) & TVIS_EXPANDED);
}

void TreeView::Expand(TreeKey key) {
  if (HTREEITEM handle = HandleOf(key)) TreeView_Expand(tree_, handle, TVE_EXPAND);
}

TreeKey TreeView::Selected() const { return KeyOf(TreeView_GetSelection(tree_)); }

void TreeView::Select(TreeKey key) {
  if (HTREEITEM handle = HandleOf(key)) TreeView_SelectItem(tree_, handle);
}

TreeKey TreeView::HitTest(POINT point, UINT* flags) const {
  TVHITTESTINFO hit{};
  hit.pt = point;
  TreeView_HitTest(tree_, &hit);
  if (flags != nullptr) *flags = hit.flags;
  return KeyOf(hit.hItem);
}

std::optional<RECT> TreeView::TextRect(TreeKey key) const {
  HTREEITEM handle = HandleOf(key);
  RECT rect{};
  if (handle == nullptr || !TreeView_GetItemRect(tree_, handle, &rect, TRUE)) return std::nullopt;
  return rect;
}

void TreeView::EditLabel(TreeKey key) {
  HTREEITEM handle = HandleOf(key);
  if (handle == nullptr) return;
  SetFocus(tree_);
  TreeView_EditLabel(tree_, handle);
}

void TreeView::EndEdit(bool commit) {
  if (EditControl() == nullptr) return;
  commitRequested_ = commit;
  TreeView_EndEditLabelNow(tree_, commit ? FALSE : TRUE);
  commitRequested_ = false;
}

HWND TreeView::EditControl() const { return tree_ == nullptr ? nullptr : TreeView_GetEditControl(tree_); }

bool TreeView::PreTranslate(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || tree_ == nullptr) return false;
  HWND edit = EditControl();
  if (edit != nullptr && msg.hwnd == edit) {
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    EndEdit(msg.wParam == VK_RETURN);  // Esc: the stored value stays as it was
    return true;
  }
  if (msg.hwnd != tree_) return false;
  const WPARAM vk = msg.wParam;
  if (vk != VK_RETURN && vk != VK_ESCAPE && vk != VK_DELETE && vk != VK_SPACE) return false;
  const bool used = handlers_.keyDown && handlers_.keyDown(Selected(), vk);
  return used || vk == VK_SPACE;  // Space never searches the item texts
}

LRESULT TreeView::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if (handlers_.selectionChanged) handlers_.selectionChanged(static_cast<TreeKey>(change.itemNew.lParam));
      return 0;
    }
    case TVN_DELETEITEMW: {
      const auto& deleted = reinterpret_cast<const NMTREEVIEWW&>(header);
      items_.erase(static_cast<TreeKey>(deleted.itemOld.lParam));
      return 0;
    }
    case TVN_BEGINLABELEDITW: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
      const TreeKey key = static_cast<TreeKey>(info.item.lParam);
      bool password = false;
      const std::optional<std::string> text =
          handlers_.beginEdit ? handlers_.beginEdit(key, password) : std::nullopt;
      HWND edit = EditControl();
      if (!text || edit == nullptr) return TRUE;  // refused
      if (password) SendMessageW(edit, EM_SETPASSWORDCHAR, L'*', 0);
      SetWindowTextW(edit, platform::Widen(*text).c_str());
      SendMessageW(edit, EM_SETSEL, 0, -1);
      editing_ = key;
      return FALSE;
    }
    case TVN_ENDLABELEDITW: {
      const auto& info = reinterpret_cast<const NMTVDISPINFOW&>(header);
      const TreeKey key = editing_;
      editing_ = 0;
      // Only Enter commits; losing the focus or anything else discards the edit.
      if (commitRequested_ && info.item.pszText != nullptr && handlers_.commitEdit) {
        handlers_.commitEdit(key, platform::Narrow(info.item.pszText));
      }
      return FALSE;  // the owner shows the item's text itself
    }
    default:
      return 0;
  }
}

LRESULT CALLBACK TreeView::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR self) {
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
    reinterpret_cast<TreeView*>(self)->OnMouse(message, lParam);
  }
  return result;
}

void TreeView::OnMouse(UINT message, LPARAM lParam) {
  UINT flags = 0;
  const TreeKey key = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags);
  if (key == 0) return;
  if (message == WM_LBUTTONDOWN && handlers_.leftDown) handlers_.leftDown(key, flags);
  if (message == WM_LBUTTONDBLCLK && handlers_.doubleClick) handlers_.doubleClick(key, flags);
  if (message == WM_RBUTTONDOWN && handlers_.rightDown) handlers_.rightDown(key);
}

TreeKey TreeView::KeyOf(HTREEITEM item) const {
  if (item == nullptr) return 0;
  TVITEMW tv{};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!TreeView_GetItem(tree_, &tv)) return 0;
  return static_cast<TreeKey>(tv.lParam);
}

HTREEITEM TreeView::HandleOf(TreeKey key) const {
  auto it = items_.find(key);
  return it == items_.end() ? nullptr : it->second.handle;
}

}  // namespace widgets
