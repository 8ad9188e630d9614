#pragma once
// TPlugin and TCommonTool: the root and the base of every processing tool.
//
// A tool is bound to the five channel stores of one radargram window (not owned)
// and reaches that window only through its host (tool_host.h) and window
// messages. It owns its saved input copies (kept in the saved-copy store), its two
// node icons and its hidden message window; its dialog, while open, is a
// component of the application object that the tool frees (tool_form.h). Everything runs on the user-interface
// thread; re-entry comes only from the message processing inside execute and
// WaitWhileRuning, and the `runing` flag is the whole protection.

#include "platform/ui/graphics.h"
#include "platform/ui/messages.h"
#include "profiledata/gpr_constants.h"
#include "radargram/chain_tool.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <thread>

class T2Dview;
class TBitmap;
class TStream;
class IToolHost;
class TToolForm;

constexpr int ToolChannels = 5;

class TPlugin {
public:
  virtual ~TPlugin() = default;

  int32_t Lang = 0;
  bool NeedWndPaint = false;

  virtual uint8_t GetVersion() const = 0;
  virtual QByteArray GetTypePlugin() const { return QByteArrayLiteral("Tool"); }
  // Clear Size units of P, then copy at most Size units of string i (numbers in
  // ToolString). Nothing for a null P or a Size below 1.
  virtual void GetShortStrfromDLL(int32_t i, char* P, int32_t Size) const;
  virtual void GetStrfromDLL(int32_t i, char16_t* P, int32_t Size) const;
  virtual uint32_t Gethnst() const = 0;

protected:
  // String i of the tool: 0 "Tool", 1 the caption, 2 the tool name, 7 the
  // description; "" for any other number.
  virtual QString ToolString(int32_t i) const;
};

// The tool's text number i, at most 500 units.
QString GetStrFromTool(const TPlugin& tool, int32_t i);

// The module instance the tools load their icons from: the program itself.
uint32_t ProgramModuleInstance();

class TCommonTool : public TPlugin, public IChainTool {
public:
  // The most units a caption keeps (the title holds them and a terminating zero).
  static constexpr int MaxCaptionLength = 80;

  // w: the language id. Creates the hidden window and the two empty 24 x 24 icons.
  explicit TCommonTool(uint16_t w);
  ~TCommonTool() override;
  TCommonTool(const TCommonTool&) = delete;
  TCommonTool& operator=(const TCommonTool&) = delete;

  // ---- Fields ----------------------------------------------------------------
  std::array<char16_t, MaxCaptionLength + 1> ATitle{};
  bool AExecuting = true;
  std::array<T2Dview*, ToolChannels> AView{};
  QString AToolName;
  QString AToolDscr;
  int32_t ImageIndex = 0;
  uint16_t Lang = 0;
  HWND handle = nullptr;
  bool runing = false;
  bool NeedToClose = false;
  bool NeedToDel = false;
  TtypeOfPlugin typeOfPlugin = simple;
  int32_t CurrentNumberView = 0;
  std::unique_ptr<TBitmap> BmpIcon1;
  std::unique_ptr<TBitmap> BmpIcon2;

  // ---- Virtual operations ---------------------------------------------------
  uint32_t Gethnst() const override { return ProgramModuleInstance(); }
  virtual void SaveToStream(TStream& str) = 0;
  virtual void ReadFromStream(TStream& /*str*/, int32_t /*NumberView*/) {}
  virtual void ReadFromUniStream(TStream& str, int32_t NumberView) = 0;
  // Posts WM_TOOLFORMSHOWN to the window; a tool with a dialog (CreateForm)
  // then makes its saved copies and opens the dialog modeless (b: the tool is
  // being added). Returns 1.
  virtual int SetPropertyes(bool b);
  virtual TRect GetPluginArea() { return {}; }
  virtual void SetFragmentLine(int32_t, int32_t, int32_t) {}
  virtual void AfterChange(int32_t /*NumRadar*/) {}
  // Frees the tool's dialog, then posts WM_TOOLFORMHIDDEN to the window.
  virtual void AfterFormClose();
  virtual void AfterChangeNumTrace(int32_t /*n*/, int32_t /*y*/) {}
  // With the dialog live: the dialog moves to channel NumView.
  virtual void AfterChangeNumView(int32_t NumView, int32_t OldNumView);
  virtual void AfterSetView_() {}
  virtual void SetParameters(const QByteArray& /*NamePlugin*/, const void* /*P*/) {}
  virtual void SetParam(int32_t /*NumberView*/, const void* /*P*/) {}
  virtual void GetParam(int32_t /*NumberView*/) {}
  virtual void SetAllApply(bool /*b*/) {}
  virtual void SetAllParamAs(int32_t /*NumberView*/) {}
  virtual void CopyToOnlineTools() {}
  // While `runing`: at most 2000 rounds of a 5 ms sleep and message processing.
  // Returns at once when called from inside the run itself (a dialog handler
  // reached through the run's message processing): the run cannot end before
  // the caller returns, so waiting would only freeze the program for 10 s.
  virtual void WaitWhileRuning();
  virtual void ToolInit() {}
  void SetParamView(T2Dview* /*AView*/) override {}
  virtual void SaveParamPlugin(int32_t /*NumberView*/) {}
  // With the dialog live: redisplays the working parameters.
  virtual void RefreshPropertyes();
  // The open dialog's undo copy of the five sets: taken when it opens, given
  // back by "Restore" (tools with parameter sets provide them).
  virtual void SaveUndoSets() {}
  virtual void RestoreUndoSets() {}

