#pragma once
// TPageControl and TTabSheet: pages behind tabs (over a QTabWidget).
//
// A sheet joins a page control through SetPageControl and shows its Caption on
// its tab (its Hint as the tab's tool tip). A sheet whose TabVisible is off
// keeps its page but has no tab; it can still be made the active page by the
// program. Each page has its own Color. OnChange runs when the active page
// changes, by a click or by the program.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>

#include <vector>

class QTabWidget;
class TTabSheet;

enum TTabPosition : uint8_t { tpTop, tpBottom, tpLeft, tpRight };

class TPageControl : public TWinControl {
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const;
  void SetActivePage(TTabSheet* page);
  // -1 without pages.
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition value);

  TNotifyEvent OnChange;

private:
  friend class TTabSheet;
  QTabWidget* Tabs() const;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);

  std::vector<TTabSheet*> pages_;
  TTabPosition tabPosition_ = tpTop;
  QMetaObject::Connection changed_;
};

class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  // Moves the sheet to the end of pageControl's pages (nullptr: to none).
  void SetPageControl(TPageControl* pageControl);
  int PageIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool value);

  void SetText(const QString& value) override;
  void SetHintText(const QString& value);

private:
  friend class TPageControl;
  void ShowTab();
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};
