#pragma once
// The post-processing overlays as the radargram window sees them. The overlay
// objects, their property frames and the histogram ("godograph") routines
// belong to the processing tools; the tools library registers a factory for
// them at start (SetPostProcFactory). Without a registration a window has no
// overlays: its layer list shows, but nothing is computed or drawn over the
// radargrams.
//
// A window asks the factory for one overlay of each kind when it is created and
// owns them; it asks for a frame when the user selects an overlay in its list
// and frees the frame when another item is selected or the window goes.
//
// Threads: user-interface thread only.

#include "platform/ui/control_types.h"
#include "radargram/channel_layout.h"

#include <array>
#include <cstdint>
#include <memory>

class T2Dview;
class TBitmap32;
class TImage;
class TView2DForm;
class TWinControl;

// The layer an overlay paints (its item in the window's layer list).
enum TPostProcKind : uint8_t { ppComparator = 1, ppHilbert = 2, ppFrequency = 3 };

// One overlay object; serves all five channels of its window.
class IPostProcOverlay {
public:
  virtual ~IPostProcOverlay() = default;
  // Computes the overlay of channel NumRadar of its window into the window's
  // layer bitmap (NumRadar, NumProcess) (GetBmpPostProcByIndx /
  // SetBmpPostProcByIndx). Pixels it marks carry its Color, opaque; every other
  // pixel is the transparent white $00FFFFFF. Shows the channel's progress
  // panel, processes messages and stops when the window's Br is set; does
  // nothing for a channel without a store.
  virtual void RunPostProcMethod(int NumRadar, int NumProcess) = 0;
  // Per channel: the amplitude range the level is taken from (the window sets
  // the amplitude overlay's).
  virtual std::array<int32_t, kChannelSlots>& MinLevel() = 0;
  virtual std::array<int32_t, kChannelSlots>& Maxlevel() = 0;
  // The level of the last complete computation; -1 forces the next one.
  virtual int32_t OldPosLevel() const = 0;
  virtual void SetOldPosLevel(int32_t value) = 0;
  // Envelope overlays: their per-channel buffers are computed again at the next
  // run. The amplitude overlay keeps none.
  virtual void SetRunCalc(bool value) { (void)value; }
  virtual bool isRunCalc() const { return false; }
  // Envelope overlays: the computed buffer of a channel (one value per sample,
  // the layout of the channel's working data) and its size in bytes; nullptr
  // and 0 before it is computed and for the amplitude overlay.
  virtual const int32_t* SaveBuf(int channel) const { (void)channel; return nullptr; }
  virtual int64_t SaveBufSize(int channel) const { (void)channel; return 0; }
  // How the window blends the overlay: the colour of its marks and its master
  // alpha.
  virtual TColor Color() const = 0;
  virtual uint8_t AlphaBlend() const = 0;
  // The histogram picture of the overlay's frame (made 144 x 64 by the
  // histogram routines when missing).
  virtual std::unique_ptr<TBitmap32>& GodographBmp() = 0;
};

// The property frame of one overlay, placed in the window's scroll box.
class IPostProcFrame {
public:
  virtual ~IPostProcFrame() = default;
  // The picture control that shows the overlay's histogram.
  virtual TImage* GodographImage() = 0;
  // Loads the overlay's parameters into the frame's controls.
  virtual void UpdateParameters() = 0;
  // The "Run processing" control (its click runs the window's RunPostProcess).
  virtual bool RunEnabled() const = 0;
  virtual void SetRunEnabled(bool value) = 0;
};

class IPostProcFactory {
public:
  virtual ~IPostProcFactory() = default;
  // The overlay of this kind for the window (which owns it).
  virtual std::unique_ptr<IPostProcOverlay> CreateOverlay(TPostProcKind kind, TView2DForm& window) = 0;
  // The frame of the overlay, with parent as its parent control; the window
  // owns it.
  virtual std::unique_ptr<IPostProcFrame> CreateFrame(TPostProcKind kind, IPostProcOverlay& overlay,
                                                      TView2DForm& window, TWinControl* parent) = 0;
  // The 144-bin histogram of |value| x 143 / maxlevel over count values, into
  // bitmap (made width x height when missing). The window never passes a
  // maxlevel below 1.
  virtual void DrawAmplitudeGodograph(int width, int height, const int32_t* data, std::unique_ptr<TBitmap32>& bitmap,
                                      int32_t maxlevel, int64_t count) = 0;
  // Histograms of a window range and of a window contrast measure over an
  // envelope buffer of size bytes laid out as view's working data; window is
  // the half width in samples.
  virtual void DrawWindowRangeGodograph(int width, int height, const int32_t* buffer, std::unique_ptr<TBitmap32>& bitmap,
                                        const T2Dview& view, int window, int32_t maxlevel, int64_t size) = 0;
  virtual void DrawWindowContrastGodograph(int width, int height, const int32_t* buffer,
                                           std::unique_ptr<TBitmap32>& bitmap, const T2Dview& view, int window,
                                           int32_t maxlevel, int64_t size) = 0;
};

// Registers the factory (nullptr: none). Not owned; it must outlive the windows
// created while it is registered.
void SetPostProcFactory(IPostProcFactory* factory);
// The registered factory; nullptr when none.
IPostProcFactory* PostProcFactory();
