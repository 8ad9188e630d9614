#pragma once
// TImageList: a row of small pictures of one size, addressed by index, that
// menus, buttons, tree nodes and button groups show.
//
// A bitmap added to the list is cut into as many images as its width holds
// (at least one); a bitmap smaller than the image size is placed at the
// top-left of a transparent image, a larger one is cut at the right and
// bottom. AddMasked makes every pixel of the mask colour transparent; Add keeps
// the bitmap opaque. Changing Width or Height clears the list.
//
// Controls that show images of a list register for its changes: they hear of
// every change and of the list going away (then they drop it), so a list may
// be freed before the controls that use it.
//
// Threads: user-interface thread only.

#include "platform/ui/component.h"
#include "platform/ui/control_types.h"

#include <QIcon>
#include <QImage>

#include <functional>
#include <vector>

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
public:
  explicit TImageList(TComponent* AOwner);
  ~TImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int value) { SetSize(value, height_); }
  void SetHeight(int value) { SetSize(width_, value); }
  void SetSize(int width, int height);
  int Count() const { return static_cast<int>(images_.size()); }

  // The index of the first image added.
  int Add(TBitmap& image);
  int AddMasked(TBitmap& image, TColor maskColor);
  // Replaces the image at index (nothing outside the list).
  void Replace(int index, TBitmap& image);
  // Replaces it with the pixels of maskColor made transparent.
  void ReplaceMasked(int index, TBitmap& image, TColor maskColor);
  void Delete(int index);
  void Clear();

  // The image with its top-left at (x, y); nothing for an index outside the list.
  // A disabled image is drawn greyed.
  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
  // The image as an opaque bitmap of the list's size, transparent pixels black;
  // false (bitmap unchanged) for an index outside the list.
  bool GetBitmap(int index, TBitmap& bitmap) const;

  // For widgets: the picture with its transparency; null outside the list.
  QImage Image(int index) const;
  QIcon Icon(int index) const;

  // After every change of the images.
  TNotifyEvent OnChange;

  // changed runs after every change, released once when the list goes; a
  // client registers once (again: replaced) and unregisters before it goes.
  void RegisterChanges(const void* client, std::function<void()> changed, std::function<void()> released);
  void UnRegisterChanges(const void* client);

private:
  struct TChangeLink {
    const void* Client;
    std::function<void()> Changed;
    std::function<void()> Released;
  };
  int AddImages(const QImage& source);
  void ReplaceImage(int index, const QImage& source);
  void Changed();

  int width_ = 16;
  int height_ = 16;
  std::vector<QImage> images_;
  std::vector<TChangeLink> links_;
};
