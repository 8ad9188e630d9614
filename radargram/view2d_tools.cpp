// The window's tool chain: adding, removing and switching tools, and writing and
// reading the chain files (the side files of profiles, the last-used sets in the
// program folder).

#include "radargram/view2d_form.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sys_utils.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/file_dialogs.h"
#include "platform/ui/image_list.h"
#include "platform/ui/menus.h"
#include "platform/ui/message_boxes.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"
#include "radargram/tool_chain_library.h"
#include "radargram/tool_messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

IToolChainLibrary* registeredLibrary = nullptr;

// The smallest record: its end offset and an empty name.
constexpr int64_t kMinRecordSize = 5;

}  // namespace

void SetToolChainLibrary(IToolChainLibrary* library) { registeredLibrary = library; }

IToolChainLibrary* ToolChainLibrary() { return registeredLibrary; }

// ---- Controls ---------------------------------------------------------------------------------

namespace {

// The background of the tools' icons, shown transparent.
constexpr TColor kToolIconMask = 0xA4A0A0;
constexpr int kToolIconSize = 24;

// The warning shown for a tool that could not be created: a yellow triangle with
// an exclamation mark.
void DrawWarningIcon(TBitmap& icon) {
  icon.SetPixelFormat(pf24bit);
  icon.SetSize(kToolIconSize, kToolIconSize);
  TCanvas* canvas = icon.Canvas();
  canvas->Brush()->SetColor(kToolIconMask);
  canvas->FillRect(Rect(0, 0, kToolIconSize, kToolIconSize));
  canvas->Brush()->SetColor(clYellow);
  canvas->Pen()->SetColor(clBlack);
  canvas->Polygon({TPoint{12, 2}, TPoint{22, 21}, TPoint{2, 21}});
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(Rect(11, 8, 13, 16));
  canvas->FillRect(Rect(11, 17, 13, 19));
}

}  // namespace

