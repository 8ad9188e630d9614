#pragma once
// TImage: a picture on a form, at its size from the top-left or stretched over
// the control. An image may hold an animation instead (a sequence of frames
// shown one after another every AnimationDelay ms while Animate is on, as an
// animated GIF picture shows).
//
// Threads: user-interface thread only; the animation advances from the message
// loop.

#include "platform/ui/custom_control.h"

#include <memory>
#include <vector>

class TBitmap;
class TTimer;

class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  // The still picture (used while no animation frames are set).
  TBitmap* Picture() { return picture_.get(); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

  // Replaces the animation frames (empty: none).
  void SetFrames(std::vector<std::unique_ptr<TBitmap>> frames);
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  // The frame shown now.
  int Frame() const { return frame_; }
  bool Animate() const { return animate_; }
  void SetAnimate(bool value);
  unsigned AnimationDelay() const { return delay_; }
  void SetAnimationDelay(unsigned value);
  // Shows the next frame (the timer calls it).
  void NextFrame();

  // A copy with the same picture, frames, animation state and handlers.
  TImage* CreateClone(TComponent* AOwner) const override;

protected:
  void Paint() override;

private:
  void UpdateTimer();

  std::unique_ptr<TBitmap> picture_;
  std::vector<std::unique_ptr<TBitmap>> frames_;
  bool stretch_ = false;
  bool animate_ = false;
  unsigned delay_ = 100;
  int frame_ = 0;
  TTimer* timer_ = nullptr;
};

// The frames of a busy indicator: a bar running across in eight steps, navy on
// the button face, each frame width x height.
std::vector<std::unique_ptr<TBitmap>> RunningBarFrames(int width, int height);
