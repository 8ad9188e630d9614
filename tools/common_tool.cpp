#include "tools/common_tool.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "profiledata/channel_store.h"
#include "profiledata/stream_strings.h"
#include "radargram/tool_messages.h"
#include "tools/saved_copies.h"
#include "tools/tool_host.h"
#include "tools/tool_icons.h"
#include "tools/tool_form.h"
#include "tools/tool_strings.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {
constexpr int StrFromToolSize = 500;

template <class TChar>
void CopyToolString(const QString& text, TChar* P, int32_t Size) {
  if (!P || Size <= 0) return;
  std::fill(P, P + Size, TChar{});
  const int n = std::min<int>(Size, static_cast<int>(text.size()));
  if constexpr (sizeof(TChar) == 1) {
    const QByteArray ansi = StringToAnsi(text.left(n));
    std::memcpy(P, ansi.constData(), static_cast<size_t>(std::min<qsizetype>(ansi.size(), n)));
  } else {
    std::memcpy(P, text.utf16(), static_cast<size_t>(n) * sizeof(char16_t));
  }
}
}  // namespace

// ---- TPlugin -------------------------------------------------------------------

QString TPlugin::ToolString(int32_t i) const { return i == 0 ? LoadResString(SToolTypeName) : QString(); }

void TPlugin::GetShortStrfromDLL(int32_t i, char* P, int32_t Size) const { CopyToolString(ToolString(i), P, Size); }

void TPlugin::GetStrfromDLL(int32_t i, char16_t* P, int32_t Size) const { CopyToolString(ToolString(i), P, Size); }

QString GetStrFromTool(const TPlugin& tool, int32_t i) {
  std::array<char16_t, StrFromToolSize + 1> buffer{};
  tool.GetStrfromDLL(i, buffer.data(), StrFromToolSize);
  return QString::fromUtf16(buffer.data());
}

uint32_t ProgramModuleInstance() { return 0x00400000u; }

// ---- TCommonTool ---------------------------------------------------------------

TCommonTool::TCommonTool(uint16_t w)
    : Lang(w), BmpIcon1(std::make_unique<TBitmap>()), BmpIcon2(std::make_unique<TBitmap>()) {
  for (TBitmap* icon : {BmpIcon1.get(), BmpIcon2.get()}) icon->SetSize(ToolIconSize, ToolIconSize);
  handle = AllocateHWnd([this](TMessage& message) { WndProc(message); });
}

TCommonTool::~TCommonTool() {
  FreeForm();
  if (handle) DeallocateHWnd(handle);
  TSavedCopyStore::Instance().ReleaseAll(CopyOwner());
}

void TCommonTool::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_TOOLFORMCLOSED:
      AfterFormClose();
      break;
    case WM_TOOLTRACECHANGED:
      AfterChangeNumTrace(static_cast<int32_t>(message.WParam), static_cast<int32_t>(message.LParam));
      break;
    case WM_TOOLVIEWCHANGED:
      AfterChangeNumView(static_cast<int32_t>(message.WParam), static_cast<int32_t>(message.LParam));
      break;
    default:
      message.Result = 0;
      break;
  }
}

QString TCommonTool::ToolString(int32_t i) const {
  switch (i) {
    case 1:
      return GetCaption();
    case 2:
      return AToolName;
    case 7:
      return AToolDscr;
    default:
      return TPlugin::ToolString(i);
  }
}

int TCommonTool::SetPropertyes(bool b) {
  if (form_) {
    // Its dialog is open already: only brought to the front.
    form_->Show();
    return 1;
  }
  PostMessage(Host().Handle(), WM_TOOLFORMSHOWN, 0, 0);
  TToolForm* form = CreateForm();
  if (!form) return 1;
  form_ = form;
  InitAllLocDate();
  KeepCopiesWhileDialogOpen(true);
  form->Start(*this, b);
  return 1;
}

void TCommonTool::FreeForm() {
  if (!form_) return;
  TToolForm* form = form_;
  form_ = nullptr;
  form->Tool = nullptr;
  KeepCopiesWhileDialogOpen(false);
  // Freed once the messages queued before have run: a handler of the dialog may
  // still be on the stack below a message loop that brought us here.
  form->Hide();
  form->Release();
}

void TCommonTool::FormGone(const TToolForm* form) {
  if (form_ != form) return;
  form_ = nullptr;
  KeepCopiesWhileDialogOpen(false);
}

void TCommonTool::AfterFormClose() {
  FreeForm();
  PostMessage(Host().Handle(), WM_TOOLFORMHIDDEN, 0, 0);
}

bool TCommonTool::DialogLive() const { return form_ && form_->Vsbl; }

void TCommonTool::CloseDialog() {
  if (form_) form_->CloseDialog();
}

void TCommonTool::AfterChangeNumView(int32_t NumView, int32_t) {
  if (DialogLive()) form_->ChangeNumView(NumView);
}

void TCommonTool::RefreshPropertyes() {
  if (!DialogLive()) return;
  form_->DisplayParam();
}

void TCommonTool::BeginRun() {
  runing = true;
  runThread_ = std::this_thread::get_id();
}

void TCommonTool::EndRun() {
  runing = false;
  runThread_ = {};
}