void TView2DForm::BuildToolChainControls() {
  ToolImages = new TImageList(this);
  ToolImages->SetSize(kToolIconSize, kToolIconSize);
  ToolsTreeView->SetImages(ToolImages);

  ToolButtonsPanel = new TPanel(this);
  ToolButtonsPanel->SetName(QStringLiteral("ToolButtonsPanel"));
  ToolButtonsPanel->SetParent(ToolsTabSheet);
  ToolButtonsPanel->SetHeight(34);
  ToolButtonsPanel->SetAlign(alTop);
  struct TButton {
    TBitBtn** button;
    const char* name;
    TResourceString hint;
    std::function<void()> click;
  };
  const TButton buttons[] = {
      {&AddToolsBitBtn, "AddToolsBitBtn", SAddToolHint, [this] { AddToolsBitBtnClick(AddToolsBitBtn); }},
      {&RemoveBitBtn, "RemoveBitBtn", SRemoveToolHint, [this] { RemoveBitBtnClick(RemoveBitBtn); }},
      {&PropertyBitBtn, "PropertyBitBtn", SPropertyToolHint, [this] { EditCurrentTool(); }},
      {&ExecuteBitBtn, "ExecuteBitBtn", SExecuteToolsHint, [this] { ExecuteBitBtnClick(ExecuteBitBtn); }},
      {&PopUpBitBtn, "PopUpBitBtn", SToolOptions, [this] {
         const TPoint at = PopUpBitBtn->ClientToScreen(TPoint{20, 20});
         PopupMenu1->Popup(at.X, at.Y);
       }},
  };
  int left = 4;
  for (const TButton& b : buttons) {
    *b.button = new TBitBtn(this);
    (*b.button)->SetName(QString::fromLatin1(b.name));
    (*b.button)->SetParent(ToolButtonsPanel);
    (*b.button)->SetBounds(left, 4, 28, 26);
    (*b.button)->SetHint(LoadResString(b.hint));
    (*b.button)->OnClick = [click = b.click](TObject*) { click(); };
    left += 32;
  }

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName(QStringLiteral("PopupMenu1"));
  const std::pair<TMenuItem**, TResourceString> items[] = {
      {&PropertiesMenu, SToolPropertiesItem},
      {&RemoveMenu, SToolRemoveItem},
      {&CopyPropertiesToAllMenu, SCopyPropertiesToAll},
      {&CopytoonlineTools1, SCopyToOnlineTools},
      {&ExecutingMenu, SToolApplyItem},
      {&FreeToolSetMenu, SClearSetItem},
      {&SaveSetToolsMenu, SSaveSetItem},
  };
  for (const auto& [item, caption] : items) {
    *item = new TMenuItem(this);
    (*item)->SetCaption(LoadResString(caption));
    PopupMenu1->Items()->Add(*item);
  }
  PropertiesMenu->SetDefault(true);
  PropertiesMenu->OnClick = [this](TObject*) { EditCurrentTool(); };
  RemoveMenu->OnClick = [this](TObject* sender) { RemoveBitBtnClick(sender); };
  CopyPropertiesToAllMenu->OnClick = [this](TObject*) { CopyCurrentToolToAll(); };
  CopytoonlineTools1->OnClick = [this](TObject* sender) { CopytoonlineTools1Click(sender); };
  ExecutingMenu->OnClick = [this](TObject* sender) { ExecutingMenuClick(sender); };
  FreeToolSetMenu->OnClick = [this](TObject* sender) { FreeToolSetBitBtnClick(sender); };
  SaveSetToolsMenu->OnClick = [this](TObject* sender) { SaveSetToolsBitBtnClick(sender); };
  PopupMenu1->OnPopup = [this](TObject*) {
    const IChainTool* tool = ToolOfNode(CurrentItem);
    ExecutingMenu->SetChecked(tool && tool->GetExecuting());
  };

  SetsOfToolsGroupBox = new TGroupBox(this);
  SetsOfToolsGroupBox->SetName(QStringLiteral("SetsOfToolsGroupBox"));
  SetsOfToolsGroupBox->SetParent(ToolsTabSheet);
  SetsOfToolsGroupBox->SetCaption(LoadResString(SSetsOfTools));
  SetsOfToolsGroupBox->SetHeight(48);
  SetsOfToolsGroupBox->SetAlign(alBottom);
  StencilComboBox = new TComboBox(this);
  StencilComboBox->SetName(QStringLiteral("StencilComboBox"));
  StencilComboBox->SetParent(SetsOfToolsGroupBox);
  StencilComboBox->SetBounds(8, 18, 180, 22);
  StencilComboBox->OnChange = [this](TObject* sender) { StencilComboBoxChange(sender); };

  ToolsTreeView->OnDragOver = [this](TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept) {
    ToolsTreeViewDragOver(sender, source, x, y, state, accept);
  };
  ToolsTreeView->OnEndDrag = [this](TObject* sender, TObject* target, int x, int y) {
    ToolsTreeViewEndDrag(sender, target, x, y);
  };

  SetMessageHandler(WM_TOOLFORMCLOSED, [this](TMessage&) {
    if (CurrentItem) {
      PaintTreeNode();
      TlsNeedForSave = true;
    }
    RunPostProcess(this);
  });
  SetMessageHandler(WM_TOOLDELETE, [this](TMessage&) { RemoveBitBtnClick(this); });
  SetMessageHandler(WM_TOOLFORMSHOWN, [this](TMessage&) { AfterAppearToolWnd(); });
  SetMessageHandler(WM_TOOLFORMHIDDEN, [this](TMessage&) { AfterDisappearToolWnd(); });
}

void TView2DForm::PrepareBmpForNode(TTreeNode* node) {
  if (!node) return;
  const IChainTool* tool = ToolOfNode(node);
  std::pair<int, int> icons;
  if (tool && tool->GetBmpIcon1() && tool->GetBmpIcon2()) {
    icons = {ToolImages->AddMasked(*tool->GetBmpIcon1(), kToolIconMask),
             ToolImages->AddMasked(*tool->GetBmpIcon2(), kToolIconMask)};
  } else {
    TBitmap warning;
    DrawWarningIcon(warning);
    const int index = ToolImages->AddMasked(warning, kToolIconMask);
    icons = {index, index};
  }
  nodeIcons_[node] = icons;
  const int shown = !tool || tool->GetExecuting() ? icons.first : icons.second;
  node->SetImageIndex(shown);
  node->SetSelectedIndex(shown);
}

