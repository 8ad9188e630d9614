#pragma once
// Menus: TMenuItem, the main menu of a form (TMainMenu) and pop-up menus
// (TPopupMenu), over QAction, QMenu and QMenuBar.
//
// An item runs Click when the user chooses it, when its shortcut is pressed in
// its window, or when the program calls Click: AutoCheck items flip Checked
// first, then OnClick runs. Checked changes only by AutoCheck or the program;
// a RadioItem that becomes checked unchecks the radio items of its parent that
// share its GroupIndex. A caption "-" makes the item a separator. ImageIndex
// picks the item's picture from the Images of the menu the item is in.
//
// A form shows its main menu as a bar above its aligned controls. An MDI
// child's menu is merged into the frame's bar while the child is the active
// one: its top items take the place of the frame's items with the same
// GroupIndex and sit among the others in GroupIndex order.
//
// Item ownership: an item frees its sub-items; Delete removes one without
// freeing it. The owner (usually the form) frees the items it owns as usual.
//
// Threads: user-interface thread only.

#include "platform/ui/control_types.h"

#include <QPoint>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TImageList;
class TMenu;

// A key with its modifiers: the virtual-key code in the low byte.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// The shortcut as the menus show it ("Ctrl+S", "Del", "F5"); empty for none.
QString ShortCutToText(TShortCut shortCut);

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  QString Caption() const { return caption_; }
  void SetCaption(const QString& value);
  bool IsLine() const { return caption_ == QStringLiteral("-"); }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  bool AutoCheck() const { return autoCheck_; }
  void SetAutoCheck(bool value) { autoCheck_ = value; }
  uint8_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(uint8_t value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // The default item is shown in bold.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  QString Hint() const { return hint_; }
  void SetHint(const QString& value);

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out without freeing it.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Frees every sub-item.
  void Clear();
  // The item's own menu (the bar or pop-up for a menu's root item).
  TMenu* GetParentMenu() const;

  virtual void Click();
  TNotifyEvent OnClick;

  QAction* Action() const { return action_.get(); }
  // The menu of the sub-items, nullptr while there are none.
  QMenu* SubMenu() const { return subMenu_.get(); }

private:
  friend class TMenu;
  void ShowState();
  void ShowIcon();
  // Puts the sub-items' actions into the sub-menu (or container) in order.
  void ShowItems();
  QWidget* Container() const;

  QString caption_;
  QString hint_;
  TShortCut shortCut_ = scNone;
  bool checked_ = false;
  bool radioItem_ = false;
  bool autoCheck_ = false;
  uint8_t groupIndex_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  int imageIndex_ = -1;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  std::vector<TMenuItem*> items_;
  std::unique_ptr<QAction> action_;
  std::unique_ptr<QMenu> subMenu_;
};

class TMenu : public TComponent {
public:
  ~TMenu() override;
  // The root item; its sub-items are the menu's items.
  TMenuItem* Items() const { return items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* value);
  // The item whose shortcut this is, among the enabled items; nullptr if none.
  TMenuItem* FindItemByShortCut(TShortCut shortCut) const;

protected:
  explicit TMenu(TComponent* AOwner);
  // Where the root's items are shown.
  virtual QWidget* ItemContainer() const = 0;
  // After the root's items changed.
  virtual void ItemsChanged() {}

private:
  friend class TMenuItem;
  void WatchImages(TImageList* list);
  TMenuItem* items_;
  TImageList* images_ = nullptr;
};

class TMainMenu : public TMenu {
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  QMenuBar* Bar() const;
  // Shows child's top items in this bar (replacing a menu merged before);
  // Unmerge takes them out again when child is the merged one.
  void Merge(TMainMenu* child);
  void Unmerge(TMainMenu* child);
  TMainMenu* Merged() const { return merged_; }
  // The top items the bar shows now, merged ones included, visible or not.
  std::vector<TMenuItem*> BarItems() const;

protected:
  QWidget* ItemContainer() const override;
  void ItemsChanged() override;

private:
  // Deleted with the window it sits in, if that goes first.
  QPointer<QMenuBar> bar_;
  TMainMenu* merged_ = nullptr;
  TMainMenu* mergedInto_ = nullptr;
};

enum TPopupAlignment : uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Runs OnPopup, then shows the menu with its top-left corner at the screen
  // point (x, y) and returns; the chosen item's Click runs from the message loop.
  void Popup(int x, int y);
  // Where the menu was shown last.
  TPoint PopupPoint() const { return popupPoint_; }
  QMenu* Menu() const { return menu_.get(); }
  // The component that showed the menu, set by the caller before Popup.
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* value) { popupComponent_ = value; }

  TNotifyEvent OnPopup;

protected:
  QWidget* ItemContainer() const override;
  // The menu shows the root's items.
  void ItemsChanged() override;

private:
  std::unique_ptr<QMenu> menu_;
  TPoint popupPoint_;
  TComponent* popupComponent_ = nullptr;
};
