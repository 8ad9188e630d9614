#include "platform/ui/tree_view.h"

#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeWidget>

#include <algorithm>

// ---- TTreeNode ----------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeView& view, TTreeNode* parent, const QString& text)
    : view_(&view), parent_(parent), text_(text), item_(new QTreeWidgetItem(QStringList{text})) {
  if (parent)
    parent->item_->addChild(item_);
  else
    view.Tree()->addTopLevelItem(item_);
}

TTreeNode::~TTreeNode() {
  children_.clear();
  // Removing the item from the view may change the selection: the view sees it
  // as a node that no longer exists.
  delete item_;
}

void TTreeNode::SetText(const QString& value) {
  text_ = value;
  item_->setText(0, value);
}

int TTreeNode::Index() const {
  const auto& siblings = view_->items_->SiblingsOf(parent_);
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

bool TTreeNode::Selected() const { return view_->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  if (value)
    view_->SetSelected(this);
  else if (Selected())
    view_->SetSelected(nullptr);
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  ShowIcon();
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  ShowIcon();
}

void TTreeNode::SetStateIndex(int value) {
  stateIndex_ = value;
  ShowIcon();
}

void TTreeNode::ShowIcon() {
  const TImageList* images = view_->images_;
  const TImageList* states = view_->stateImages_;
  const QImage picture = images ? images->Image(Selected() ? selectedIndex_ : imageIndex_) : QImage();
  const QImage state = states ? states->Image(stateIndex_) : QImage();
  if (state.isNull()) {
    item_->setIcon(0, picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
    return;
  }
  // The state picture stands before the node's picture.
  QImage both(state.width() + (picture.isNull() ? 0 : picture.width()),
              std::max(state.height(), picture.height()), QImage::Format_ARGB32);
  both.fill(Qt::transparent);
  QPainter painter(&both);
  painter.drawImage(0, 0, state);
  if (!picture.isNull()) painter.drawImage(state.width(), 0, picture);
  painter.end();
  item_->setIcon(0, QIcon(QPixmap::fromImage(both)));
}

TRect TTreeNode::DisplayRect() const {
  const QRect rect = view_->Tree()->visualItemRect(item_);
  return Rect(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
}

bool TTreeNode::Expanded() const { return item_->isExpanded(); }
void TTreeNode::SetExpanded(bool value) { item_->setExpanded(value); }

void TTreeNode::Delete() {
  auto& siblings = view_->items_->SiblingsOf(parent_);
  auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
  if (it == siblings.end()) return;
  std::unique_ptr<TTreeNode> self = std::move(*it);
  siblings.erase(it);
}

void TTreeNode::MoveTo(TTreeNode* Destination) {
  if (Destination == this) return;
  // Never into its own subtree.
  for (const TTreeNode* p = Destination ? Destination->parent_ : nullptr; p; p = p->parent_)
    if (p == this) return;
  TTreeView& view = *view_;
  QTreeWidget* tree = view.Tree();
  auto& from = view.items_->SiblingsOf(parent_);
  auto it = std::find_if(from.begin(), from.end(), [this](const auto& n) { return n.get() == this; });
  if (it == from.end()) return;
  // Taking the item out moves Qt's current item elsewhere for a moment.
  QTreeWidgetItem* current = tree->currentItem();
  const bool expanded = Expanded();
  view.moving_ = true;
  std::unique_ptr<TTreeNode> self = std::move(*it);
  from.erase(it);
  if (parent_)
    parent_->item_->removeChild(item_);
  else
    tree->takeTopLevelItem(tree->indexOfTopLevelItem(item_));
  TTreeNode* parent = Destination ? Destination->parent_ : nullptr;
  auto& to = view.items_->SiblingsOf(parent);
  auto at = Destination ? std::find_if(to.begin(), to.end(), [Destination](const auto& n) { return n.get() == Destination; })
                        : to.end();
  const int index = static_cast<int>(at - to.begin());
  to.insert(at, std::move(self));
  parent_ = parent;
  if (parent)
    parent->item_->insertChild(index, item_);
  else
    tree->insertTopLevelItem(index, item_);
  item_->setExpanded(expanded);
  tree->setCurrentItem(current);
  view.moving_ = false;
  view.ShowIcons();
}

// ---- TTreeNodes ---------------------------------------------------------------------

TTreeNodes::~TTreeNodes() { top_.clear(); }

std::vector<std::unique_ptr<TTreeNode>>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
  return parent ? parent->children_ : top_;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const QString& text) {
  return AddChild(sibling ? sibling->Parent() : nullptr, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const QString& text) {
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(view_, parent, text));
  TTreeNode* raw = node.get();
  SiblingsOf(parent).push_back(std::move(node));
  return raw;
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const QString& text, void* data) {
  TTreeNode* node = AddChild(parent, text);
  node->SetData(data);
  return node;
}

void TTreeNodes::Clear() {
  while (!top_.empty()) top_.back()->Delete();
}

int TTreeNodes::Count() const {
  int count = 0;
  std::function<void(const TTreeNode*)> walk = [&](const TTreeNode* n) {
    ++count;
    for (int i = 0; i < n->Count(); ++i) walk(n->Item(i));
  };
  for (const auto& node : top_) walk(node.get());
  return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
  int left = index;
  TTreeNode* found = nullptr;
  std::function<bool(TTreeNode*)> walk = [&](TTreeNode* n) {
    if (left-- == 0) {
      found = n;
      return true;
    }
    for (int i = 0; i < n->Count(); ++i)
      if (walk(n->Item(i))) return true;
    return false;
  };
  for (const auto& node : top_)
    if (walk(node.get())) break;
  return found;
}

// ---- TTreeView ----------------------------------------------------------------------

// Getting the focus selects nothing by itself: Selected stays empty until a
// click or the program chooses a node.
class TTreeWidget final : public QTreeWidget {
public:
  // The insertion line (y -1: none).
  int lineY = -1;
  QColor lineColor;
  int lineWidth = 1;
  // The band a line at y covers, with room for anti-aliasing.
  QRect LineBand(int y) const { return {0, y - 4 - lineWidth / 2, viewport()->width(), 8 + lineWidth}; }

protected:
  void focusInEvent(QFocusEvent* event) override {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
  }
  void paintEvent(QPaintEvent* event) override {
    QTreeWidget::paintEvent(event);
    if (lineY < 0) return;
    QPainter painter(viewport());
    painter.setPen(QPen(lineColor, lineWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(0, lineY, viewport()->width(), lineY);
  }
};

// The rows of a tree are its viewport: mouse input there is the tree's mouse
// input, in client coordinates, before the tree selects what was clicked.
// While a node is dragged the moves and the release are the drag's alone, so
// the selection stays on the dragged node.
class TTreeViewport final : public QObject {
public:
  explicit TTreeViewport(TTreeView& view) : view_(view) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
      return false;
    // Ours first; the view's own handling (selecting, expanding) follows.
    (void)watched;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = mouse->position().toPoint();
    const TShiftState shift = ShiftStateFromQt(mouse->modifiers(), mouse->buttons());
    TMouseButton button = mbLeft;
    if (mouse->button() == Qt::RightButton) button = mbRight;
    if (mouse->button() == Qt::MiddleButton) button = mbMiddle;
    const bool left = mouse->button() == Qt::LeftButton;
    if (type == QEvent::MouseButtonPress) view_.MouseDown(button, shift, pos.x(), pos.y());
    const bool dragEvent = type != QEvent::MouseButtonPress && (view_.dragging_ || view_.dragPending_);
    view_.ViewportMouse(type, pos.x(), pos.y(), left);
    if (type == QEvent::MouseMove) view_.MouseMove(shift, pos.x(), pos.y());
    if (type == QEvent::MouseButtonRelease) view_.MouseUp(button, shift, pos.x(), pos.y());
    return dragEvent;
  }

private:
  TTreeView& view_;
};

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner, new TTreeWidget) {
  items_ = std::make_unique<TTreeNodes>(*this);
  Tree()->setHeaderHidden(true);
  Tree()->setColumnCount(1);
  changed_ = QObject::connect(Tree(), &QTreeWidget::currentItemChanged,
                              [this](QTreeWidgetItem* item, QTreeWidgetItem* previous) {
                                if (!IsDestroying()) CurrentChanged(item, previous);
                              });
  viewportFilter_ = std::make_unique<TTreeViewport>(*this);
  Tree()->viewport()->installEventFilter(viewportFilter_.get());
  Tree()->viewport()->setMouseTracking(true);
}

void TTreeView::CurrentChanged(QTreeWidgetItem* item, QTreeWidgetItem* previous) {
  if (reverting_ || moving_) return;
  TTreeNode* node = NodeOfItem(item);
  if (OnChanging) {
    bool allow = true;
    OnChanging(this, node, allow);
    if (!allow) {
      reverting_ = true;
      Tree()->setCurrentItem(previous);
      reverting_ = false;
      return;
    }
  }
  if (TTreeNode* old = NodeOfItem(previous)) old->ShowIcon();
  if (node) node->ShowIcon();
  if (OnChange) OnChange(this, node);
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) const { return NodeOfItem(Tree()->itemAt(QPoint(x, y))); }

void TTreeView::SetImages(TImageList* value) { WatchImages(images_, value); }
void TTreeView::SetStateImages(TImageList* value) { WatchImages(stateImages_, value); }

void TTreeView::WatchImages(TImageList*& field, TImageList* value) {
  if (field == value) return;
  // One registration per list: both fields may name the same list.
  if (field && field != (&field == &images_ ? stateImages_ : images_)) field->UnRegisterChanges(this);
  field = value;
  for (TImageList* list : {images_, stateImages_})
    if (list)
      list->RegisterChanges(this, [this] { ShowIcons(); },
                            [this, list] {
                              if (images_ == list) images_ = nullptr;
                              if (stateImages_ == list) stateImages_ = nullptr;
                              ShowIcons();
                            });
  ShowIcons();
}

void TTreeView::ShowIcons() {
  if (IsDestroying()) return;
  std::function<void(TTreeNode*)> walk = [&](TTreeNode* n) {
    n->ShowIcon();
    for (int i = 0; i < n->Count(); ++i) walk(n->Item(i));
  };
  for (int i = 0; i < items_->TopCount(); ++i) walk(items_->Top(i));
}

void TTreeView::BeginDrag(bool immediate) {
  if (dragging_) return;
  if (!immediate) {
    dragPending_ = true;
    return;
  }
  dragPending_ = false;
  dragging_ = true;
  dragAccepted_ = false;
}

void TTreeView::EndDrag(bool drop) {
  if (!dragging_) {
    dragPending_ = false;
    return;
  }
  dragging_ = false;
  const bool taken = drop && dragAccepted_;
  if (taken && OnDragDrop) OnDragDrop(this, this, dragX_, dragY_);
  if (OnEndDrag) OnEndDrag(this, taken ? this : nullptr, dragX_, dragY_);
}

void TTreeView::DragMove(int x, int y) {
  if (!dragging_) return;
  dragX_ = x;
  dragY_ = y;
  bool accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, this, x, y, dsDragMove, accept);
  }
  dragAccepted_ = accept;
}

