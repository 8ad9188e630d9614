#include "platform/ui/tree_view.h"

#include <QHeaderView>
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

bool TTreeNode::Expanded() const { return item_->isExpanded(); }
void TTreeNode::SetExpanded(bool value) { item_->setExpanded(value); }

void TTreeNode::Delete() {
  auto& siblings = view_->items_->SiblingsOf(parent_);
  auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
  if (it == siblings.end()) return;
  std::unique_ptr<TTreeNode> self = std::move(*it);
  siblings.erase(it);
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

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner, new QTreeWidget) {
  items_ = std::make_unique<TTreeNodes>(*this);
  Tree()->setHeaderHidden(true);
  Tree()->setColumnCount(1);
  changed_ = QObject::connect(Tree(), &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
    if (IsDestroying()) return;
    TTreeNode* node = NodeOfItem(item);
    if (OnChange) OnChange(this, node);
  });
}

TTreeView::~TTreeView() {
  Destroying();
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
  std::function<void(const TTreeNode*, TTreeNode*)> copy = [&](const TTreeNode* from, TTreeNode* toParent) {
    TTreeNode* to = clone->Items()->AddChild(toParent, from->Text());
    to->SetImageIndex(from->ImageIndex());
    for (int i = 0; i < from->Count(); ++i) copy(from->Item(i), to);
  };
  for (int i = 0; i < items_->TopCount(); ++i) copy(items_->Top(i), nullptr);
  return clone;
}
