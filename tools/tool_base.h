#pragma once
// TToolBase<TSet>: the parameter sets of a tool on top of the run protocol.
//
// TSet is the tool's parameter-set record (the Apply flag as `Apply`, then the
// tool's parameters); the tool packs its working parameters into one and unpacks
// one into them. Param holds a set per channel, LocParam the open dialog's undo
// copy. A tool whose sets deviate replaces the operation concerned. TBase is the
// run protocol or a base of several tools built on it.

#include "tools/tool_protocol.h"

#include <array>

template <class TSet, class TBase = TToolProtocol>
class TToolBase : public TBase {
public:
  using TBase::TBase;

  std::array<TSet, ToolChannels> Param{};
  std::array<TSet, ToolChannels> LocParam{};

  void GetParam(int32_t NumberView) override {
    if (Valid(NumberView)) UnpackParams(Param[static_cast<size_t>(NumberView)]);
  }
  void SetParam(int32_t NumberView, const void* P) override {
    if (Valid(NumberView) && P) Param[static_cast<size_t>(NumberView)] = *static_cast<const TSet*>(P);
  }
  void SetParameters(const QByteArray& /*NamePlugin*/, const void* P) override {
    if (P) UnpackParams(*static_cast<const TSet*>(P));
  }
  void SaveParamPlugin(int32_t NumberView) override {
    this->WaitWhileRuning();
    const TSet set = PackParams();
    SetParam(NumberView, &set);
  }
  void SetAllApply(bool b) override {
    for (TSet& set : Param) set.Apply = b;
  }
  void SetAllParamAs(int32_t NumberView) override {
    if (!Valid(NumberView)) return;
    const TSet set = Param[static_cast<size_t>(NumberView)];
    Param.fill(set);
  }

  // The dialog's undo copy: taken when it opens, given back by "Restore".
  void SaveUndoSets() override { LocParam = Param; }
  void RestoreUndoSets() override { Param = LocParam; }

protected:
  virtual TSet PackParams() const = 0;
  virtual void UnpackParams(const TSet& set) = 0;
  // Every set := the working parameters (the constructors' defaults).
  void FillAllSets() { Param.fill(PackParams()); }

  static bool Valid(int32_t NumberView) { return NumberView >= 0 && NumberView < ToolChannels; }
};