  // ---- IChainTool -------------------------------------------------------------
  QString GetCaption() const override;
  // Clears the title and copies at most 80 units of Value (a surrogate pair the
  // cut would split is dropped whole).
  void SetCaption(const QString& Value) override;
  QString GetToolName() const override { return AToolName; }
  bool GetExecuting() const override { return AExecuting; }
  void SetExecuting(bool Value) override { AExecuting = Value; }
  int32_t GetCurrentNumberView() const override { return CurrentNumberView; }
  void SetCurrentNumberView(int32_t NumberView) override { CurrentNumberView = NumberView; }
  bool HasSavedInput(int32_t NumberView) const override;
  HWND GetHandle() const override { return handle; }
  TBitmap* GetBmpIcon1() const override { return BmpIcon1.get(); }
  TBitmap* GetBmpIcon2() const override { return BmpIcon2.get(); }

  // ---- Non-virtual operations -------------------------------------------------
  T2Dview* GetViewByIndx(int indx) const;
  T2Dview* GetView_(int indx) const { return GetViewByIndx(indx); }
  // Stores the view, calls AfterChange(indx), and for channel 0 AfterSetView_.
  void SetView_(int indx, T2Dview* view);
  // The saved input copy of a channel and its size (nullptr / 0 when none).
  const int32_t* GetLocDataByIndx(int indx) const;
  int64_t GetSizeLocDataByIndx(int indx) const;
  // Makes a channel's copy from its view's display buffer; size 0 releases it.
  void SetLocDataByIndx(int indx, int64_t size);
  // Every channel with a view gets a copy of its display buffer unless it has one.
  void InitAllLocDate();
  // While the tool's dialog is open its copies stay whatever the store's budget
  // (the dialog's previews restart the chain at this tool).
  void KeepCopiesWhileDialogOpen(bool open);
  // Sends WM_TOOLSRUN (repaint the current node) to the window and waits for it.
  void ChangeTreeView();
  // With traces in channel 0 and isExecuting set: posts WM_TOOLSRUN to the window,
  // for all channels when toAll is set, else for CurrentNumberView.
  void PaintPreview(bool toAll, bool isExecuting);
  // The same, sent: returns when the window has handled it.
  void PaintPreviewAndWait(bool toAll, bool isExecuting);
  // The tool's dialog while it exists (owned by the application, freed by
  // AfterFormClose and with the tool); nullptr when none is open.
  TToolForm* Form() const { return form_; }
  // The dialog is going: the tool forgets it.
  void FormGone(const TToolForm* form);
  // The host of the window that owns channel 0's view.
  IToolHost& Host() const;

  // Reads a length byte n and n 8-bit characters / n UTF-16LE units.
  static QByteArray ReadShortString(TStream& str);
  static QString ReadUniString(TStream& str);

protected:
  QString ToolString(int32_t i) const override;
  // The key of this tool's copies in the saved-copy store.
  const void* CopyOwner() const { return static_cast<const TCommonTool*>(this); }
  // Fills both icons from the named pictures.
  void LoadIcons(const QString& icon1, const QString& icon2);
  // The tool's dialog, owned by the application (nullptr: the tool has none).
  virtual TToolForm* CreateForm() { return nullptr; }
  // The dialog: exists and takes control changes (live); closes.
  virtual bool DialogLive() const;
  virtual void CloseDialog();
  // Carries out a close or delete requested while the tool ran.
  void FinishDeferredRequests();

  // Marks the run on the calling thread (execute's scope).
  void BeginRun();
  void EndRun();

private:
  friend class TToolForm;
  void WndProc(TMessage& message);
  void FreeForm();
  std::thread::id runThread_;
  TToolForm* form_ = nullptr;
};