void TView2DForm::EnableToolChainEditing(bool enabled) {
  for (TWinControl* control : std::initializer_list<TWinControl*>{ToolsTreeView, AddToolsBitBtn, RemoveBitBtn,
                                                                  PropertyBitBtn, ExecuteBitBtn, StencilComboBox})
    if (control) control->SetEnabled(enabled);
  for (TMenuItem* item : {FreeToolSetMenu, SaveSetToolsMenu})
    if (item) item->SetEnabled(enabled);
  if (shell_.Actions) shell_.Actions->SetToolDialogActionsEnabled(enabled);
}

void TView2DForm::AfterAppearToolWnd() {
  VisibleToolWnd = true;
  EnableToolChainEditing(false);
}

void TView2DForm::AfterDisappearToolWnd() {
  VisibleToolWnd = false;
  TlsNeedForSave = true;
  StencilComboBox->SetItemIndex(-1);
  SaveToolsSTCLUnlessOpened();
  // The last-used sets are not the profile's chain.
  TlsNeedForSave = true;
  EnableToolChainEditing(true);
}

// ---- Moving a tool by drag and drop ----------------------------------------------------------

namespace {

constexpr TColor kInsertionLineColor = 0x909090;
constexpr int kInsertionLineWidth = 4;

// The drop point lies in the lower half of the node's row.
bool InLowerHalf(const TTreeNode& node, int y) {
  const TRect row = node.DisplayRect();
  return y >= row.Top + row.Height() / 2;
}

}  // namespace

void TView2DForm::ToolsTreeViewDragOver(TObject* /*Sender*/, TObject* /*Source*/, int X, int Y, TDragState /*State*/,
                                        bool& /*Accept*/) {
  const TTreeNode* node = ToolsTreeView->GetNodeAt(X, Y);
  if (!node) return;
  const TRect row = node->DisplayRect();
  const int y = InLowerHalf(*node, Y) ? row.Bottom : row.Top;
  // Each tree keeps its own line: a line left in another window's tree never
  // hides this one's.
  if (y != ToolsTreeView->InsertionLineY()) ToolsTreeView->ShowInsertionLine(y, kInsertionLineColor, kInsertionLineWidth);
}

void TView2DForm::ToolsTreeViewEndDrag(TObject* /*Sender*/, TObject* /*Target*/, int X, int Y) {
  ToolsTreeView->HideInsertionLine();
  if (TTreeNode* dragged = ToolsTreeView->Selected()) {
    TTreeNode* target = ToolsTreeView->GetNodeAt(X, Y);
    if (target && InLowerHalf(*target, Y)) {
      const TTreeNodes* items = ToolsTreeView->Items();
      const int next = IndexOfNode(target) + 1;
      target = next < items->TopCount() ? items->Top(next) : nullptr;
    }
    // The node itself moves (to the end without a target), so the current
    // node and its pictures stay what they were.
    if (target != dragged) dragged->MoveTo(target);
  }
  // The order is the chain's for every channel: the last-used sets follow it
  // even for a window opened from a file.
  SaveToolsSTCL();
  Paint2D(0);
  TlsNeedForSave = true;
}

// ---- Chain nodes ----------------------------------------------------------------------------

std::array<T2Dview*, 5> TView2DForm::ChainViews() const {
  std::array<T2Dview*, 5> views{};
  for (int c = 0; c < kChannelSlots; ++c) views[static_cast<size_t>(c)] = GetView2DByIndx(c);
  return views;
}

void TView2DForm::DeleteToolNode(TTreeNode* node) {
  if (!node) return;
  IChainTool* tool = ToolOfNode(node);
  if (CurTool == tool) CurTool = nullptr;
  if (CurrentItem == node) CurrentItem = nullptr;
  nodeIcons_.erase(node);
  node->Delete();
  if (!tool) return;
  TChainRunner::Instance().Forget(this, {tool});
  std::erase_if(tools_, [tool](const std::unique_ptr<IChainTool>& owned) { return owned.get() == tool; });
}

