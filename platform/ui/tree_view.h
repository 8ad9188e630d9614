#pragma once
// TTreeView with its TTreeNodes and TTreeNode (over a QTreeWidget).
//
// The view owns its nodes; a node lives until it or an ancestor is deleted or
// the items are cleared. Data is the program's pointer, never owned. OnChange
// runs when the selected node changes (by a click or by the program) with the
// new selection.
//
// Threads: user-interface thread only.

#include "platform/ui/controls.h"

#include <QMetaObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TTreeView;

class TTreeNode {
public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;
  ~TTreeNode();

  TTreeView* TreeView() const { return view_; }
  TTreeNode* Parent() const { return parent_; }
  const QString& Text() const { return text_; }
  void SetText(const QString& value);
  void* Data() const { return data_; }
  void SetData(void* value) { data_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(static_cast<size_t>(index)).get(); }
  // The position among its siblings.
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  bool Expanded() const;
  void SetExpanded(bool value);
  // Deletes the node and its children.
  void Delete();

private:
  friend class TTreeNodes;
  friend class TTreeView;
  TTreeNode(TTreeView& view, TTreeNode* parent, const QString& text);

  TTreeView* view_;
  TTreeNode* parent_;
  QString text_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  QTreeWidgetItem* item_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
};

class TTreeNodes {
public:
  explicit TTreeNodes(TTreeView& view) : view_(view) {}
  ~TTreeNodes();
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  // A new last sibling of sibling (a new top node when sibling is nullptr or a
  // top node).
  TTreeNode* Add(TTreeNode* sibling, const QString& text);
  // A new last child of parent (a top node for nullptr).
  TTreeNode* AddChild(TTreeNode* parent, const QString& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const QString& text, void* data);
  void Clear();
  // Every node, counted depth-first.
  int Count() const;
  // Node index of the depth-first order.
  TTreeNode* Item(int index) const;
  int TopCount() const { return static_cast<int>(top_.size()); }
  TTreeNode* Top(int index) const { return top_.at(static_cast<size_t>(index)).get(); }
  TTreeNode* GetFirstNode() const { return top_.empty() ? nullptr : top_.front().get(); }

private:
  friend class TTreeNode;
  friend class TTreeView;
  std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(TTreeNode* parent);
  TTreeView& view_;
  std::vector<std::unique_ptr<TTreeNode>> top_;
};

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TTreeView : public TWinControl {
public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;

  TTreeNodes* Items() { return items_.get(); }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);

  // A copy with the same properties, handlers and nodes (texts, images and
  // structure; not their data).
  TTreeView* CreateClone(TComponent* AOwner) const override;

  TTVChangedEvent OnChange;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  QTreeWidget* Tree() const;
  TTreeNode* NodeOfItem(const QTreeWidgetItem* item) const;

  std::unique_ptr<TTreeNodes> items_;
  QMetaObject::Connection changed_;
};
