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
  // Pictures from the view's Images (SelectedIndex while the node is
  // selected, ImageIndex otherwise) and StateImages (StateIndex, shown before
  // the picture); -1 shows none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int value);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int value);
  // The node's row in client coordinates (empty while it is not shown).
  TRect DisplayRect() const;
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
  // Moves the node with its children in front of Destination, among
  // Destination's siblings; nullptr: after the last top node. The node stays
  // selected when it was, and no change event runs.
  void MoveTo(TTreeNode* Destination);

private:
  friend class TTreeNodes;
  friend class TTreeView;
  TTreeNode(TTreeView& view, TTreeNode* parent, const QString& text);
  void ShowIcon();

  TTreeView* view_;
  TTreeNode* parent_;
  QString text_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int stateIndex_ = -1;
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
// Setting AllowChange to false keeps the selection where it is.
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;

enum TDragMode : uint8_t { dmManual, dmAutomatic };
enum TDragState : uint8_t { dsDragEnter, dsDragLeave, dsDragMove };
// Source is the control dragged from; Accept says whether a drop here is taken.
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is the control that took the drop, nullptr when the drag was not taken.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
class TImageList;

class TTreeView : public TWinControl {
public:
  explicit TTreeView(TComponent* AOwner);
  ~TTreeView() override;

  TTreeNodes* Items() { return items_.get(); }
  TTreeNode* Selected() const;
  // Asks OnChanging first, as a click does.
  void SetSelected(TTreeNode* node);
  // The node whose row holds client point (x, y), or nullptr.
  TTreeNode* GetNodeAt(int x, int y) const;

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* value);
  TImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TImageList* value);

  // Dragging nodes within the tree. With dmAutomatic a left press on a node
  // followed by a move of a few pixels starts a drag; BeginDrag starts one
  // from the program. While it lasts, every move over the tree asks
  // OnDragOver (a drop is taken only when it accepts); releasing the button
  // runs OnDragDrop when accepted, then OnEndDrag. The selected node is what
  // is dragged.
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode value) { dragMode_ = value; }
  // immediate false: the drag starts only once the mouse has moved a few pixels.
  void BeginDrag(bool immediate);
  bool Dragging() const { return dragging_; }
  void EndDrag(bool drop);
  // While a drag lasts: the pointer is over client point (x, y), as when the
  // mouse moves there (OnDragOver decides whether a drop there is taken).
  void DragMove(int x, int y);

  // A horizontal line across the rows at client y, drawn over them with the
  // colour and width given (a drop position while dragging). Showing it
  // elsewhere or hiding it repaints the band the previous line covered.
  void ShowInsertionLine(int y, TColor color, int width);
  void HideInsertionLine();
  // -1 while no line is shown.
  int InsertionLineY() const;

  // A copy with the same properties, handlers and nodes (texts, images and
  // structure; not their data).
  TTreeView* CreateClone(TComponent* AOwner) const override;

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  friend class TTreeViewport;
  QTreeWidget* Tree() const;
  TTreeNode* NodeOfItem(const QTreeWidgetItem* item) const;
  void CurrentChanged(QTreeWidgetItem* item, QTreeWidgetItem* previous);
  void WatchImages(TImageList*& field, TImageList* value);
  void ShowIcons();
  // Mouse input on the rows; false lets the tree handle it too.
  void ViewportMouse(int type, int x, int y, bool leftButton);
  // A node is being moved: the tree's own selection changes are not the
  // program's.
  bool moving_ = false;

  TImageList* images_ = nullptr;
  TImageList* stateImages_ = nullptr;
  std::unique_ptr<QObject> viewportFilter_;
  bool reverting_ = false;
  TDragMode dragMode_ = dmManual;
  bool dragging_ = false;
  bool dragPending_ = false;
  bool dragAccepted_ = false;
  int dragStartX_ = 0;
  int dragStartY_ = 0;
  int dragX_ = 0;
  int dragY_ = 0;

  std::unique_ptr<TTreeNodes> items_;
  QMetaObject::Connection changed_;
};