void TTreeView::ShowInsertionLine(int y, TColor color, int width) {
  auto* tree = static_cast<TTreeWidget*>(Tree());
  if (tree->lineY >= 0) tree->viewport()->update(tree->LineBand(tree->lineY));
  tree->lineY = std::max(y, 0);
  tree->lineColor = ColorToQColor(color);
  tree->lineWidth = std::max(width, 1);
  tree->viewport()->update(tree->LineBand(tree->lineY));
}

void TTreeView::HideInsertionLine() {
  auto* tree = static_cast<TTreeWidget*>(Tree());
  if (tree->lineY < 0) return;
  tree->viewport()->update(tree->LineBand(tree->lineY));
  tree->lineY = -1;
}

int TTreeView::InsertionLineY() const { return static_cast<const TTreeWidget*>(Tree())->lineY; }

void TTreeView::ViewportMouse(int type, int x, int y, bool leftButton) {
  if (type == QEvent::MouseButtonPress && leftButton) {
    dragStartX_ = x;
    dragStartY_ = y;
    if (dragMode_ == dmAutomatic && GetNodeAt(x, y)) dragPending_ = true;
    return;
  }
  if (type == QEvent::MouseMove) {
    if (dragPending_ && (std::abs(x - dragStartX_) > QApplication::startDragDistance() ||
                         std::abs(y - dragStartY_) > QApplication::startDragDistance()))
      BeginDrag(true);
    DragMove(x, y);
    return;
  }
  if (type == QEvent::MouseButtonRelease && leftButton) {
    dragPending_ = false;
    if (dragging_) {
      dragX_ = x;
      dragY_ = y;
      EndDrag(true);
    }
  }
}

