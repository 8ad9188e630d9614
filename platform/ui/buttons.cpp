#include "platform/ui/buttons.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/forms.h"
#include "platform/ui/image_list.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

TButton::TButton(TComponent* AOwner) : TButton(AOwner, new QPushButton) {}

TButton::TButton(TComponent* AOwner, QPushButton* button) : TWinControl(AOwner, button) {
  clickEvents_ = false;
  Button()->setAutoDefault(false);
  clicked_ = QObject::connect(Button(), &QPushButton::clicked, Button(), [this] { Click(); });
}

TButton::~TButton() { QObject::disconnect(clicked_); }

QPushButton* TButton::Button() const { return static_cast<QPushButton*>(Widget()); }

QString TButton::Text() const { return Button()->text(); }

void TButton::SetText(const QString& value) {
  TControl::SetText(value);
  Button()->setText(value);
}

void TButton::AssignButton(const TButton& source) {
  AssignControl(source);
  modalResult_ = source.modalResult_;
}

TButton* TButton::CreateClone(TComponent* AOwner) const {
  auto* clone = new TButton(AOwner);
  clone->AssignButton(*this);
  return clone;
}

TBitBtn* TBitBtn::CreateClone(TComponent* AOwner) const {
  auto* clone = new TBitBtn(AOwner);
  clone->AssignButton(*this);
  return clone;
}

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  }
  TWinControl::Click();
}

// ---- TSpeedButton -----------------------------------------------------------------

// The push button of a speed button: a click by the user goes to the button's
// latch rules instead of Qt's own toggling.
class TLatchButton final : public QPushButton {
public:
  TSpeedButton* owner = nullptr;

protected:
  void nextCheckState() override {
    if (owner) owner->UserToggle();
  }
};

TSpeedButton::TSpeedButton(TComponent* AOwner) : TButton(AOwner, new TLatchButton) {
  static_cast<TLatchButton*>(Button())->owner = this;
  Button()->setCheckable(true);
}

TSpeedButton::~TSpeedButton() {
  static_cast<TLatchButton*>(Button())->owner = nullptr;
  WatchImages(nullptr);
}

bool TSpeedButton::Down() const { return Button()->isChecked(); }

void TSpeedButton::SetDown(bool value) {
  if (value == Down()) return;
  if (!value && InGroup() && !allowAllUp_) return;
  Button()->setChecked(value);
  if (value) ReleasePeers();
}

void TSpeedButton::UserToggle() {
  if (!Latches()) return;
  if (Down()) {
    if (InGroup() && !allowAllUp_) return;
    Button()->setChecked(false);
    return;
  }
  Button()->setChecked(true);
  ReleasePeers();
}

void TSpeedButton::SetGroupIndex(int value) {
  groupIndex_ = std::max(0, value);
  // Joining a group with a button down already keeps that one down.
  if (Down()) ReleasePeers();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  for (TSpeedButton* peer : GroupPeers()) peer->allowAllUp_ = value;
}

std::vector<TSpeedButton*> TSpeedButton::GroupPeers() const {
  std::vector<TSpeedButton*> peers;
  if (groupIndex_ <= 0 || !Parent()) return peers;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (other && other != this && other->groupIndex_ == groupIndex_ && !dynamic_cast<TToolButton*>(other))
      peers.push_back(other);
  }
  return peers;
}

void TSpeedButton::ReleasePeers() {
  for (TSpeedButton* peer : GroupPeers()) peer->Button()->setChecked(false);
}

TBitmap* TSpeedButton::Glyph() {
  if (!glyph_) {
    glyph_ = std::make_unique<TBitmap>();
    glyph_->OnChange = [this](TObject*) { ShowPicture(); };
  }
  return glyph_.get();
}

void TSpeedButton::SetNumGlyphs(int value) {
  numGlyphs_ = std::clamp(value, 1, 4);
  ShowPicture();
}

void TSpeedButton::SetImages(TImageList* value) {
  if (value == images_) return;
  WatchImages(value);
  ShowPicture();
}

void TSpeedButton::WatchImages(TImageList* list) {
  if (images_) images_->UnRegisterChanges(this);
  images_ = list;
  if (images_)
    images_->RegisterChanges(this, [this] { ShowPicture(); },
                             [this] {
                               images_ = nullptr;
                               ShowPicture();
                             });
}

void TSpeedButton::SetImageIndex(int value) {
  imageIndex_ = value;
  ShowPicture();
}

void TSpeedButton::ShowPicture() {
  if (images_ && imageIndex_ >= 0 && imageIndex_ < images_->Count()) {
    Button()->setIcon(images_->Icon(imageIndex_));
    Button()->setIconSize(QSize(images_->Width(), images_->Height()));
    return;
  }
  if (glyph_ && !glyph_->Empty()) {
    const QImage& whole = glyph_->Image();
    const int width = std::max(1, whole.width() / numGlyphs_);
    QImage picture = whole.copy(0, 0, width, whole.height()).convertToFormat(QImage::Format_ARGB32);
    // The bottom-left pixel names the colour that shows the button face.
    const QRgb transparent = picture.pixel(0, picture.height() - 1) & 0x00FFFFFFu;
    for (int y = 0; y < picture.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x)
        if ((row[x] & 0x00FFFFFFu) == transparent) row[x] = 0;
    }
    Button()->setIcon(QIcon(QPixmap::fromImage(picture)));
    Button()->setIconSize(picture.size());
    return;
  }
  Button()->setIcon(QIcon());
}