void TView2DForm::PaintTree() {
  TTreeNodes* items = ToolsTreeView->Items();
  for (int i = 0; i < items->TopCount(); ++i) items->Top(i)->SetExpanded(true);
  if (items->TopCount() > 0 && CurrentItem) ToolsTreeView->SetSelected(CurrentItem);
}

IChainTool* TView2DForm::GetToolsForNameInTree(const QString& ToolName) const {
  const TTreeNodes* items = ToolsTreeView->Items();
  for (int i = 0; i < items->TopCount(); ++i)
    if (IChainTool* tool = ToolOfNode(items->Top(i)); tool && tool->GetToolName() == ToolName) return tool;
  return nullptr;
}

IChainTool* TView2DForm::GetToolInTreeIndx(const QString& SearchToolName, int IndxInTree) const {
  const TTreeNodes* items = ToolsTreeView->Items();
  if (SearchToolName.isEmpty() || IndxInTree < 0 || IndxInTree >= items->TopCount()) return nullptr;
  IChainTool* tool = ToolOfNode(items->Top(IndxInTree));
  return tool && tool->GetToolName().startsWith(SearchToolName) ? tool : nullptr;
}

void TView2DForm::ClearSetOfTools() {
  CurrentItem = nullptr;
  CurTool = nullptr;
  std::vector<IChainTool*> tools;
  for (const auto& tool : tools_) tools.push_back(tool.get());
  TChainRunner::Instance().Forget(this, tools);
  ToolsTreeView->Items()->Clear();
  nodeIcons_.clear();
  ToolImages->Clear();
  tools_.clear();
}

// ---- Commands ---------------------------------------------------------------------------------

void TView2DForm::SaveToolsSTCLUnlessOpened() {
  const T2Dview* first = GetView2DByIndx(0);
  if (!first || !first->WasOpen) SaveToolsSTCL();
}

void TView2DForm::AddToolsBitBtnClick(TObject* /*Sender*/) {
  if (FirstPaintAfterOpen) Paint2D(0);
  if (TChart* chart = GetChartByIndx(0)) SetActiveView(chart);
  IToolChainLibrary* library = ToolChainLibrary();
  const QString name = library ? library->ChooseTool(this) : QString();
  std::unique_ptr<IChainTool> created = name.isEmpty() ? nullptr : library->GetTool(name, ChainViews());
  if (!created) {
    PaintTree();
    return;
  }
  IChainTool* tool = created.get();
  TTreeNodes* items = ToolsTreeView->Items();
  const QString caption = tool->GetCaption();
  if (items->TopCount() == 0) {
    tool->SetCaption(caption + QLatin1Char('1'));
  } else {
    int same = 0;
    for (const auto& owned : tools_)
      if (owned && owned->GetToolName() == tool->GetToolName()) ++same;
    tool->SetCaption(caption + QString::number(same + 1));
  }
  TTreeNode* node = AppendToolNode(std::move(created));
  node->SetText(caption);
  CurrentItem = node;
  PaintTreeNode();
  PaintTree();
  tool->SetCurrentNumberView(NumActiveView);
  Paint2D(IndexOfNode(node) - 1);
  CurTool = tool;
  if (tool->SetPropertyes(true) != 1) {
    DeleteToolNode(items->Top(items->TopCount() - 1));
    Paint2D(items->TopCount() - 1);
    CurrentItem = nullptr;
  } else {
    TlsNeedForSave = true;
    StencilComboBox->SetItemIndex(-1);
    PaintTreeNode();
    SaveToolsSTCLUnlessOpened();
  }
  PaintTree();
}

void TView2DForm::RemoveBitBtnClick(TObject* /*Sender*/) {
  if (!CurrentItem) return;
  DeleteToolNode(CurrentItem);
  CurrentItem = nullptr;
  Paint2D(0);
  TlsNeedForSave = true;
  SaveToolsSTCLUnlessOpened();
  StencilComboBox->SetItemIndex(-1);
}

