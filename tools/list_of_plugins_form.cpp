#include "tools/list_of_plugins_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"
#include "platform/ui/list_box.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "profiledata/form_charset.h"
#include "tools/common_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_icons.h"
#include "tools/tool_shell.h"

RESOURCESTRING(SListOfToolsCaption, "List of Tools");
RESOURCESTRING(SListOfToolsToolsPage, "Tools");
RESOURCESTRING(SListOfToolsConvertersPage, "Converters");
RESOURCESTRING(SListOfToolsDescription, "Description: ");
RESOURCESTRING(SListOfToolsApply, "Apply Tool");
RESOURCESTRING(SListOfToolsCancel, "Cancel");

TListOfPluginsForm::TListOfPluginsForm(TComponent* AOwner, const TListOfTools& tools) : TForm(AOwner), tools_(tools) {
  SetBorderStyle(bsToolWindow);
  SetPosition(poScreenCenter);
  SetCaption(LoadResString(SListOfToolsCaption));
  SetClientWidth(453);
  SetClientHeight(492);

  BottomPanel = new TPanel(this);
  BottomPanel->SetParent(this);
  BottomPanel->SetHeight(96);
  BottomPanel->SetAlign(alBottom);
  DescriptionLabel = new TLabel(this);
  DescriptionLabel->SetParent(BottomPanel);
  DescriptionLabel->SetBounds(8, 6, 80, 13);
  DescriptionLabel->SetCaption(LoadResString(SListOfToolsDescription));
  DscrLabel = new TLabel(this);
  DscrLabel->SetParent(BottomPanel);
  DscrLabel->SetAutoSize(false);
  DscrLabel->SetWordWrap(true);
  DscrLabel->SetBounds(91, 6, 354, 46);
  OKBitBtn = new TBitBtn(this);
  OKBitBtn->SetParent(BottomPanel);
  OKBitBtn->SetBounds(262, 62, 89, 25);
  OKBitBtn->SetCaption(LoadResString(SListOfToolsApply));
  OKBitBtn->SetModalResult(mrOk);
  OKBitBtn->SetEnabled(false);
  BitBtn2 = new TBitBtn(this);
  BitBtn2->SetParent(BottomPanel);
  BitBtn2->SetBounds(358, 62, 89, 25);
  BitBtn2->SetCaption(LoadResString(SListOfToolsCancel));
  BitBtn2->SetModalResult(mrCancel);

  PageControl1 = new TPageControl(this);
  PageControl1->SetParent(this);
  PageControl1->SetAlign(alClient);
  ToolsTabSheet = new TTabSheet(this);
  ToolsTabSheet->SetPageControl(PageControl1);
  ToolsTabSheet->SetCaption(LoadResString(SListOfToolsToolsPage));
  ConvertersTabSheet = new TTabSheet(this);
  ConvertersTabSheet->SetPageControl(PageControl1);
  ConvertersTabSheet->SetCaption(LoadResString(SListOfToolsConvertersPage));
  PageControl1->SetActivePageIndex(0);

  ImageList = new TImageList(this);
  ImageList->SetSize(ToolIconSize, ToolIconSize);
  ImageList1 = new TImageList(this);
  ImageList1->SetSize(ToolIconSize, ToolIconSize);
  PluginsListBox = MakeList(ToolsTabSheet, ImageList);
  AdvancedPluginsListBox = MakeList(ConvertersTabSheet, ImageList1);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
}

TListBox* TListOfPluginsForm::MakeList(TTabSheet* page, TImageList* images) {
  auto* list = new TListBox(this);
  list->SetParent(page);
  list->SetAlign(alClient);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(ItemHeight);
  list->SetNameValueSeparator(u'=');
  list->OnDrawItem = [this, list, images](TWinControl*, int index, TRect rect, TOwnerDrawState) {
    ListDrawItem(*list, *images, index, rect);
  };
  list->OnClick = [this, list](TObject*) { ListSelect(*list); };
  list->OnDblClick = [this, list](TObject*) { ListDblClick(*list); };
  return list;
}

void TListOfPluginsForm::FormCreate(TObject*) {
  SetFormCharsetForLanguage(*this, ToolShell().Language());
  const std::array<T2Dview*, 5> views = ToolShell().CurrentViews();
  for (int32_t i = 0; i < tools_.Count(); ++i) {
    const QString caption = tools_.GetToolName(i);
    std::unique_ptr<TCommonTool> tool = tools_.GetTool(caption, views);
    if (!tool) continue;
    const bool advancedTool = tool->typeOfPlugin == advanced;
    TListBox* list = advancedTool ? AdvancedPluginsListBox : PluginsListBox;
    TImageList* images = advancedTool ? ImageList1 : ImageList;
    list->AddItem(caption + u'=' + QString::number(i));
    images->AddMasked(*tool->BmpIcon1, IconMaskColor);
  }
}

void TListOfPluginsForm::ListDrawItem(TListBox& list, TImageList& images, int Index, TRect Rect) {
  TCanvas& canvas = *list.Canvas();
  canvas.FillRect(Rect);
  images.Draw(canvas, Rect.Left + 2, Rect.Top, Index);
  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(Rect.Left + 32, Rect.Top + 6, list.Names(Index));
  canvas.Brush()->SetStyle(bsSolid);
}

void TListOfPluginsForm::ListSelect(TListBox& list) {
  if (list.ItemIndex() < 0) return;
  bool ok = false;
  const int32_t index = list.ValueFromIndex(list.ItemIndex()).toInt(&ok);
  if (!ok) return;
  DscrLabel->SetCaption(tools_.GetToolDscr(index));
  OKBitBtn->SetEnabled(true);
}

void TListOfPluginsForm::ListDblClick(TListBox& list) {
  if (list.ItemIndex() < 0) return;
  OKBitBtn->Click();
}

QString TListOfPluginsForm::SelectedToolCaption() const {
  const TListBox* list = PageControl1->ActivePageIndex() == 0 ? PluginsListBox : AdvancedPluginsListBox;
  return list->ItemIndex() < 0 ? QString() : list->Names(list->ItemIndex());
}
