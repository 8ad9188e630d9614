// The radargram window's Objects page: each channel's tree of surface markers,
// object markers and polylines with generated icons, the marker tool bar and
// the default marker colour. The texts and colour lists are marker_texts.h.

#include "radargram/view2d_form.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/image_list.h"
#include "platform/ui/page_control.h"
#include "platform/ui/panels.h"
#include "platform/ui/scroll_box.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/form_controls.h"
#include "radargram/marker_frames.h"
#include "radargram/marker_texts.h"

RESOURCESTRING(SSurfaceMarkersRoot, "Surface Markers");
RESOURCESTRING(SObjectMarkersRoot, "Object Markers");
RESOURCESTRING(SPolyLinesRoot, "PolyLines");
RESOURCESTRING(SMarkColorHint, "Mark color");
RESOURCESTRING(SSetZeroLevel, "Set Zero Level");
RESOURCESTRING(SAddObjectMarkerHint, "Add object marker");
RESOURCESTRING(SAddSurfaceMarkerHint, "Add surface marker");
RESOURCESTRING(SAddPolyLineHint, "Add polyline");
RESOURCESTRING(SDeleteMarkerHint, "Delete marker");

namespace {

constexpr int kObjectsPage = 4;
constexpr int kFixedImages = 7;
constexpr int kSurfaceImage = 2;
constexpr int kPolyLineGroupImage = 6;
constexpr int kMarkerToolGroup = 4;
constexpr int kMarkersPageWidth = 270;
constexpr int kMarkersPageWidthGps = 463;

enum TObjectsRoot : int { rootSurface = 0, rootObject = 1, rootPolyLine = 2 };

std::unique_ptr<TBitmap> NewIcon(TColor background) {
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(pf32bit);
  icon->SetSize(16, 16);
  TCanvas& canvas = *icon->Canvas();
  canvas.Brush()->SetColor(background);
  canvas.FillRect(Rect(0, 0, 16, 16));
  return icon;
}

// The fixed pictures 0..6: folders for the roots, the surface marker's flag at 2,
// the polyline group's zigzag at 6.
void AddFixedImages(TImageList& list) {
  const TColor colors[kFixedImages] = {clOlive, clOlive, 0x00FFFF, clOlive, clOlive, clOlive, clNavy};
  for (int i = 0; i < kFixedImages; ++i) {
    auto icon = NewIcon(clWhite);
    TCanvas& canvas = *icon->Canvas();
    canvas.Pen()->SetColor(colors[i]);
    canvas.Brush()->SetColor(colors[i]);
    if (i == kSurfaceImage) {
      canvas.Polygon({TPoint{3, 12}, TPoint{8, 2}, TPoint{13, 12}});
    } else if (i == kPolyLineGroupImage) {
      canvas.Pen()->SetWidth(2);
      canvas.MoveTo(1, 13);
      canvas.LineTo(6, 3);
      canvas.LineTo(10, 11);
      canvas.LineTo(15, 2);
    } else {
      canvas.Rectangle(2, 4, 14, 13);
    }
    list.AddMasked(*icon, clWhite);
  }
}

}  // namespace

// ---- Controls -------------------------------------------------------------------------------

