#include "platform/ui/list_box.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/list_widget_support.h"

#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

// Sizes the items to the list's ItemHeight and hands owner-drawn items to it.
class TListBoxDelegate : public QStyledItemDelegate {
public:
  explicit TListBoxDelegate(TListBox& owner) : QStyledItemDelegate(owner.Widget()), owner_(owner) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (owner_.Style() == lbOwnerDrawFixed) size.setHeight(owner_.ItemHeight());
    return size;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (owner_.Style() != lbOwnerDrawFixed || !owner_.OnDrawItem) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    const QRect r = option.rect;
    const TRect rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    const TOwnerDrawState state{(option.state & QStyle::State_Selected) != 0,
                                (option.state & QStyle::State_HasFocus) != 0};
    owner_.DrawItem(index.row(), rect, state);
    painter->drawImage(r, const_cast<TBitmap&>(owner_.Surface()).Image(), r);
  }

private:
  TListBox& owner_;
};


TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner, new QListWidget), surface_(std::make_unique<TBitmap>()) {
  clickEvents_ = false;
  List()->setSelectionMode(QAbstractItemView::SingleSelection);
  List()->setItemDelegate(new TListBoxDelegate(*this));
  surface_->SetPixelFormat(pf32bit);
  rowChanged_ = QObject::connect(List(), &QListWidget::currentRowChanged, List(), [this](int) {
    if (programmatic_ == 0) Click();
  });
  doubleClicked_ = QObject::connect(List(), &QListWidget::itemDoubleClicked, List(),
                                    [this](QListWidgetItem*) { DblClick(); });
}

TListBox::~TListBox() {
  QObject::disconnect(rowChanged_);
  QObject::disconnect(doubleClicked_);
}

QListWidget* TListBox::List() const { return static_cast<QListWidget*>(Widget()); }

QStringList TListBox::Items() const { return ui_detail::ListWidgetTexts(*List()); }

void TListBox::SetItems(const QStringList& items) {
  ui_detail::TProgramChange change(programmatic_);
  List()->clear();
  List()->addItems(items);
}

int TListBox::Count() const { return List()->count(); }

int TListBox::AddItem(const QString& text) {
  ui_detail::TProgramChange change(programmatic_);
  List()->addItem(text);
  return List()->count() - 1;
}

void TListBox::Clear() {
  ui_detail::TProgramChange change(programmatic_);
  List()->clear();
}

int TListBox::ItemIndex() const { return List()->currentRow(); }

void TListBox::SetItemIndex(int value) {
  ui_detail::TProgramChange change(programmatic_);
  List()->setCurrentRow(value >= 0 && value < List()->count() ? value : -1);
}

int TListBox::ItemAtPos(TPoint pos) const {
  const QPoint viewportPos = List()->viewport()->mapFrom(List(), QPoint(pos.X, pos.Y));
  const QModelIndex index = List()->indexAt(viewportPos);
  return index.isValid() ? index.row() : -1;
}

QString TListBox::Names(int index) const {
  if (index < 0 || index >= Count()) return {};
  const QString text = List()->item(index)->text();
  const qsizetype at = text.indexOf(separator_);
  return at < 0 ? text : text.left(at);
}

QString TListBox::ValueFromIndex(int index) const {
  if (index < 0 || index >= Count()) return {};
  const QString text = List()->item(index)->text();
  const qsizetype at = text.indexOf(separator_);
  return at < 0 ? QString() : text.mid(at + 1);
}

void TListBox::SetStyle(TListBoxStyle value) {
  style_ = value;
  ApplyItemHeight();
}

void TListBox::SetItemHeight(int value) {
  itemHeight_ = std::max(1, value);
  ApplyItemHeight();
}

void TListBox::ApplyItemHeight() {
  List()->setUniformItemSizes(style_ == lbOwnerDrawFixed);
  List()->doItemsLayout();
  List()->viewport()->update();
}

TRect TListBox::ItemRect(int index) const {
  if (index < 0 || index >= Count()) return {};
  const QRect r = List()->visualItemRect(List()->item(index));
  return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

TCanvas* TListBox::Canvas() { return surface_->Canvas(); }

void TListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  const QSize room = List()->viewport()->size();
  if (surface_->Width() < std::max(room.width(), rect.Right) || surface_->Height() < std::max(room.height(), rect.Bottom))
    surface_->SetSize(std::max({surface_->Width(), room.width(), rect.Right}),
                      std::max({surface_->Height(), room.height(), rect.Bottom}));
  TCanvas& canvas = *surface_->Canvas();
  canvas.Brush()->SetColor(state.Selected ? clHighlight : clWindow);
  canvas.Font()->SetColor(state.Selected ? clHighlightText : clWindowText);
  OnDrawItem(this, index, rect, state);
  canvas.Flush();
}
