#pragma once
// TButtonGroup: a column of push buttons, one per item, each showing the
// picture of its item's ImageIndex in Images; a click on a button reports its
// item's index and the modifier keys held at the press (OnButtonClicked).
//
// The buttons are ButtonWidth wide and as high as the pictures plus a margin,
// one under the other from the top. The mouse over any button is the group's
// OnMouseMove, in the group's client coordinates; the group's Cursor shows over
// its buttons (they set none of their own).
//
// Threads: user-interface thread only.

#include "platform/ui/custom_control.h"

#include <functional>
#include <vector>

class TImageList;
class TToolButton;

class TButtonGroup : public TCustomControl {
public:
  explicit TButtonGroup(TComponent* AOwner);
  ~TButtonGroup() override;

  // Not owned; the buttons show its images and follow its changes.
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  // The pictures' height plus 6 (22 without images).
  int ButtonHeight() const;

  // Removes every item and its button.
  void ClearItems();
  // Adds an item showing picture imageIndex; returns its index.
  int AddItem(int imageIndex);
  int Count() const { return static_cast<int>(buttons_.size()); }
  int ItemImageIndex(int index) const;
  // The button of an item; nullptr outside the items.
  TToolButton* Button(int index) const;

  // A click on item index with these keys held: what a click by the user does.
  // Nothing for an index outside the items.
  void ButtonClick(int index, TShiftState shift);

  std::function<void(int index, TShiftState shift)> OnButtonClicked;

private:
  void PlaceButtons();

  TImageList* images_ = nullptr;
  int buttonWidth_ = 24;
  std::vector<TToolButton*> buttons_;
  // Buttons of cleared items, hidden, for the next items.
  std::vector<TToolButton*> spare_;
  // Keys held at the last press on a button, taken by the click that follows.
  TShiftState pressShift_;
};