TTreeView::~TTreeView() {
  Destroying();
  if (images_) images_->UnRegisterChanges(this);
  if (stateImages_) stateImages_->UnRegisterChanges(this);
  Tree()->viewport()->removeEventFilter(viewportFilter_.get());
  QObject::disconnect(changed_);
  items_.reset();
}

QTreeWidget* TTreeView::Tree() const { return static_cast<QTreeWidget*>(Widget()); }

TTreeNode* TTreeView::NodeOfItem(const QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  TTreeNode* found = nullptr;
  std::function<bool(TTreeNode*)> walk = [&](TTreeNode* n) {
    if (n->item_ == item) {
      found = n;
      return true;
    }
    for (int i = 0; i < n->Count(); ++i)
      if (walk(n->Item(i))) return true;
    return false;
  };
  for (int i = 0; i < items_->TopCount(); ++i)
    if (walk(items_->Top(i))) break;
  return found;
}

TTreeNode* TTreeView::Selected() const { return NodeOfItem(Tree()->currentItem()); }

void TTreeView::SetSelected(TTreeNode* node) { Tree()->setCurrentItem(node ? node->item_ : nullptr); }


TTreeView* TTreeView::CreateClone(TComponent* AOwner) const {
  auto* clone = new TTreeView(AOwner);
  clone->AssignControl(*this);
  clone->OnChange = OnChange;
  clone->OnChanging = OnChanging;
  clone->OnDragOver = OnDragOver;
  clone->OnDragDrop = OnDragDrop;
  clone->OnEndDrag = OnEndDrag;
  clone->dragMode_ = dragMode_;
  clone->SetImages(images_);
  clone->SetStateImages(stateImages_);
  std::function<void(const TTreeNode*, TTreeNode*)> copy = [&](const TTreeNode* from, TTreeNode* toParent) {
    TTreeNode* to = clone->Items()->AddChild(toParent, from->Text());
    to->SetImageIndex(from->ImageIndex());
    to->SetSelectedIndex(from->SelectedIndex());
    to->SetStateIndex(from->StateIndex());
    for (int i = 0; i < from->Count(); ++i) copy(from->Item(i), to);
  };
  for (int i = 0; i < items_->TopCount(); ++i) copy(items_->Top(i), nullptr);
  return clone;
}
