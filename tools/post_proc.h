#pragma once
// The post-processing overlays of a radargram window: the comparator overlay
// marks cells whose amplitude reaches a level, the Hilbert overlay cells whose
// envelope exceeds one, the frequency overlay cells around which the
// instantaneous frequency stays within a band. A run of one channel marks,
// groups the marks into regions, drops regions smaller than MinPnt cells and
// paints the rest into the channel's layer bitmap (post_proc_kernel.h).
//
// An overlay runs on the window it was made for (through its IToolHost), never
// on whichever window is current. It starts with the main window's values of
// its kind (IToolShell::PostProcDefaults), out-of-range values clamped.
//
// Threads: user-interface thread only; a run processes messages at every
// progress step, and a request while a run is under way does nothing.

#include "radargram/post_proc_overlays.h"
#include "tools/post_proc_kernel.h"
#include "tools/tool_shell.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

class IToolHost;
class T2Dview;

class TPostProc : public IPostProcOverlay {
public:
  TPostProc(IToolHost& host, TPostProcKind kind);
  ~TPostProc() override;

  // No effect; nothing calls it.
  virtual void Draw() {}
  void RunPostProcMethod(int NumRadar, int NumProcess) override;

  std::array<int32_t, kChannelSlots>& MinLevel() override { return MinLevel_; }
  std::array<int32_t, kChannelSlots>& Maxlevel() override { return Maxlevel_; }
  int32_t OldPosLevel() const override { return OldPosLevel_; }
  void SetOldPosLevel(int32_t value) override { OldPosLevel_ = value; }
  TColor Color() const override { return Color_; }
  uint8_t AlphaBlend() const override { return AlphaBlend_; }
  std::unique_ptr<TBitmap32>& GodographBmp() override { return GodographBmp_; }

  TPostProcKind Kind() const { return kind_; }
  bool Runned() const { return Runned_; }
  void SetRunned(bool value) { Runned_ = value; }
  int32_t PosLevel() const { return PosLevel_; }
  int32_t MinPnt() const { return MinPnt_; }
  // Setters clamp: level 0 .. 100, alpha 0 .. 255, minimum size at least 1.
  void SetPosLevel(int32_t value);
  void SetColor(TColor value) { Color_ = value; }
  void SetAlphaBlend(int32_t value);
  void SetMinPnt(int32_t value);
  // The mark grid of the run under way (empty between runs).
  const TMarkGrid& ArBmp() const { return ArBmp_; }

protected:
  // Whether the level is recorded before the run's tests (so that a break at
  // the last channel records it too).
  virtual bool RecordsLevelFirst() const { return false; }
  // Makes what the marks need for the channel; false when the run stops.
  virtual bool Prepare(int channel, const T2Dview& view, int64_t traces, bool lastChannel) {
    (void)channel, (void)view, (void)traces, (void)lastChannel;
    return true;
  }
  virtual void Mark(int channel, const T2Dview& view, TMarkGrid& grid) = 0;
  IToolHost& Host() const { return host_; }

  TColor Color_ = 0;
  int32_t PosLevel_ = 50;
  int32_t OldPosLevel_ = -1;
  std::array<int32_t, kChannelSlots> Maxlevel_{};
  std::array<int32_t, kChannelSlots> MinLevel_{};
  uint8_t AlphaBlend_ = 128;
  int32_t MinPnt_ = 3;
  TMarkGrid ArBmp_;
  std::unique_ptr<TBitmap32> GodographBmp_;

private:
  IToolHost& host_;
  TPostProcKind kind_;
  bool Runned_ = false;
};

class TComparatorPostProc final : public TPostProc {
public:
  explicit TComparatorPostProc(IToolHost& host);

protected:
  bool RecordsLevelFirst() const override { return true; }
  void Mark(int channel, const T2Dview& view, TMarkGrid& grid) override;
};

class THilbertPostProc : public TPostProc {
public:
  explicit THilbertPostProc(IToolHost& host) : THilbertPostProc(host, ppHilbert) {}

  void SetRunCalc(bool value) override { isRunCalc_ = value; }
  bool isRunCalc() const override { return isRunCalc_; }
  const int32_t* SaveBuf(int channel) const override;
  int64_t SaveBufSize(int channel) const override;
  // Maxlevel[NumRadar] := the largest |v| of the channel's buffer, at least 1.
  void GetMinMaxLevel(int NumRadar);

  int32_t WinAmpSizeW() const { return WinAmpSizeW_; }
  int32_t WinAmpSizeH() const { return WinAmpSizeH_; }
  void SetWinAmpSizeW(int32_t value) { WinAmpSizeW_ = std::max(value, 1); }
  void SetWinAmpSizeH(int32_t value) { WinAmpSizeH_ = std::max(value, 1); }

protected:
  THilbertPostProc(IToolHost& host, TPostProcKind kind);
  bool Prepare(int channel, const T2Dview& view, int64_t traces, bool lastChannel) override;
  void Mark(int channel, const T2Dview& view, TMarkGrid& grid) override;
  // Computes the channel's buffer from its working data; false when stopped.
  virtual bool ComputeBuffer(const T2Dview& view, int64_t traces, int32_t* out, const TPostProcProgress& progress);

  bool isRunCalc_ = true;
  std::array<std::vector<int32_t>, kChannelSlots> SaveBuf_;
  std::array<int64_t, kChannelSlots> SaveBufSize_{};
  int32_t WinAmpSizeW_ = 3;
  int32_t WinAmpSizeH_ = 3;
};

class TFreqHilbertPostProc final : public THilbertPostProc {
public:
  explicit TFreqHilbertPostProc(IToolHost& host);

  int32_t WinFreqSize() const { return WinFreqSize_; }
  // Odd, 1 .. 21: an even size takes the odd one below it.
  void SetWinFreqSize(int32_t value);

protected:
  void Mark(int channel, const T2Dview& view, TMarkGrid& grid) override;
  bool ComputeBuffer(const T2Dview& view, int64_t traces, int32_t* out, const TPostProcProgress& progress) override;

private:
  int32_t WinFreqSize_ = 3;
};

// The overlay of a kind for a host (the factory's work, apart from windows).
std::unique_ptr<TPostProc> MakePostProc(TPostProcKind kind, IToolHost& host);

// Registers the tools' overlay factory with the radargram windows.
void RegisterPostProcFactory();