void TView2DForm::EditCurrentTool() {
  if (FirstPaintAfterOpen) Paint2D(0);
  if (!CurrentItem) return;
  IChainTool* tool = ToolOfNode(CurrentItem);
  if (!tool) {
    MessageDlg(Format(LoadResString(SToolNotAvailable), {CurrentItem->Text()}), mtWarning, {mbYes}, 0);
    return;
  }
  CurTool = tool;
  tool->SetCurrentNumberView(NumActiveView);
  tool->GetParam(NumActiveView);
  tool->SetPropertyes(false);
  TlsNeedForSave = true;
}

void TView2DForm::CopyCurrentToolToAll() {
  if (FirstPaintAfterOpen) Paint2D(0);
  if (!CurrentItem) return;
  IChainTool* tool = ToolOfNode(CurrentItem);
  if (!tool) {
    MessageDlg(Format(LoadResString(SToolNotAvailable), {CurrentItem->Text()}), mtWarning, {mbYes}, 0);
    return;
  }
  CurTool = tool;
  tool->SetCurrentNumberView(NumActiveView);
  tool->SetAllParamAs(NumActiveView);
  ExecuteBitBtnClick(nullptr);
  TlsNeedForSave = true;
}

void TView2DForm::ExecuteBitBtnClick(TObject* /*Sender*/) {
  for (auto& overlay : PostProc_)
    if (overlay) overlay->SetOldPosLevel(-1);
  Paint2D(0);
}

void TView2DForm::ExecutingMenuClick(TObject* /*Sender*/) {
  IChainTool* tool = ToolOfNode(CurrentItem);
  if (!tool) return;
  tool->SetExecuting(!tool->GetExecuting());
  tool->SetAllApply(tool->GetExecuting());
  PaintTreeNode();
  T2Dview* first = GetView2DByIndx(0);
  if (!first || !first->WasOpen) {
    SaveToolsSTCL();
    if (first) first->Settings()->SetWasOpen(false);
  }
  TlsNeedForSave = true;
  RerunWithFreshOverlays(CurrentItem);
}

void TView2DForm::RerunWithFreshOverlays(TTreeNode* node) {
  // The overlays' layers are copies of the display image: a switched tool
  // changes that image, so they start again from the new one, whichever way
  // each channel is rebuilt (also when a run ends in an error).
  struct TFreshBase {
    TFreshBase() { PostProcBaseValid() = false; }
    ~TFreshBase() { PostProcBaseValid() = true; }
  } fresh;
  Paint2D(FirstPaintAfterOpen ? 0 : IndexOfNode(node) - 1);
  PaintTreeNode();
  ShowPostProc = true;
}

// ---- Writing ----------------------------------------------------------------------------------

bool TView2DForm::WriteChainFile(const QString& FileName, const QByteArray& data) {
  QSaveFile file(FileName);
  const bool written = file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
  if (!written) MessageDlg(Format(LoadResString(SToolChainNotWritten), {FileName}), mtError, {mbOK}, 0);
  return written;
}

bool TView2DForm::SaveTools(const QString& FileName, int NumberView) {
  IToolChainLibrary* library = ToolChainLibrary();
  if (!library || NumberView < 0 || NumberView >= kChannelSlots) return false;
  TMemoryStream stream;
  library->SaveTools(stream, GetView2DByIndx(NumberView));
  const TTreeNodes* items = ToolsTreeView->Items();
  for (int i = 0; i < items->TopCount(); ++i)
    if (IChainTool* tool = ToolOfNode(items->Top(i))) {
      tool->GetParam(NumberView);
      tool->SaveToStream(stream);
    }
  if (items->TopCount() > 0)
    if (IChainTool* last = ToolOfNode(items->Top(items->TopCount() - 1))) last->GetParam(0);
  if (!WriteChainFile(FileName, stream.Bytes())) return false;
  TlsNeedForSave = false;
  return true;
}

