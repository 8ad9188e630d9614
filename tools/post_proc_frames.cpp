#include "tools/post_proc_frames.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/image.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "tools/post_proc.h"
#include "tools/tool_shell.h"

RESOURCESTRING(SPostProcLevel, "Level");
RESOURCESTRING(SPostProcLevelLow, "0%");
RESOURCESTRING(SPostProcLevelHigh, "100%");
RESOURCESTRING(SPostProcColorPoints, "Color points");
RESOURCESTRING(SPostProcColorHint, "Color");
RESOURCESTRING(SPostProcRun, "Run processing");
RESOURCESTRING(SPostProcAlphaBlend, "Alpha blend");
RESOURCESTRING(SPostProcAmpWindowW, "Amp window, W");
RESOURCESTRING(SPostProcAmpWindowH, "H");
RESOURCESTRING(SPostProcFreqWindow, "Frequency window size");
RESOURCESTRING(SPostProcMinPnt, "Minimum size area, points");
RESOURCESTRING(SPostProcNotInteger, "'%s' is not a valid integer value");

namespace {

constexpr int kFrameWidth = 220;
constexpr int kRowHeight = 24;
constexpr int kTicks = 16;
constexpr int kDefaultAlpha = 128;

QStringList Numbers(std::initializer_list<int> values) {
  QStringList list;
  for (int v : values) list << QString::number(v);
  return list;
}

const QStringList& WindowItems() {
  static const QStringList items = Numbers({1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 31, 51, 81, 121});
  return items;
}

const QStringList& MinPntItems() {
  static const QStringList items =
      Numbers({1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 31, 51, 81, 121, 150, 201, 301, 500, 700, 900});
  return items;
}

const QStringList& FreqWindowItems() {
  static const QStringList items{"1x1",  "3x3",  "5x5",  "7x7",  "9x9",  "11x11",
                                 "13x13", "15x15", "17x17", "19x19", "21x21"};
  return items;
}

TLabel* AddLabel(TWinControl* parent, int x, int y, const QString& text) {
  auto* label = new TLabel(parent);
  label->SetParent(parent);
  label->SetBounds(x, y + 4, 120, 16);
  label->SetCaption(text);
  return label;
}

}  // namespace

TPostProcPropertyFrame::TPostProcPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run)
    : overlay_(overlay), run_(std::move(run)) {
  Frame = new TPanel(nullptr);
  Frame->SetParent(parent);
  Frame->SetBounds(0, 0, kFrameWidth, 400);

  AddLabel(Frame, 4, 0, LoadResString(SPostProcLevel));
  GodographImage_ = new TImage(Frame);
  GodographImage_->SetParent(Frame);
  GodographImage_->SetBounds(4, 20, 144, 64);
  LevelTrackBar = new TTrackBar(Frame);
  LevelTrackBar->SetParent(Frame);
  LevelTrackBar->SetBounds(4, 88, 180, 24);
  LevelTrackBar->SetRange(0, 100);
  LevelTrackBar->SetFrequency(kTicks);
  LevelTrackBar->SetHint(LoadResString(SPostProcLevel));
  LevelTrackBar->OnChange = [this](TObject*) { LevelTrackBarChange(); };
  AddLabel(Frame, 4, 108, LoadResString(SPostProcLevelLow));
  AddLabel(Frame, 160, 108, LoadResString(SPostProcLevelHigh));
  LevelDE = new TDigitEdit(Frame);
  LevelDE->SetParent(Frame);
  LevelDE->SetBounds(4, 132, 60, 22);
  LevelDE->SetMinVal(0);
  LevelDE->SetMaxVal(100);
  LevelDE->SetAvailableSign(false);
  LevelDE->SetAvailableDecimal(false);
  LevelDE->SetStep(1);
  LevelDE->OnChangeFinish = [this](TObject*) { LevelDEChangeFinish(); };

  AddLabel(Frame, 4, 160, LoadResString(SPostProcColorPoints));
  ColorPanel = new TPanel(Frame);
  ColorPanel->SetParent(Frame);
  ColorPanel->SetBounds(90, 160, 24, 22);
  ColorPanel->SetHint(LoadResString(SPostProcColorHint));
  ColorPanel->OnClick = [this](TObject*) { ColorPanelClick(); };
  RunButton = new TButton(Frame);
  RunButton->SetParent(Frame);
  RunButton->SetBounds(120, 160, 96, 22);
  RunButton->SetCaption(LoadResString(SPostProcRun));
  RunButton->OnClick = [this](TObject*) { RunClick(); };

  AddLabel(Frame, 4, 188, LoadResString(SPostProcAlphaBlend));
  MasterAlphaBar = new TTrackBar(Frame);
  MasterAlphaBar->SetParent(Frame);
  MasterAlphaBar->SetBounds(4, 208, 180, 24);
  MasterAlphaBar->SetRange(0, 255);
  MasterAlphaBar->SetFrequency(kTicks);
  MasterAlphaBar->SetPosition(kDefaultAlpha);
  MasterAlphaBar->SetHint(LoadResString(SPostProcLevel));
  MasterAlphaBar->OnChange = [this](TObject*) { MasterAlphaBarChange(); };
  nextRow_ = 240;
}

