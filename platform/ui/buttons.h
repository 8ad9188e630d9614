#pragma once
// TButton and TBitBtn: push buttons (over a QPushButton).
//
// A click (mouse, space key, or Click() from the program) first hands the
// button's ModalResult to its form when it is not mrNone, then runs OnClick; a
// form shown modally ends with that result. A '&' in the caption marks the
// mnemonic letter.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"
#include "platform/ui/modal_results.h"

#include <QMetaObject>

#include <memory>
#include <vector>

class QPushButton;
class TBitmap;

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* AOwner);
  ~TButton() override;

  QString Text() const override;
  void SetText(const QString& value) override;
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  void Click() override;
  TButton* CreateClone(TComponent* AOwner) const override;

protected:
  // button: the push button widget to show as (taken over).
  TButton(TComponent* AOwner, QPushButton* button);
  // Caption, modal result and the control's properties and handlers.
  void AssignButton(const TButton& source);
  QPushButton* Button() const;

private:
  QMetaObject::Connection clicked_;
  TModalResult modalResult_ = mrNone;
};

// A button that may show a picture beside its caption; the picture is optional
// and the behaviour is TButton's.
class TBitBtn : public TButton {
public:
  using TButton::TButton;
  TBitBtn* CreateClone(TComponent* AOwner) const override;
};

// A button that latches: Down is its state, the glyph its picture.
//
// A lone button (GroupIndex 0) stays down after a click until clicked again.
// Buttons of one parent with the same GroupIndex above 0 form a group of which
// at most one is down: one going down (by a click or SetDown) releases the
// others. A click on the down button of a group releases it only with
// AllowAllUp; without it the program cannot set it up either, and the group
// keeps one button down. OnClick runs for every click, never for SetDown.
//
// The picture is the image ImageIndex of Images when both are set, else the
// Glyph bitmap, whose bottom-left pixel colour is transparent; a glyph holding
// NumGlyphs pictures side by side shows the first.
class TImageList;

class TSpeedButton : public TButton {
public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  bool Down() const;
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);

  TBitmap* Glyph();
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);

  TSpeedButton* CreateClone(TComponent* AOwner) const override;

  // The picture the button shows now (the disabled one while it is disabled),
  // over the button's Color; empty without a picture.
  void GetShownPicture(TBitmap& bitmap) const;

protected:
  // The other buttons of this one's group (none for a lone button).
  virtual std::vector<TSpeedButton*> GroupPeers() const;
  bool InGroup() const { return !GroupPeers().empty() || groupIndex_ > 0; }
  void AssignSpeedButton(const TSpeedButton& source);
  virtual void ShowPicture();
  // False for buttons that never stay down.
  virtual bool Latches() const { return true; }

private:
  friend class TLatchButton;
  // A click by the user: down or up by the group's rules.
  void UserToggle();
  void ReleasePeers();
  void WatchImages(TImageList* list);

  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  std::unique_ptr<TBitmap> glyph_;
  int numGlyphs_ = 1;
  TImageList* images_ = nullptr;
  int imageIndex_ = -1;
};

// A tool bar: a strip of tool buttons that take their pictures from Images,
// and while disabled from DisabledImages (without that list a disabled button
// greys its picture). The bar lines its visible buttons up from the left in
// their order, each ButtonWidth x ButtonHeight, a separator SeparatorWidth
// wide; a button shown or hidden later moves the ones after it.
class TToolBar : public TWinControl {
public:
  explicit TToolBar(TComponent* AOwner);
  TImageList* Images() const { return images_; }
  // Gives the list to the buttons placed on the bar now and later.
  void SetImages(TImageList* value);
  TImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TImageList* value);
  int ButtonWidth() const { return buttonWidth_; }
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonSize(int width, int height);
  static constexpr int SeparatorWidth = 8;
  // Places the buttons (the bar does it itself when buttons come, go, show or hide).
  void ArrangeButtons();

private:
  TImageList* images_ = nullptr;
  TImageList* disabledImages_ = nullptr;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
};

enum TToolButtonStyle : uint8_t { tbsButton, tbsCheck, tbsSeparator };

// A button of a tool bar. A plain one (tbsButton) never stays down. A check
// button (tbsCheck) latches like a lone speed button; adjacent Grouped check
// buttons of the bar form a group as a GroupIndex does (AllowAllUp as there).
// A separator is an empty gap.
class TToolButton : public TSpeedButton {
public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value) { grouped_ = value; }
  // A button placed on a tool bar takes the bar's image lists and its place.
  void SetParent(TWinControl* parent) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  TImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TImageList* value);
  TToolButton* CreateClone(TComponent* AOwner) const override;

protected:
  std::vector<TSpeedButton*> GroupPeers() const override;
  bool Latches() const override { return style_ == tbsCheck; }
  void ShowPicture() override;

private:
  void ArrangeBar() const;
  TToolButtonStyle style_ = tbsButton;
  bool grouped_ = false;
  TImageList* disabledImages_ = nullptr;
};
