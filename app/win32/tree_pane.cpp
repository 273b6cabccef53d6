#include "app/win32/tree_pane.h"

#include <algorithm>

#include "platform/codepage.h"
#include "resources/app/resource.h"
#include "widgets/win32/dialog_text.h"

namespace app {

namespace {

constexpr int kPictureSize = 16;
constexpr int kItemPictures = 19, kMarkPictures = 7;
constexpr COLORREF kMaskColour = RGB(0, 128, 128);

// One strip of 16 by 16 pictures from the resources, its mask colour see-through. The
// strip holds 8-bit colour; the list keeps 24 bits, so its colours never pass through
// the system palette.
HIMAGELIST LoadPictures(int bitmapId, int count) {
  HIMAGELIST list = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 10, 10);
  HBITMAP strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION));
  if (list != nullptr && strip != nullptr) ImageList_AddMasked(list, strip, kMaskColour);
  if (strip != nullptr) DeleteObject(strip);
  if (list != nullptr && ImageList_GetImageCount(list) != count) {
    ImageList_Destroy(list);
    return nullptr;
  }
  return list;
}

widgets::TreeViewItem Shown(const TreeItem& item) {
  return {item.text, item.image, item.stateImage};
}

int RealPopupMenu(HWND owner, const std::vector<MenuEntry>& entries, int defaultCommand, POINT at) {
  widgets::MenuHandle menu(CreatePopupMenu());
  for (const MenuEntry& e : entries) {
    AppendMenuW(menu.Get(), MF_STRING | (e.enabled ? 0 : MF_GRAYED), e.command,
                platform::Widen(e.text).c_str());
  }
  if (defaultCommand != 0) SetMenuDefaultItem(menu.Get(), defaultCommand, FALSE);
  SetForegroundWindow(owner);
  const int chosen = static_cast<int>(TrackPopupMenu(
      menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
      owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return chosen;
}

}  // namespace

TreePane::TreePane(InfobaseTree& model, AdditionalTasks& tasks, TreeEditors editors,
                   TreePaneServices services)
    : model_(model), commands_(model, tasks, std::move(editors)), services_(std::move(services)) {}

void TreePane::Attach(HWND dialog, int treeId, int selectionLabelId) {
  dialog_ = dialog;
  selectionLabel_ = selectionLabelId;
  HWND tree = GetDlgItem(dialog, treeId);
  images_ = widgets::ImageListHandle(LoadPictures(IDB_TREE_ITEMS, kItemPictures));
  marks_ = widgets::ImageListHandle(LoadPictures(IDB_TREE_MARKS, kMarkPictures));
  TreeView_SetImageList(tree, images_.Get(), TVSIL_NORMAL);
  TreeView_SetImageList(tree, marks_.Get(), TVSIL_STATE);
  view_.Attach(tree, Handlers());
}

widgets::TreeViewHandlers TreePane::Handlers() {
  widgets::TreeViewHandlers h;
  h.selectionChanged = [this](widgets::TreeKey key) { ShowSelection(key); };
  h.leftDown = [this](widgets::TreeKey key, UINT hit) { OnLeftDown(key, hit); };
  h.doubleClick = [this](widgets::TreeKey key, UINT hit) {
    Perform(commands_.DoubleClickAction(key, hit & TVHT_ONITEMLABEL, hit & TVHT_ONITEMICON), key);
  };
  h.rightDown = [this](widgets::TreeKey key) { OnRightDown(key); };
  h.keyDown = [this](widgets::TreeKey key, WPARAM vk) { return OnKey(key, vk); };
  h.beginEdit = [this](widgets::TreeKey key, bool& password) {
    password = commands_.IsPasswordItem(key);
    return commands_.InPlaceText(key);
  };
  h.commitEdit = [this](widgets::TreeKey key, const std::string& text) {
    commands_.CommitInPlace(key, text);
    Sync();
  };
  return h;
}

void TreePane::Rebuild() {
  HWND tree = view_.Handle();
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  view_.Clear();
  Sync();
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  ShowSelection(kNoItem);
}

void TreePane::Sync() {
  SyncChildren(kNoItem);
  RemoveUnseen();
}

// Inserts the model's items the control lacks, in the model's order, and shows what
// changed of the others.
void TreePane::SyncChildren(ItemHandle parent) {
  ItemHandle previous = kNoItem;
  for (ItemHandle handle : model_.Items().Children(parent)) {
    const TreeItem* item = model_.Item(handle);
    if (view_.Contains(handle)) {
      view_.Update(handle, Shown(*item));
    } else {
      view_.Insert(handle, parent, previous, Shown(*item));
    }
    SyncChildren(handle);
    previous = handle;
  }
}

void TreePane::RemoveUnseen() {
  for (widgets::TreeKey key : view_.Keys()) {
    // A removed parent takes its children along.
    if (model_.Item(key) == nullptr && view_.Contains(key)) view_.Remove(key);
  }
}


void TreePane::ShowSelection(ItemHandle item) {
  if (dialog_ == nullptr) return;
  const std::string text = services_.selectionText && item != kNoItem ? services_.selectionText(item)
                                                                       : std::string();
  widgets::SetItemText(dialog_, selectionLabel_, text);
}

void TreePane::ToggleMark(ItemHandle item) {
  view_.EndEdit(false);
  const bool wasEnabled = IsWindowEnabled(dialog_) != FALSE;
  EnableWindow(dialog_, FALSE);  // no second command while the user lists are read
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  commands_.SpaceKey(item);
  Sync();
  SetCursor(previous);
  EnableWindow(dialog_, wasEnabled);
}

void TreePane::OnLeftDown(ItemHandle item, UINT hit) {
  if (hit & TVHT_ONITEMSTATEICON) return ToggleMark(item);
  const TreeItem* it = model_.Item(item);
  if (it != nullptr && it->kind == ItemKind::ParametersItem && (hit & TVHT_ONITEMICON)) {
    Perform(ItemAction::EditParameters, item);
  }
}

void TreePane::OnRightDown(ItemHandle item) {
  view_.Select(item);
  const std::vector<MenuEntry> menu = commands_.ContextMenu(item);
  if (menu.empty()) return;
  const int chosen = PopupMenu(item, menu, 0);
  if (chosen == 0) return;
  commands_.RunMenuCommand(item, chosen);
  Sync();
}

bool TreePane::OnKey(ItemHandle item, WPARAM key) {
  if (key == VK_SPACE) {
    if (model_.GetMark(item) != Mark::NoBox) ToggleMark(item);
    return true;
  }
  if (key == VK_DELETE) {
    const bool deleted = commands_.DeleteKey(item);
    if (deleted) Sync();
    return deleted;
  }
  if (key != VK_RETURN) return false;
  const ItemAction action = commands_.EnterAction(item);
  Perform(action, item);
  return action != ItemAction::None;
}

void TreePane::Perform(ItemAction action, ItemHandle item) {
  if (action == ItemAction::None) return;
  if (action == ItemAction::ChooseUser) return ChooseUser(item);
  if (action == ItemAction::EditPassword) return view_.EditLabel(item);
  commands_.Run(action, item);
  Sync();
}

void TreePane::ChooseUser(ItemHandle userItem) {
  const std::vector<std::string> names = commands_.UserChoices(userItem);
  if (names.empty()) return view_.EditLabel(userItem);  // no list: typed in place
  std::vector<MenuEntry> menu;
  int stored = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    menu.push_back({static_cast<int>(i + 1), names[i]});
    if (stored == 0 && names[i] == commands_.StoredUserName(userItem)) stored = static_cast<int>(i + 1);
  }
  const int chosen = PopupMenu(userItem, menu, stored);
  commands_.EndUserChoice(userItem, chosen > 0 ? std::optional(names[chosen - 1]) : std::nullopt);
  Sync();
}

// The menu's top-left corner is at the bottom-left corner of the item's text.
int TreePane::PopupMenu(ItemHandle at, const std::vector<MenuEntry>& entries, int defaultCommand) {
  POINT point{0, 0};
  if (const std::optional<RECT> text = view_.TextRect(at)) point = {text->left, text->bottom};
  ClientToScreen(view_.Handle(), &point);
  if (services_.popupMenu) return services_.popupMenu(entries, defaultCommand, point);
  return RealPopupMenu(dialog_, entries, defaultCommand, point);
}

}  // namespace app