void TView2DForm::BuildMarkerControls() {
  auto* bar = new TPanel(this);
  bar->SetName(QStringLiteral("MarkerToolPanel"));
  bar->SetParent(MarkersTabSheet);
  bar->SetBounds(0, 0, 260, 30);
  bar->SetAlign(alTop);
  const struct {
    TSpeedButton** button;
    const char* name;
    TResourceString hint;
    void (TView2DForm::*click)(TObject*);
  } buttons[] = {
      {&AddObjectMarkerToolButton, "AddObjectMarkerToolButton", SAddObjectMarkerHint,
       &TView2DForm::AddObjectMarkerToolButtonClick},
      {&AddsurfaceMarkerToolButton, "AddsurfaceMarkerToolButton", SAddSurfaceMarkerHint,
       &TView2DForm::AddsurfaceMarkerToolButtonClick},
      {&AddPoliLineToolButton, "AddPoliLineToolButton", SAddPolyLineHint, &TView2DForm::AddPoliLineToolButtonClick},
      {&DelMarkerToolButton, "DelMarkerToolButton", SDeleteMarkerHint, &TView2DForm::DelMarkerToolButtonClick},
  };
  int left = 2;
  for (const auto& b : buttons) {
    *b.button = NewSpeedButton(this, bar, b.name, QString(), left, 3, 26);
    (*b.button)->SetGroupIndex(kMarkerToolGroup);
    (*b.button)->SetAllowAllUp(true);
    (*b.button)->SetHint(LoadResString(b.hint));
    (*b.button)->OnClick = [this, click = b.click](TObject* sender) { (this->*click)(sender); };
    left += 28;
  }
  cbMarkColor = new TComboBox(this);
  cbMarkColor->SetName(QStringLiteral("cbMarkColor"));
  cbMarkColor->SetParent(bar);
  cbMarkColor->SetBounds(left + 4, 4, 90, 22);
  cbMarkColor->SetStyle(csOwnerDrawFixed);
  cbMarkColor->OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    DrawMarkColorItem(*cbMarkColor->Canvas(), cbMarkColor->Items().value(index), rect, state.Selected);
  };
  cbMarkColor->SetItems(marker_texts::MarkColorItems());
  cbMarkColor->SetItemIndex(marker_texts::kDefaultMarkColorItem);
  cbMarkColor->SetHint(LoadResString(SMarkColorHint));
  cbMarkColor->OnChange = [this](TObject* sender) { cbMarkColorChange(sender); };

  PropertyObjectsScrollBox = new TScrollBox(this);
  PropertyObjectsScrollBox->SetName(QStringLiteral("PropertyObjectsScrollBox"));
  PropertyObjectsScrollBox->SetParent(MarkersTabSheet);
  PropertyObjectsScrollBox->SetBounds(0, 300, 260, 260);
  PropertyObjectsScrollBox->SetAlign(alBottom);

  ObjectsImageList = new TImageList(this);
  ObjectsImageList->SetName(QStringLiteral("ObjectsImageList"));
  AddFixedImages(*ObjectsImageList);
  ObjectsTreeView->SetImages(ObjectsImageList);
  for (TResourceString title : {SSurfaceMarkersRoot, SObjectMarkersRoot, SPolyLinesRoot})
    ObjectsTreeView->Items()->AddChild(nullptr, LoadResString(title));
  ObjectsTreeView->OnChange = [this](TObject* sender, TTreeNode* node) { ObjectsTreeViewChange(sender, node); };
  ObjectsTreeView->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = true; };

  auto previousPage = std::make_shared<TTabSheet*>(nullptr);
  LeftPageControl->OnChange = [this, previousPage](TObject* sender) {
    if (IsDestroying()) return;
    if (*previousPage == MarkersTabSheet && LeftPageControl->ActivePage() != MarkersTabSheet)
      MarkersTabSheetHide(sender);
    *previousPage = LeftPageControl->ActivePage();
    LeftPageControlChange(sender);
  };

  SetNullSpeedButton = new TBitBtn(this);
  SetNullSpeedButton->SetName(QStringLiteral("SetNullSpeedButton"));
  SetNullSpeedButton->SetParent(OperationsTabSheet);
  SetNullSpeedButton->SetBounds(8, 200, 200, 24);
  SetNullSpeedButton->SetCaption(LoadResString(SSetZeroLevel));
  SetNullSpeedButton->OnClick = [this](TObject* sender) { SetNullSpeedButtonClick(sender); };
}

// ---- Trees ----------------------------------------------------------------------------------

QString TView2DForm::ObjectsRootTitle(int root, int indx) const {
  static const TResourceString titles[] = {SSurfaceMarkersRoot, SObjectMarkersRoot, SPolyLinesRoot};
  QString title = LoadResString(titles[std::clamp(root, 0, 2)]);
  const TControlRadar* set = shell_.Radars->ControlRadar();
  const bool severalRadars = set && shell_.Radars->CountRadarFromMaster() > 1;
  if (severalRadars || CountChannalView > 1) title += QStringLiteral(" #") + QString::number(indx);
  return title;
}

void TView2DForm::PrepareObjectsTreeAll() {
  if (!ObjectsImageList) return;
  while (ObjectsImageList->Count() > kFixedImages) ObjectsImageList->Delete(ObjectsImageList->Count() - 1);
  PredMarkerImageIndex = -1;
  for (int i = 0; i < CountChannalView; ++i) PrepareObjectsTree(i);
}

