#pragma once
// TListOfPluginsForm: the "List of Tools" dialog. The registered tools with icon
// and caption on two pages, "Tools" (simple tools) and "Converters" (advanced
// ones); a selection shows the tool's description and enables "Apply Tool"; a
// double click on a selected item ends the dialog with OK.
//
// Items are "caption=index" (the registry index). The radargram window creates
// the dialog for each tool it adds, shows it modally and, after OK, creates the
// tool named by SelectedToolCaption. Building the lists creates every registered
// tool once (with the current window's views) to read its icon and kind.
//
// User-interface thread only.

#include "platform/ui/forms.h"

#include <QString>

class TBitBtn;
class TImageList;
class TLabel;
class TListBox;
class TListOfTools;
class TPageControl;
class TPanel;
class TTabSheet;
struct TOwnerDrawState;

class TListOfPluginsForm : public TForm {
public:
  // The icons' background, which the image lists make transparent.
  static constexpr TColor IconMaskColor = 0xA4A0A0;
  static constexpr int ItemHeight = 25;

  TListOfPluginsForm(TComponent* AOwner, const TListOfTools& tools);

  TPageControl* PageControl1;
  TTabSheet* ToolsTabSheet;
  TTabSheet* ConvertersTabSheet;
  TListBox* PluginsListBox;
  TListBox* AdvancedPluginsListBox;
  TImageList* ImageList;
  TImageList* ImageList1;
  TPanel* BottomPanel;
  TLabel* DescriptionLabel;
  TLabel* DscrLabel;
  TBitBtn* OKBitBtn;
  TBitBtn* BitBtn2;

  // The caption (name part) of the selected item of the active page; empty when
  // nothing there is selected.
  QString SelectedToolCaption() const;

  void FormCreate(TObject* Sender);
  void ListDrawItem(TListBox& list, TImageList& images, int Index, TRect Rect);
  // A selection by the mouse or the arrow keys.
  void ListSelect(TListBox& list);
  void ListDblClick(TListBox& list);

private:
  TListBox* MakeList(TTabSheet* page, TImageList* images);
  const TListOfTools& tools_;
};
