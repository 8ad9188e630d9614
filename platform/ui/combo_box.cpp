#include "platform/ui/combo_box.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include <algorithm>

namespace {

// The closed box of an owner-drawn combo box shows its item as the list does.
class TComboWidget : public QComboBox {
public:
  explicit TComboWidget(TComboBox& owner) : owner_(owner) {}

protected:
  void paintEvent(QPaintEvent* event) override {
    if (owner_.Style() != csOwnerDrawFixed || !owner_.OnDrawItem || currentIndex() < 0) {
      QComboBox::paintEvent(event);
      return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect r = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const TRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    owner_.DrawItem(currentIndex(), rect, TOwnerDrawState{false, hasFocus()});
    painter.drawImage(r, const_cast<TBitmap&>(owner_.Surface()).Image(), r);
  }

private:
  TComboBox& owner_;
};

// Sizes the list's items and hands them to the box's OnDrawItem.
class TComboDelegate : public QStyledItemDelegate {
public:
  TComboDelegate(TComboBox& owner, QObject* parent) : QStyledItemDelegate(parent), owner_(owner) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (owner_.Style() == csOwnerDrawFixed) size.setHeight(owner_.ItemHeight());
    return size;
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (owner_.Style() != csOwnerDrawFixed || !owner_.OnDrawItem) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    const QRect r = option.rect;
    // The item is drawn at the top-left of the surface and copied from there.
    const TRect rect{0, 0, r.width(), r.height()};
    owner_.DrawItem(index.row(), rect, TOwnerDrawState{(option.state & QStyle::State_Selected) != 0,
                                                      (option.state & QStyle::State_HasFocus) != 0});
    painter->drawImage(r, const_cast<TBitmap&>(owner_.Surface()).Image(), QRect(0, 0, r.width(), r.height()));
  }

private:
  TComboBox& owner_;
};

}  // namespace

TComboBox::TComboBox(TComponent* AOwner)
    : TWinControl(AOwner, new TComboWidget(*this)), surface_(std::make_unique<TBitmap>()) {
  clickEvents_ = false;
  surface_->SetPixelFormat(pf32bit);
  Box()->setItemDelegate(new TComboDelegate(*this, Box()));
  Box()->setEditable(true);
  Box()->setInsertPolicy(QComboBox::NoInsert);
  activated_ = QObject::connect(Box(), &QComboBox::activated, Box(), [this](int) {
    if (programmatic_ == 0 && OnChange) OnChange(this);
  });
}

TComboBox::~TComboBox() { QObject::disconnect(activated_); }

QComboBox* TComboBox::Box() const { return static_cast<QComboBox*>(Widget()); }

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  const QString text = Text();
  Box()->setEditable(value == csDropDown);
  if (value == csDropDown) Box()->setInsertPolicy(QComboBox::NoInsert);
  SetText(text);
}

QStringList TComboBox::Items() const {
  QStringList items;
  for (int i = 0; i < Box()->count(); ++i) items.push_back(Box()->itemText(i));
  return items;
}

void TComboBox::SetItems(const QStringList& items) {
  ++programmatic_;
  const QString text = Text();
  Box()->clear();
  Box()->addItems(items);
  // New items leave nothing selected (the list would select its first item).
  if (style_ == csDropDown)
    Box()->setEditText(text);
  else
    Box()->setCurrentIndex(-1);
  --programmatic_;
}

int TComboBox::Count() const { return Box()->count(); }

int TComboBox::ItemIndex() const {
  if (style_ != csDropDown) return Box()->currentIndex();
  return Box()->findText(Text(), Qt::MatchExactly);
}

void TComboBox::SetItemIndex(int value) {
  ++programmatic_;
  if (value < 0 || value >= Count()) {
    Box()->setCurrentIndex(-1);
    if (style_ == csDropDown) Box()->setEditText(QString());
  } else {
    Box()->setCurrentIndex(value);
    if (style_ == csDropDown) Box()->setEditText(Box()->itemText(value));
  }
  --programmatic_;
}

QString TComboBox::Text() const { return Box()->currentText(); }

void TComboBox::SetText(const QString& value) {
  TControl::SetText(value);
  ++programmatic_;
  if (style_ == csDropDown)
    Box()->setEditText(value);
  else
    Box()->setCurrentIndex(Box()->findText(value, Qt::MatchExactly));
  --programmatic_;
}

void TComboBox::SetItemHeight(int value) {
  itemHeight_ = std::max(value, 1);
  Box()->view()->doItemsLayout();
}

TCanvas* TComboBox::Canvas() { return surface_->Canvas(); }

void TComboBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (!OnDrawItem || index < 0 || index >= Count()) return;
  if (surface_->Width() < rect.Right || surface_->Height() < rect.Bottom)
    surface_->SetSize(std::max(surface_->Width(), rect.Right), std::max(surface_->Height(), rect.Bottom));
  TCanvas& canvas = *surface_->Canvas();
  canvas.Brush()->SetColor(state.Selected ? clHighlight : clWindow);
  canvas.Font()->SetColor(state.Selected ? clHighlightText : clWindowText);
  OnDrawItem(this, index, rect, state);
  canvas.Flush();
}
