#include "platform/ui/image.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/timers.h"

#include <QWidget>

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TBitmap>()) {
  Widget()->resize(105, 105);
  SetColor(clNone);
  picture_->OnChange = [this](TObject*) { Invalidate(); };
  timer_ = new TTimer(this);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](TObject*) { NextFrame(); };
}

TImage::~TImage() { Destroying(); }

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetFrames(std::vector<std::unique_ptr<TBitmap>> frames) {
  frames_ = std::move(frames);
  frame_ = 0;
  UpdateTimer();
  Invalidate();
}

void TImage::SetAnimate(bool value) {
  animate_ = value;
  UpdateTimer();
}

void TImage::SetAnimationDelay(unsigned value) {
  delay_ = value;
  UpdateTimer();
}

void TImage::UpdateTimer() {
  timer_->SetInterval(delay_);
  timer_->SetEnabled(animate_ && frames_.size() > 1);
}

void TImage::NextFrame() {
  if (frames_.empty()) return;
  frame_ = (frame_ + 1) % FrameCount();
  Invalidate();
}

void TImage::Paint() {
  TBitmap* shown = frames_.empty() ? picture_.get() : frames_[static_cast<size_t>(frame_)].get();
  if (!shown->Empty()) {
    if (stretch_)
      Canvas()->StretchDraw(Rect(0, 0, ClientWidth(), ClientHeight()), *shown);
    else
      Canvas()->Draw(0, 0, *shown);
  }
  TGraphicControl::Paint();
}

TImage* TImage::CreateClone(TComponent* AOwner) const {
  auto* clone = new TImage(AOwner);
  clone->AssignControl(*this);
  clone->picture_->Assign(*picture_);
  std::vector<std::unique_ptr<TBitmap>> frames;
  for (const auto& frame : frames_) {
    frames.push_back(std::make_unique<TBitmap>());
    frames.back()->Assign(*frame);
  }
  clone->SetFrames(std::move(frames));
  clone->stretch_ = stretch_;
  clone->delay_ = delay_;
  clone->SetAnimate(animate_);
  return clone;
}

std::vector<std::unique_ptr<TBitmap>> RunningBarFrames(int width, int height) {
  std::vector<std::unique_ptr<TBitmap>> frames;
  constexpr int kFrames = 8;
  for (int f = 0; f < kFrames; ++f) {
    auto frame = std::make_unique<TBitmap>();
    frame->SetPixelFormat(pf32bit);
    frame->SetSize(width, height);
    TCanvas& canvas = *frame->Canvas();
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, width, height));
    canvas.Brush()->SetColor(clNavy);
    const int step = width / kFrames;
    canvas.FillRect(Rect(f * step, 0, f * step + step, height));
    frames.push_back(std::move(frame));
  }
  return frames;
}