TPostProcPropertyFrame::~TPostProcPropertyFrame() {
  *alive_ = false;
  if (Frame) Frame->Free();
}

TComboBox* TPostProcPropertyFrame::AddList(int y, const QString& caption, const QStringList& items, bool pickOnly) {
  AddLabel(Frame, 4, y, caption);
  auto* box = new TComboBox(Frame);
  box->SetParent(Frame);
  box->SetBounds(140, y, 70, 22);
  box->SetStyle(pickOnly ? csDropDownList : csDropDown);
  box->SetItems(items);
  return box;
}

bool TPostProcPropertyFrame::ListInteger(const TComboBox& box, int32_t& value) {
  bool ok = false;
  const int parsed = box.Text().trimmed().toInt(&ok);
  if (!ok) {
    ShowMessage(LoadResString(SPostProcNotInteger).replace(QStringLiteral("%s"), box.Text()));
    return false;
  }
  value = parsed;
  return true;
}

void TPostProcPropertyFrame::StoreDefaults() {
  TPostProcDefaults values = ToolShell().PostProcDefaults(overlay_.Kind());
  values.PosLevel = overlay_.PosLevel();
  values.AlphaBlend = overlay_.AlphaBlend();
  values.Color = overlay_.Color();
  values.MinPnt = overlay_.MinPnt();
  if (auto* hilbert = dynamic_cast<THilbertPostProc*>(&overlay_); hilbert && overlay_.Kind() == ppHilbert) {
    values.WinAmpSizeW = hilbert->WinAmpSizeW();
    values.WinAmpSizeH = hilbert->WinAmpSizeH();
  }
  if (auto* frequency = dynamic_cast<TFreqHilbertPostProc*>(&overlay_)) values.WinFreqSize = frequency->WinFreqSize();
  ToolShell().SetPostProcDefaults(overlay_.Kind(), values);
}

void TPostProcPropertyFrame::UpdateParameters() {
  NeedRepaint = false;
  overlay_.SetRunned(false);
  LevelTrackBar->SetRange(0, 100);
  LevelTrackBar->SetPosition(overlay_.PosLevel());
  LevelDE->SetValueInt(overlay_.PosLevel());
  ColorPanel->SetColor(overlay_.Color());
  MasterAlphaBar->SetPosition(overlay_.AlphaBlend());
  cbMinPnt->SetText(QString::number(overlay_.MinPnt()));
  NeedRepaint = true;
  isRunPaint = false;
}

bool TPostProcPropertyFrame::RunEnabled() const { return RunButton->Enabled(); }

void TPostProcPropertyFrame::SetRunEnabled(bool value) { RunButton->SetEnabled(value); }

void TPostProcPropertyFrame::LevelTrackBarChange() {
  if (!NeedRepaint) return;
  overlay_.SetPosLevel(LevelTrackBar->Position());
  LevelDE->SetValueInt(overlay_.PosLevel());
  StoreDefaults();
}

void TPostProcPropertyFrame::LevelDEChangeFinish() {
  if (!NeedRepaint) return;
  const int value = LevelDE->ValueInt();
  overlay_.SetPosLevel(value);
  LevelTrackBar->SetPosition(value);
  StoreDefaults();
  RunClick();
}

void TPostProcPropertyFrame::MasterAlphaBarChange() {
  if (!NeedRepaint) return;
  overlay_.SetAlphaBlend(MasterAlphaBar->Position());
  StoreDefaults();
  if (isRunPaint) return;
  isRunPaint = true;
  // The run processes messages: the frame may be freed meanwhile.
  const std::shared_ptr<const bool> alive = alive_;
  RunClick();
  if (*alive) isRunPaint = false;
}

void TPostProcPropertyFrame::ColorPanelClick() {
  TColor color = overlay_.Color();
  if (!ChooseColor(color)) return;
  overlay_.SetColor(color);
  ColorPanel->SetColor(color);
  overlay_.SetOldPosLevel(-1);
  StoreDefaults();
  RunClick();
}