bool TView2DForm::SaveToolsFRN(const QString& FileName) {
  IToolChainLibrary* library = ToolChainLibrary();
  if (!library) return false;
  const QFileInfo info(FileName);
  const QString bare = info.fileName();
  const bool fiveChannels = bare == QLatin1String("bstcl") || bare == QLatin1String("dstcl") ||
                            FileName.endsWith(QLatin1String(".bstcl"), Qt::CaseInsensitive);
  const int channels = fiveChannels ? kChannelSlots : std::min(GetCountChannalWithData(), kChannelSlots);
  if (channels <= 0) return false;
  const TTreeNodes* items = ToolsTreeView->Items();
  std::vector<IChainTool*> tools;
  for (int i = 0; i < items->TopCount(); ++i)
    if (IChainTool* tool = ToolOfNode(items->Top(i))) tools.push_back(tool);
  IChainTool* last = items->TopCount() > 0 ? ToolOfNode(items->Top(items->TopCount() - 1)) : nullptr;
  if (!WriteChainFile(FileName, ChainBytesFrn(tools, last, channels))) return false;
  TlsNeedForSave = false;
  return true;
}

QByteArray TView2DForm::ChainBytesFrn(const std::vector<IChainTool*>& tools, IChainTool* last, int channels) {
  TMemoryStream stream;
  ToolChainLibrary()->SaveToolsFRN(stream, GetView2DByIndx(0), channels, static_cast<int32_t>(tools.size()));
  for (int c = 0; c < channels; ++c) {
    for (IChainTool* tool : tools) {
      tool->GetParam(c);
      tool->SaveToStream(stream);
    }
    if (last) last->GetParam(0);
  }
  return stream.Bytes();
}

void TView2DForm::SaveToolsSTCL() {
  // The last-used sets are not the profile's chain: writing them leaves the
  // profile's unsaved-chain mark as it was.
  const bool needForSave = TlsNeedForSave;
  const QString folder = ProgramFolder();
  SaveTools(folder + QStringLiteral("stcl"), 0);
  SaveToolsFRN(folder + (shell_.Layout->SimpleMode() ? QStringLiteral("dstcl") : QStringLiteral("bstcl")));
  TlsNeedForSave = needForSave;
}

bool TView2DForm::SaveToolChain() {
  const T2Dview* first = GetView2DByIndx(0);
  const QString fileName = first ? first->Settings()->GetFileName() : QString();
  if (fileName.isEmpty()) return true;
  return CountChannalView == 1 ? SaveTools(ChangeFileExt(fileName, QStringLiteral(".tls")), 0)
                               : SaveToolsFRN(ChangeFileExt(fileName, QStringLiteral(".btls")));
}

// ---- Reading ----------------------------------------------------------------------------------

void TView2DForm::OpenSideToolChain(const QString& FileName, bool container) {
  if (container) OpenToolsFrn(ChangeFileExt(FileName, QStringLiteral(".btls")));
  else OpenTools(ChangeFileExt(FileName, QStringLiteral(".tls")));
}

void TView2DForm::OpenToolsSTCL() {
  OpenToolsFrn(ProgramFolder() + (shell_.Layout->SimpleMode() ? QStringLiteral("dstcl") : QStringLiteral("bstcl")));
}

bool TView2DForm::ReadChainRecordHead(TStream& stream, const QString& FileName, int64_t& end, QString& name) {
  const int64_t start = stream.Position();
  const int64_t size = stream.Size();
  if (size - start < kMinRecordSize) {
    MessageDlg(Format(LoadResString(SToolChainCut), {FileName}), mtWarning, {mbOK}, 0);
    return false;
  }
  end = stream.ReadValue<int32_t>();
  if (end <= start || end > size) {
    MessageDlg(Format(LoadResString(SToolChainCut), {FileName}), mtWarning, {mbOK}, 0);
    return false;
  }
  name = AnsiToString(ReadShortAnsiString(stream));
  return true;
}

namespace {

// The palette name of a chain file's header into channel 0's settings.
void ReadChainPalette(TStream& stream, T2Dview* first) {
  const QString palette = AnsiToString(ReadShortAnsiString(stream));
  if (first) first->Settings()->PalName = palette;
}

}  // namespace

