#include "platform/ui/button_group.h"

#include "platform/ui/buttons.h"
#include "platform/ui/image_list.h"

#include <algorithm>

TButtonGroup::TButtonGroup(TComponent* AOwner) : TCustomControl(AOwner) { SetColor(clBtnFace); }

TButtonGroup::~TButtonGroup() = default;

void TButtonGroup::SetImages(TImageList* value) {
  images_ = value;
  for (TToolButton* button : buttons_) button->SetImages(value);
  for (TToolButton* button : spare_) button->SetImages(value);
  PlaceButtons();
}

void TButtonGroup::SetButtonWidth(int value) {
  buttonWidth_ = std::max(value, 1);
  PlaceButtons();
}

int TButtonGroup::ButtonHeight() const { return images_ ? images_->Height() + 6 : 22; }

void TButtonGroup::ClearItems() {
  // A click handler may clear the group while its button is being clicked: the
  // buttons are hidden and kept for the next items rather than freed (the group
  // owns them and frees them with itself).
  for (TToolButton* button : buttons_) {
    button->Hide();
    button->SetImageIndex(-1);
    spare_.push_back(button);
  }
  buttons_.clear();
  Invalidate();
}

int TButtonGroup::AddItem(int imageIndex) {
  TToolButton* button = nullptr;
  if (!spare_.empty()) {
    button = spare_.front();
    spare_.erase(spare_.begin());
  } else {
    button = new TToolButton(this);
    button->SetParent(this);
    button->SetStyle(tbsButton);
    button->OnMouseDown = [this](TObject*, TMouseButton, TShiftState shift, int, int) { pressShift_ = shift; };
    button->OnMouseMove = [this, button](TObject*, TShiftState shift, int x, int y) {
      if (OnMouseMove) OnMouseMove(this, shift, x + button->Left(), y + button->Top());
    };
    button->OnClick = [this, button](TObject*) {
      const TShiftState shift = pressShift_;
      pressShift_ = {};
      const auto found = std::find(buttons_.begin(), buttons_.end(), button);
      if (found != buttons_.end()) ButtonClick(static_cast<int>(found - buttons_.begin()), shift);
    };
  }
  button->SetImages(images_);
  button->SetImageIndex(imageIndex);
  button->Show();
  buttons_.push_back(button);
  PlaceButtons();
  return Count() - 1;
}

int TButtonGroup::ItemImageIndex(int index) const {
  const TToolButton* button = Button(index);
  return button ? button->ImageIndex() : -1;
}

TToolButton* TButtonGroup::Button(int index) const {
  return index >= 0 && index < Count() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

void TButtonGroup::ButtonClick(int index, TShiftState shift) {
  if (index < 0 || index >= Count()) return;
  if (OnButtonClicked) OnButtonClicked(index, shift);
}

void TButtonGroup::PlaceButtons() {
  const int height = ButtonHeight();
  for (size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->SetBounds(0, static_cast<int>(i) * height, buttonWidth_, height);
}