void TView2DForm::PrepareObjectsTree(int indx) {
  TTreeView* tree = GetObjectsTreeViewByIndx(indx);
  const T2Dview* store = GetView2DByIndx(indx);
  if (!tree || !store) return;
  TTreeNodes& items = *tree->Items();
  while (items.TopCount() < 3) items.AddChild(nullptr, QString());
  for (int root = 0; root < 3; ++root) {
    TTreeNode* node = items.Top(root);
    while (node->Count() > 0) node->Item(node->Count() - 1)->Delete();
    node->SetText(ObjectsRootTitle(root, indx));
  }
  // One cached icon at a time, for one kind of item: an object marker and a
  // polyline of one colour never share an icon.
  const TColor background = tree->Color();
  const auto iconFor = [&](TColor color, const auto& draw) {
    if (PredMarkerImageIndex >= 0 && color == PredMarkerColor) return PredMarkerImageIndex;
    auto icon = NewIcon(background);
    draw(*icon->Canvas());
    PredMarkerColor = color;
    PredMarkerImageIndex = ObjectsImageList->AddMasked(*icon, background);
    return PredMarkerImageIndex;
  };
  const TSettingData& settings = *store->Settings();

  PredMarkerImageIndex = -1;
  if (const TObjectMarkersData* objects = settings.ObjectMarkersArray) {
    for (int i = 0; i < objects->Count(); ++i) {
      TObjectMarker* marker = objects->GetObjectMarker(i);
      TTreeNode* node = items.AddChildObject(items.Top(rootObject), marker->GetComment(), marker);
      const int image = iconFor(marker->GetColor(), [&](TCanvas& canvas) {
        canvas.Pen()->SetColor(marker->GetColor());
        canvas.Brush()->SetStyle(bsClear);
        canvas.Ellipse(2, 1, 13, 15);
        canvas.MoveTo(8, 0);
        canvas.LineTo(8, 14);
        canvas.MoveTo(1, 7);
        canvas.LineTo(16, 7);
      });
      node->SetImageIndex(image);
      node->SetSelectedIndex(image);
    }
  }
  if (const TSurfeMarkersData* surface = settings.SurfaceMarkersArray) {
    for (int i = 0; i < surface->Count(); ++i) {
      TSurfaceMarker* marker = surface->GetSurfaceMarker(i);
      TTreeNode* node = items.AddChildObject(items.Top(rootSurface), marker->GetComment(), marker);
      node->SetImageIndex(kSurfaceImage);
      node->SetSelectedIndex(kSurfaceImage);
    }
  }
  items.Top(rootPolyLine)->SetImageIndex(kPolyLineGroupImage);
  items.Top(rootPolyLine)->SetSelectedIndex(kPolyLineGroupImage);
  PredMarkerImageIndex = -1;
  if (const TPolyLineMarkersArray* polylines = settings.PolyLineMarkersArray) {
    for (int i = 0; i < polylines->Count(); ++i) {
      TPolyLineMarkersData* polyline = polylines->GetPolyLineMarkersArray(i);
      TTreeNode* node = items.AddChildObject(items.Top(rootPolyLine), polyline->GetComment(), polyline);
      const int image = iconFor(polyline->GetMarkColor(), [&](TCanvas& canvas) {
        canvas.Pen()->SetColor(polyline->GetMarkColor());
        canvas.Pen()->SetWidth(2);
        canvas.MoveTo(1, 1);
        canvas.LineTo(14, 14);
      });
      node->SetImageIndex(image);
      node->SetSelectedIndex(image);
    }
  }
  PredMarkerImageIndex = -1;
  for (int root = 0; root < 3; ++root) items.Top(root)->SetExpanded(true);
}

TComponent* TView2DForm::FrameComponent() const { return CurFrame; }

void TView2DForm::FreeMarkerFrame() {
  if (!CurFrame) return;
  TMarkerFrame* frame = CurFrame;
  CurFrame = nullptr;
  frame->Free();
}