void TCommonTool::WaitWhileRuning() {
  if (runing && runThread_ == std::this_thread::get_id()) return;
  for (int round = 0; runing && round < 2000; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Host().Yield();
  }
}

QString TCommonTool::GetCaption() const {
  const auto end = std::find(ATitle.begin(), ATitle.end(), u'\0');
  return QString::fromUtf16(ATitle.data(), end - ATitle.begin());
}

void TCommonTool::SetCaption(const QString& Value) {
  ATitle.fill(u'\0');
  qsizetype n = std::min<qsizetype>(Value.size(), MaxCaptionLength);
  if (n < Value.size() && n > 0 && Value.at(n - 1).isHighSurrogate()) --n;
  std::copy_n(Value.utf16(), n, ATitle.begin());
}

bool TCommonTool::HasSavedInput(int32_t NumberView) const {
  const T2Dview* view = GetViewByIndx(NumberView);
  if (!view) return false;
  const TSampleBlock* copy = TSavedCopyStore::Instance().Peek(CopyOwner(), NumberView);
  return copy && !copy->Empty() && copy->Bytes() == view->SizeDat();
}

T2Dview* TCommonTool::GetViewByIndx(int indx) const {
  return indx >= 0 && indx < ToolChannels ? AView[static_cast<size_t>(indx)] : nullptr;
}

void TCommonTool::SetView_(int indx, T2Dview* view) {
  if (indx < 0 || indx >= ToolChannels) return;
  AView[static_cast<size_t>(indx)] = view;
  AfterChange(indx);
  if (indx == 0) AfterSetView_();
}

const int32_t* TCommonTool::GetLocDataByIndx(int indx) const {
  const TSampleBlock* copy = TSavedCopyStore::Instance().Peek(CopyOwner(), indx);
  return copy ? copy->Data() : nullptr;
}

int64_t TCommonTool::GetSizeLocDataByIndx(int indx) const {
  const TSampleBlock* copy = TSavedCopyStore::Instance().Peek(CopyOwner(), indx);
  return copy ? copy->Bytes() : 0;
}

void TCommonTool::SetLocDataByIndx(int indx, int64_t size) {
  T2Dview* view = GetViewByIndx(indx);
  auto& store = TSavedCopyStore::Instance();
  if (!view || size <= 0) {
    store.Release(CopyOwner(), indx);
    return;
  }
  TSampleBlock& copy = store.Ensure(CopyOwner(), indx, size);
  const int64_t bytes = std::min(size, view->dezoData.Bytes());
  if (bytes > 0) std::memcpy(copy.Data(), view->dezoData.Data(), static_cast<size_t>(bytes));
}

void TCommonTool::InitAllLocDate() {
  for (int c = 0; c < ToolChannels; ++c) {
    T2Dview* view = GetViewByIndx(c);
    if (!view || view->SizeDat() <= 0) {
      TSavedCopyStore::Instance().Release(CopyOwner(), c);
    } else if (!GetLocDataByIndx(c)) {
      SetLocDataByIndx(c, view->SizeDat());
    }
  }
}

void TCommonTool::KeepCopiesWhileDialogOpen(bool open) { TSavedCopyStore::Instance().PinOwner(CopyOwner(), open); }

void TCommonTool::ChangeTreeView() { SendMessage(Host().Handle(), WM_TOOLSRUN, ToolsRunRepaintNode, 0); }

void TCommonTool::PaintPreview(bool toAll, bool isExecuting) {
  const T2Dview* view = GetViewByIndx(0);
  if (!view || view->NumTraces() < 1 || !isExecuting) return;
  PostMessage(Host().Handle(), WM_TOOLSRUN, toAll ? ToolsRunAllChannels : static_cast<WPARAM>(CurrentNumberView), 0);
}

void TCommonTool::PaintPreviewAndWait(bool toAll, bool isExecuting) {
  const T2Dview* view = GetViewByIndx(0);
  if (!view || view->NumTraces() < 1 || !isExecuting) return;
  SendMessage(Host().Handle(), WM_TOOLSRUN, toAll ? ToolsRunAllChannels : static_cast<WPARAM>(CurrentNumberView), 0);
}

IToolHost& TCommonTool::Host() const { return ToolHostOf(AView[0]); }

QByteArray TCommonTool::ReadShortString(TStream& str) { return ReadShortAnsiString(str); }

QString TCommonTool::ReadUniString(TStream& str) { return ReadShortWideString(str); }

void TCommonTool::LoadIcons(const QString& icon1, const QString& icon2) {
  LoadToolIcon(icon1, *BmpIcon1);
  LoadToolIcon(icon2, *BmpIcon2);
}

void TCommonTool::FinishDeferredRequests() {
  if (NeedToDel) {
    CloseDialog();
    PostMessage(handle, WM_TOOLFORMCLOSED, 0, 0);
    PostMessage(Host().Handle(), WM_TOOLDELETE, 0, 0);
    NeedToDel = false;
    NeedToClose = false;
  } else if (NeedToClose) {
    CloseDialog();
    PostMessage(handle, WM_TOOLFORMCLOSED, 0, 0);
    NeedToClose = false;
  }
}