void TPostProcPropertyFrame::cbMinPntChange() {
  int32_t value = 0;
  if (!ListInteger(*cbMinPnt, value)) return;
  overlay_.SetMinPnt(value);
  overlay_.SetOldPosLevel(-1);
  StoreDefaults();
}

void TPostProcPropertyFrame::RunClick() {
  if (run_) run_();
}

TComparatorPropertyFrame::TComparatorPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run)
    : TPostProcPropertyFrame(overlay, parent, std::move(run)) {
  RunButton->SetName(QStringLiteral("sbRunComparator"));
  cbMinPnt = AddList(nextRow_, LoadResString(SPostProcMinPnt), MinPntItems(), false);
  cbMinPnt->OnChange = [this](TObject*) { cbMinPntChange(); };
}

THilbertPropertyFrame::THilbertPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run)
    : TPostProcPropertyFrame(overlay, parent, std::move(run)) {
  RunButton->SetName(QStringLiteral("sbRunHilbert"));
  cbWinSizeW = AddList(nextRow_, LoadResString(SPostProcAmpWindowW), WindowItems(), false);
  cbWinSizeH = AddList(nextRow_ + kRowHeight, LoadResString(SPostProcAmpWindowH), WindowItems(), false);
  cbMinPnt = AddList(nextRow_ + 2 * kRowHeight, LoadResString(SPostProcMinPnt), MinPntItems(), false);
  cbWinSizeW->OnChange = [this](TObject*) { cbWinSizeChange(); };
  cbWinSizeH->OnChange = [this](TObject*) { cbWinSizeChange(); };
  cbMinPnt->OnChange = [this](TObject*) { cbMinPntChange(); };
}

void THilbertPropertyFrame::UpdateParameters() {
  auto& hilbert = static_cast<THilbertPostProc&>(overlay_);
  TPostProcPropertyFrame::UpdateParameters();
  NeedRepaint = false;
  cbWinSizeH->SetText(QString::number(hilbert.WinAmpSizeH()));
  cbWinSizeW->SetText(QString::number(hilbert.WinAmpSizeW()));
  NeedRepaint = true;
}

void THilbertPropertyFrame::cbWinSizeChange() {
  auto& hilbert = static_cast<THilbertPostProc&>(overlay_);
  int32_t w = hilbert.WinAmpSizeW();
  int32_t h = hilbert.WinAmpSizeH();
  if (!ListInteger(*cbWinSizeW, w) || !ListInteger(*cbWinSizeH, h)) return;
  hilbert.SetWinAmpSizeW(w);
  hilbert.SetWinAmpSizeH(h);
  overlay_.SetOldPosLevel(-1);
  StoreDefaults();
}

TFreqHilbertPropertyFrame::TFreqHilbertPropertyFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run)
    : TPostProcPropertyFrame(overlay, parent, std::move(run)) {
  RunButton->SetName(QStringLiteral("sbRunHilbert"));
  cbWinFreqSize = AddList(nextRow_, LoadResString(SPostProcFreqWindow), FreqWindowItems(), true);
  cbWinFreqSize->SetItemIndex(1);  // "3x3", whatever the overlay holds
  cbMinPnt = AddList(nextRow_ + kRowHeight, LoadResString(SPostProcMinPnt), MinPntItems(), false);
  cbWinFreqSize->OnChange = [this](TObject*) { cbWinFreqSizeChange(); };
  cbMinPnt->OnChange = [this](TObject*) { cbMinPntChange(); };
}

void TFreqHilbertPropertyFrame::cbWinFreqSizeChange() {
  const int item = cbWinFreqSize->ItemIndex();
  static_cast<TFreqHilbertPostProc&>(overlay_).SetWinFreqSize(item >= 1 && item <= 10 ? 2 * item + 1 : 1);
  overlay_.SetOldPosLevel(-1);
  StoreDefaults();
  RunClick();
}

std::unique_ptr<IPostProcFrame> MakePostProcFrame(TPostProc& overlay, TWinControl* parent, std::function<void()> run) {
  switch (overlay.Kind()) {
    case ppComparator: return std::make_unique<TComparatorPropertyFrame>(overlay, parent, std::move(run));
    case ppHilbert: return std::make_unique<THilbertPropertyFrame>(overlay, parent, std::move(run));
    case ppFrequency: return std::make_unique<TFreqHilbertPropertyFrame>(overlay, parent, std::move(run));
  }
  return nullptr;
}