void TView2DForm::ObjectsTreeViewChange(TObject* Sender, TTreeNode* /*Node*/) {
  auto* tree = dynamic_cast<TTreeView*>(Sender);
  // Trees emptied while the window goes change their selection too.
  if (!tree || IsDestroying()) return;
  LastNumTreeView = GetIndxByObjectsTreeView(tree);
  CurrentObject = tree->Selected();
  FreeMarkerFrame();
  if (CurrentObject && !CurrentObject->Parent()) {
    TMarkerGroupFrame* frame = nullptr;
    switch (CurrentObject->Index()) {
      case rootSurface: frame = new TSurfaceMarkersFrame(*this); break;
      case rootObject: frame = new TObjectMarkersFrame(*this); break;
      case rootPolyLine: frame = new TPolyLineMarkersFrame(*this); break;
      default: break;
    }
    if (frame) {
      CurFrame = frame;
      frame->SetParent(PropertyObjectsScrollBox);
      frame->SetAlign(alTop);
      frame->UpdateParameters();
    }
  } else if (CurrentObject && !CurrentObject->Parent()->Parent()) {
    void* data = CurrentObject->Data();
    switch (CurrentObject->Parent()->Index()) {
      case rootSurface: {
        auto* frame = new TSurfaceMarkerPropertyFrame(*this);
        CurFrame = frame;
        frame->SetParent(PropertyObjectsScrollBox);
        frame->SetAlign(alTop);
        frame->UpdateParameters(static_cast<TSurfaceMarker*>(data));
        break;
      }
      case rootObject: {
        auto* frame = new TObjectMarkerPropertyFrame(*this);
        CurFrame = frame;
        frame->SetParent(PropertyObjectsScrollBox);
        frame->SetAlign(alTop);
        frame->UpdateParameters(static_cast<TObjectMarker*>(data));
        break;
      }
      case rootPolyLine: {
        auto* frame = new TPolyLineMarkerPropertyFrame(*this);
        CurFrame = frame;
        frame->SetParent(PropertyObjectsScrollBox);
        frame->SetAlign(alTop);
        frame->UpdateParameters(static_cast<TPolyLineMarkersData*>(data));
        frame->PolyLineButtonIndex = 0;
        frame->SelectDownNode = -1;
        break;
      }
      default:
        break;
    }
  }
  for (int i = 0; i < kChannelSlots; ++i) PaintToScreen(i);
}

namespace {

// The first child of root whose data is item; nullptr when none.
TTreeNode* NodeOfItem(TTreeView& tree, int root, const void* item) {
  TTreeNodes& items = *tree.Items();
  if (root >= items.TopCount()) return nullptr;
  TTreeNode* group = items.Top(root);
  for (int i = 0; i < group->Count(); ++i)
    if (group->Item(i)->Data() == item) return group->Item(i);
  return nullptr;
}

}  // namespace

void TView2DForm::ShowObjMarkerFrame(int indxProfile, int NumMarker) {
  TTreeView* tree = GetObjectsTreeViewByIndx(indxProfile);
  const T2Dview* store = GetView2DByIndx(indxProfile);
  if (indxProfile < 0 || !tree || !store || !store->Settings()->ObjectMarkersArray) return;
  const void* item = store->Settings()->ObjectMarkersArray->GetObjectMarker(NumMarker);
  if (TTreeNode* node = item ? NodeOfItem(*tree, rootObject, item) : nullptr) {
    tree->SetSelected(node);
    ObjectsTreeViewChange(tree, node);
  }
}

void TView2DForm::ShowSurfMarkerFrame(int indxProfile, int NumMarker) {
  TTreeView* tree = GetObjectsTreeViewByIndx(indxProfile);
  const T2Dview* store = GetView2DByIndx(indxProfile);
  if (indxProfile < 0 || !tree || !store || !store->Settings()->SurfaceMarkersArray) return;
  const void* item = store->Settings()->SurfaceMarkersArray->GetSurfaceMarker(NumMarker);
  if (TTreeNode* node = item ? NodeOfItem(*tree, rootSurface, item) : nullptr) {
    tree->SetSelected(node);
    ObjectsTreeViewChange(tree, node);
  }
}

void TView2DForm::ShowPolyLineFrame(int indxProfile, int NumInPolyLineMarkersArray) {
  TTreeView* tree = GetObjectsTreeViewByIndx(indxProfile);
  const T2Dview* store = GetView2DByIndx(indxProfile);
  if (indxProfile < 0 || !tree || !store || !store->Settings()->PolyLineMarkersArray) return;
  const void* item = store->Settings()->PolyLineMarkersArray->GetPolyLineMarkersArray(NumInPolyLineMarkersArray);
  if (TTreeNode* node = item ? NodeOfItem(*tree, rootPolyLine, item) : nullptr) {
    tree->SetSelected(node);
    ObjectsTreeViewChange(tree, node);
  }
}