void TSpeedButton::GetShownPicture(TBitmap& bitmap) const {
  const QIcon icon = Button()->icon();
  if (icon.isNull()) {
    bitmap.SetSize(0, 0);
    return;
  }
  const QSize size = Button()->iconSize();
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(ColorToQColor(Color()));
  QPainter painter(&picture);
  painter.drawPixmap(0, 0, icon.pixmap(size, Button()->isEnabled() ? QIcon::Normal : QIcon::Disabled));
  painter.end();
  bitmap.SetSize(size.width(), size.height());
  bitmap.Canvas()->DrawImage(0, 0, picture);
}

void TSpeedButton::AssignSpeedButton(const TSpeedButton& source) {
  AssignButton(source);
  groupIndex_ = source.groupIndex_;
  allowAllUp_ = source.allowAllUp_;
  numGlyphs_ = source.numGlyphs_;
  if (source.glyph_) Glyph()->Assign(*source.glyph_);
  imageIndex_ = source.imageIndex_;
  WatchImages(source.images_);
  ShowPicture();
  // A copy has no parent yet, so it has no group to release.
  Button()->setChecked(source.Down());
}

TSpeedButton* TSpeedButton::CreateClone(TComponent* AOwner) const {
  auto* clone = new TSpeedButton(AOwner);
  clone->AssignSpeedButton(*this);
  return clone;
}

// ---- TToolBar, TToolButton ---------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {}

void TToolBar::SetImages(TImageList* value) {
  images_ = value;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* button = dynamic_cast<TToolButton*>(Controls(i))) button->SetImages(value);
}

void TToolBar::SetDisabledImages(TImageList* value) {
  disabledImages_ = value;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* button = dynamic_cast<TToolButton*>(Controls(i))) button->SetDisabledImages(value);
}

void TToolBar::SetButtonSize(int width, int height) {
  buttonWidth_ = std::max(1, width);
  buttonHeight_ = std::max(1, height);
  ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
  int left = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    auto* button = dynamic_cast<TToolButton*>(Controls(i));
    if (!button || !button->Visible()) continue;
    const int width = button->Style() == tbsSeparator ? SeparatorWidth : buttonWidth_;
    button->SetBounds(left, 0, width, buttonHeight_);
    left += width;
  }
}

TToolButton::TToolButton(TComponent* AOwner) : TSpeedButton(AOwner) { Button()->setCheckable(false); }

TToolButton::~TToolButton() {
  if (disabledImages_) disabledImages_->UnRegisterChanges(this);
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  style_ = value;
  Button()->setCheckable(value == tbsCheck);
  Button()->setFlat(value == tbsSeparator);
  Button()->setEnabled(value != tbsSeparator && Enabled());
  ArrangeBar();
}

void TToolButton::SetParent(TWinControl* parent) {
  TWinControl* old = Parent();
  TSpeedButton::SetParent(parent);
  if (auto* bar = dynamic_cast<TToolBar*>(parent)) {
    if (bar->Images()) SetImages(bar->Images());
    if (bar->DisabledImages()) SetDisabledImages(bar->DisabledImages());
    bar->ArrangeButtons();
  }
  if (auto* bar = dynamic_cast<TToolBar*>(old); bar && bar != parent) bar->ArrangeButtons();
}

void TToolButton::SetVisible(bool value) {
  const bool changed = value != Visible();
  TSpeedButton::SetVisible(value);
  if (changed) ArrangeBar();
}

void TToolButton::SetEnabled(bool value) {
  TSpeedButton::SetEnabled(value);
  ShowPicture();
}

void TToolButton::ArrangeBar() const {
  if (auto* bar = dynamic_cast<TToolBar*>(Parent())) bar->ArrangeButtons();
}

void TToolButton::SetDisabledImages(TImageList* value) {
  if (value == disabledImages_) return;
  if (disabledImages_) disabledImages_->UnRegisterChanges(this);
  disabledImages_ = value;
  if (disabledImages_)
    disabledImages_->RegisterChanges(this, [this] { ShowPicture(); },
                                     [this] {
                                       disabledImages_ = nullptr;
                                       ShowPicture();
                                     });
  ShowPicture();
}

void TToolButton::ShowPicture() {
  TSpeedButton::ShowPicture();
  const int index = ImageIndex();
  if (!Images() || !disabledImages_ || index < 0 || index >= Images()->Count() || index >= disabledImages_->Count())
    return;
  // The grey list's picture replaces the toolkit's own greying.
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(Images()->Image(index)), QIcon::Normal);
  icon.addPixmap(QPixmap::fromImage(disabledImages_->Image(index)), QIcon::Disabled);
  Button()->setIcon(icon);
}

std::vector<TSpeedButton*> TToolButton::GroupPeers() const {
  std::vector<TSpeedButton*> peers;
  if (style_ != tbsCheck || !grouped_ || !Parent()) return peers;
  auto member = [](TControl* control) {
    auto* button = dynamic_cast<TToolButton*>(control);
    return button && button->style_ == tbsCheck && button->grouped_ ? button : nullptr;
  };
  const int count = Parent()->ControlCount();
  int self = 0;
  while (self < count && Parent()->Controls(self) != this) ++self;
  for (int i = self - 1; i >= 0 && member(Parent()->Controls(i)); --i) peers.push_back(member(Parent()->Controls(i)));
  for (int i = self + 1; i < count && member(Parent()->Controls(i)); ++i) peers.push_back(member(Parent()->Controls(i)));
  return peers;
}

TToolButton* TToolButton::CreateClone(TComponent* AOwner) const {
  auto* clone = new TToolButton(AOwner);
  clone->SetStyle(style_);
  clone->grouped_ = grouped_;
  clone->AssignSpeedButton(*this);
  clone->SetDisabledImages(disabledImages_);
  return clone;
}