void TView2DForm::ReadSingleChain(
    const QString& FileName, const std::function<void(std::unique_ptr<IChainTool>, const QString&, bool)>& add) {
  IToolChainLibrary* library = ToolChainLibrary();
  try {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    char magic[5] = {};
    bool records = false;
    bool current = false;
    bool oldest = false;
    if (stream.Read(magic, 5) == 5) {
      const QByteArray word(magic, 5);
      if (word == "TOOLS") {
        stream.ReadValue<int32_t>();
        stream.ReadValue<int32_t>();
        ReadChainPalette(stream, GetView2DByIndx(0));
        stream.ReadValue<uint8_t>();
        records = oldest = true;
      } else if (word == "TLS_3" || word == "TLS3U") {
        ReadChainPalette(stream, GetView2DByIndx(0));
        records = stream.ReadValue<uint8_t>() == 16;
        current = word == "TLS3U";
      }
    }
    int64_t end = 0;
    QString name;
    while (records && stream.Position() < stream.Size() && ReadChainRecordHead(stream, FileName, end, name)) {
      std::unique_ptr<IChainTool> tool = library ? library->GetTool(name, ChainViews()) : nullptr;
      if (tool) library->ReadToolRecord(*tool, stream, end, current, 0);
      stream.SetPosition(end);
      add(std::move(tool), name, oldest);
    }
  } catch (const EReadError&) {
    MessageDlg(Format(LoadResString(SToolChainCut), {FileName}), mtWarning, {mbOK}, 0);
  }
}

void TView2DForm::OpenTools(const QString& FileName) {
  if (!FileExists(FileName)) return;
  MissingTools.clear();
  const bool sideOfSets = FileName.contains(QLatin1String("stcl"));
  ReadSingleChain(FileName, [&](std::unique_ptr<IChainTool> tool, const QString& name, bool oldest) {
    TTreeNode* node = nullptr;
    if (tool) {
      const QString caption = tool->GetCaption();
      node = AppendToolNode(std::move(tool));
      node->SetText(caption);
    } else {
      if (!oldest && !sideOfSets) MissingTools += name + QStringLiteral("\r\n");
      node = ToolsTreeView->Items()->AddChildObject(nullptr, name, nullptr);
      PrepareBmpForNode(node);
    }
    CurrentItem = node;
    PaintTreeNode();
  });
  TlsNeedForSave = false;
}

void TView2DForm::OpenToolsFrn(const QString& FileName) {
  if (!FileExists(FileName)) return;
  MissingTools.clear();
  IToolChainLibrary* library = ToolChainLibrary();
  const bool sideOfSets = FileName.contains(QLatin1String("bstcl")) || FileName.contains(QLatin1String("dstcl"));
  TTreeNodes* items = ToolsTreeView->Items();
  try {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    char magic[6] = {};
    if (stream.Read(magic, 6) == 6 && QByteArray(magic, 6) == "BTLS5U") {
      ReadChainPalette(stream, GetView2DByIndx(0));
      if (stream.ReadValue<uint8_t>() < 2) {
        const int32_t countChannels = stream.ReadValue<int32_t>();
        const int32_t toolsPerChannel = stream.ReadValue<int32_t>();
        // Channels past the fifth are skipped; no count may promise more records
        // than the file can hold.
        const int64_t room = (stream.Size() - stream.Position()) / kMinRecordSize;
        const int channels = std::clamp(countChannels, 0, kChannelSlots);
        const int64_t perChannel = std::clamp<int64_t>(toolsPerChannel, 0, room);
        // Channel 0's nodes; the later channels' records go to the same tools.
        std::vector<TTreeNode*> appended;
        bool intact = true;
        for (int c = 0; c < channels && intact; ++c)
          for (int64_t k = 0; k < perChannel; ++k) {
            int64_t end = 0;
            QString name;
            if (!ReadChainRecordHead(stream, FileName, end, name)) {
              intact = false;
              break;
            }
            std::unique_ptr<IChainTool> created;
            IChainTool* tool = nullptr;
            if (c == 0) {
              created = library ? library->GetTool(name, ChainViews()) : nullptr;
              tool = created.get();
            } else if (k < static_cast<int64_t>(appended.size())) {
              tool = ToolOfNode(appended[static_cast<size_t>(k)]);
              if (tool && (name.isEmpty() || !tool->GetToolName().startsWith(name))) tool = nullptr;
            }
            if (tool) library->ReadToolRecord(*tool, stream, end, true, c);
            else if (!sideOfSets) MissingTools += name + QStringLiteral("\r\n");
            if (c == 0) {
              TTreeNode* node = nullptr;
              if (created) {
                const QString caption = created->GetCaption();
                node = AppendToolNode(std::move(created));
                node->SetText(caption);
              } else {
                node = items->AddChildObject(nullptr, name, nullptr);
                PrepareBmpForNode(node);
              }
              appended.push_back(node);
              CurrentItem = node;
              PaintTreeNode();
            }
            stream.SetPosition(end);
          }
      }
    }
  } catch (const EReadError&) {
    MessageDlg(Format(LoadResString(SToolChainCut), {FileName}), mtWarning, {mbOK}, 0);
  }
  TlsNeedForSave = false;
}