void TView2DForm::DeleteMarkerInTree() {
  TTreeView* tree = GetObjectsTreeViewByIndx(LastNumTreeView);
  T2Dview* store = GetView2DByIndx(LastNumTreeView);
  if (!tree || !store) return;
  TTreeNode* node = tree->Selected();
  if (!node || !node->Parent() || node->Parent()->Parent()) return;
  TSettingData& settings = *store->Settings();
  const int index = node->Index();
  switch (node->Parent()->Index()) {
    case rootSurface:
      if (settings.SurfaceMarkersArray) settings.SurfaceMarkersArray->DeleteMark(index);
      break;
    case rootObject:
      if (settings.ObjectMarkersArray) settings.ObjectMarkersArray->DeleteMark(index);
      break;
    case rootPolyLine:
      if (settings.PolyLineMarkersArray) settings.PolyLineMarkersArray->DeletePolyLineData(index);
      break;
    default:
      return;
  }
  PrepareObjectsTreeAll();
  if (tree->CanFocus()) tree->SetFocus();
  if (tree->OnChange) tree->OnChange(tree, tree->Selected());
  PaintToScreen(LastNumTreeView);
  GPSarrayToMetres();
}

// ---- Tool bar ------------------------------------------------------------------------------

void TView2DForm::AddObjectMarkerToolButtonClick(TObject* /*Sender*/) {
  TpCursorAction = AddObjectMarkerToolButton->Down() ? 1 : 0;
}

void TView2DForm::AddsurfaceMarkerToolButtonClick(TObject* /*Sender*/) {
  TpCursorAction = AddsurfaceMarkerToolButton->Down() ? 3 : 0;
}

void TView2DForm::AddPoliLineToolButtonClick(TObject* /*Sender*/) {
  TpCursorAction = AddPoliLineToolButton->Down() ? 4 : 0;
}

void TView2DForm::DelMarkerToolButtonClick(TObject* /*Sender*/) {
  TpCursorAction = DelMarkerToolButton->Down() ? 2 : 0;
  if (auto* frame = ShownFrame<TPolyLineMarkerPropertyFrame>(); frame && DelMarkerToolButton->Down()) {
    frame->SelectDownNode = -1;
    frame->UpdateParameters(frame->SelectPolyLineMarkersData);
    PaintToScreen(LastNumTreeView);
  }
}

void TView2DForm::cbMarkColorChange(TObject* /*Sender*/) {
  const int item = cbMarkColor->ItemIndex();
  if (item < 0) return;
  const TColor color = marker_texts::MarkColorOfItem(cbMarkColor->Items().at(item));
  for (T2Dview* store : View2D_)
    if (store && store->Settings()->ObjectMarkersArray) store->Settings()->ObjectMarkersArray->SetDefaultColor(color);
}

void TView2DForm::SetNoActiveAddMarkers(bool zeroLevel) {
  const bool topo = TopoCorrSpeedButton && TopoCorrSpeedButton->Down();
  const bool anyDown = zeroLevel || topo || (HandSpeedButton && HandSpeedButton->Down()) ||
                       (WiggleSpeedButton && WiggleSpeedButton->Down());
  if (anyDown) {
    for (TSpeedButton* button : {AddsurfaceMarkerToolButton, AddObjectMarkerToolButton, DelMarkerToolButton})
      if (button) button->SetDown(false);
    // The mouse follows the buttons: only the polyline tool may stay chosen.
    TpCursorAction = AddPoliLineToolButton && AddPoliLineToolButton->Down() ? 4 : 0;
  }
  if (AddObjectMarkerToolButton) AddObjectMarkerToolButton->SetEnabled(!topo);
}

void TView2DForm::LeftPageControlChange(TObject* /*Sender*/) {
  if (shell_.Layout->SimpleMode() && LeftPageControl->ActivePage() != SimpleTabSheet) {
    LeftPageControl->SetActivePage(SimpleTabSheet);
    return;  // the change of page runs this again
  }
  if (LeftPageControl->Width() <= 0 || shell_.Layout->SimpleMode()) return;
  LeftPageControl->SetWidth(LeftPageControl->ActivePage() == GPSTabSheet ? kMarkersPageWidthGps : kMarkersPageWidth);
  ResizePanelsChart();
  ResizeAxis();
  PaintAllScreen();
}

void TView2DForm::MarkersTabSheetHide(TObject* /*Sender*/) {
  for (TSpeedButton* button :
       {AddObjectMarkerToolButton, AddsurfaceMarkerToolButton, AddPoliLineToolButton, DelMarkerToolButton})
    if (button) button->SetDown(false);
  TpCursorAction = 0;
}