// ---- Tool sets --------------------------------------------------------------------------------

namespace {

QString SetFolder() { return ProgramFolder() + QStringLiteral("setoftools/"); }

}  // namespace

void TView2DForm::SetOfToolsChange(const QString& Name, bool PathAdd) {
  ClearSetOfTools();
  PaintTree();
  Paint2D(0);
  TlsNeedForSave = true;
  OpenToolsFrn(PathAdd ? SetFolder() + Name : Name);
  PaintTree();
  ChangeRadarInTools();
  Paint2D(0);
  TlsNeedForSave = true;
}

void TView2DForm::FreeToolSetBitBtnClick(TObject* /*Sender*/) {
  SetOfToolsChange(QString(), true);
  StencilComboBox->SetItemIndex(-1);
}

void TView2DForm::StencilComboBoxChange(TObject* /*Sender*/) {
  if (StencilComboBox->ItemIndex() >= 0) SetOfToolsChange(StencilComboBox->Text(), true);
}

void TView2DForm::SaveSetToolsBitBtnClick(TObject* /*Sender*/) {
  const QString folder = SetFolder();
  QDir().mkpath(folder);
  TSaveDialog dialog(nullptr);
  dialog.SetTitle(LoadResString(SSaveSetOfTools));
  dialog.SetFilter(QStringLiteral("Set of tools|*.bstcl"));
  dialog.SetDefaultExt(QStringLiteral(".bstcl"));
  dialog.SetOptions(TOpenOptions{ofOverwritePrompt});
  dialog.SetInitialDir(folder);
  dialog.OnFolderChange = [&dialog, folder](TObject*) { dialog.SetInitialDir(folder); };
  if (!dialog.Execute() || !SaveToolsFRN(dialog.FileName())) return;
  FillSetOfToolsList();
  const int index = StencilComboBox->Items().indexOf(QFileInfo(dialog.FileName()).fileName());
  StencilComboBox->SetItemIndex(index);
}

void TView2DForm::FillSetOfToolsList() {
  const QDir folder(SetFolder());
  if (ToolChainLibrary()) {
    // Reading a set's header names a palette: the window's stays.
    T2Dview* first = GetView2DByIndx(0);
    const QString palette = first ? first->Settings()->PalName : QString();
    for (const QString& old : folder.entryList({QStringLiteral("*.stcl")}, QDir::Files, QDir::Name)) {
      const QString path = folder.filePath(old);
      // The old set goes through a chain of its own: the window's chain stays.
      std::vector<std::unique_ptr<IChainTool>> scratch;
      ReadSingleChain(path, [&](std::unique_ptr<IChainTool> tool, const QString&, bool) {
        if (tool) scratch.push_back(std::move(tool));
      });
      if (!QFile::rename(path, ChangeFileExt(path, QStringLiteral(".back_stcl")))) continue;
      std::vector<IChainTool*> tools;
      for (const auto& tool : scratch) tools.push_back(tool.get());
      WriteChainFile(ChangeFileExt(path, QStringLiteral(".bstcl")),
                     ChainBytesFrn(tools, tools.empty() ? nullptr : tools.back(), kChannelSlots));
      StencilComboBox->SetItemIndex(-1);
    }
    if (first) first->Settings()->PalName = palette;
  }
  QStringList sets = folder.entryList({QStringLiteral("*.bstcl")}, QDir::Files, QDir::Name);
  sets.sort(Qt::CaseInsensitive);
  StencilComboBox->SetItems(sets);
}
