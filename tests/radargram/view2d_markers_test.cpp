// The radargram window's Objects page: the trees with their generated icons and
// the one-entry icon cache, root titles, the Delete key, the default marker
// colour and the marker tool bar.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/canvas.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/std_controls.h"
#include "profiledata/digit_edit.h"
#include "radargram/marker_frames.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/page_control.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "radargram/marker_texts.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace view2d_markers_test {

constexpr int kFixedImages = 7;

// A user's click in the middle of the button.
void UserClick(TControl& button) {
  SendMouse(button, maPress, mbLeft, true, false, button.Width() / 2, button.Height() / 2);
  SendMouse(button, maRelease, mbLeft, false, false, button.Width() / 2, button.Height() / 2);
}

class View2DMarkers : public ::testing::Test {
protected:
  TSettingData& Settings(TView2DForm& w, int channel) { return *w.GetView2DByIndx(channel)->Settings(); }
  TTreeNode* Root(TView2DForm& w, int channel, int root) {
    return w.GetObjectsTreeViewByIndx(channel)->Items()->Top(root);
  }
  TRadargramEnv env;
};

TEST_F(View2DMarkers, ObjectMarkersOfOneColourInARowShareAnIcon) {
  TView2DForm* w = env.Create(1);
  TObjectMarkersData& marks = *Settings(*w, 0).ObjectMarkersArray;
  marks.Add(0, clRed, QStringLiteral("a"), 10, 1);
  marks.Add(0, clBlue, QStringLiteral("b"), 10, 2);
  marks.Add(0, clRed, QStringLiteral("c"), 10, 3);
  marks.Add(0, clRed, QStringLiteral("d"), 10, 4);
  w->PrepareObjectsTreeAll();
  EXPECT_EQ(w->ObjectsImageList->Count(), kFixedImages + 3);
  TTreeNode* objects = Root(*w, 0, 1);
  ASSERT_EQ(objects->Count(), 4);
  EXPECT_EQ(objects->Item(0)->Text(), "a");
  EXPECT_EQ(objects->Item(0)->Data(), marks.GetObjectMarker(0));
  EXPECT_NE(objects->Item(0)->ImageIndex(), objects->Item(2)->ImageIndex());
  EXPECT_EQ(objects->Item(2)->ImageIndex(), objects->Item(3)->ImageIndex());
  EXPECT_EQ(objects->Item(3)->SelectedIndex(), objects->Item(3)->ImageIndex());
  // Rebuilding starts the generated icons afresh.
  w->PrepareObjectsTreeAll();
  EXPECT_EQ(w->ObjectsImageList->Count(), kFixedImages + 3);
  w->Free();
}

TEST_F(View2DMarkers, AnObjectMarkerAndAPolylineNeverShareAnIconAlsoAcrossChannels) {
  TView2DForm* w = env.Create(2);
  Settings(*w, 0).ObjectMarkersArray->Add(0, clRed, QStringLiteral("m"), 10, 1);
  Settings(*w, 0).PolyLineMarkersArray->AddPolyLine(clRed, QStringLiteral("1"));
  Settings(*w, 1).PolyLineMarkersArray->AddPolyLine(clRed, QStringLiteral("1"));
  Settings(*w, 1).ObjectMarkersArray->Add(0, clRed, QStringLiteral("m"), 10, 1);
  Settings(*w, 0).SurfaceMarkersArray->Add(0, 5, QStringLiteral("S0"));
  w->PrepareObjectsTreeAll();
  const int object0 = Root(*w, 0, 1)->Item(0)->ImageIndex();
  const int poly0 = Root(*w, 0, 2)->Item(0)->ImageIndex();
  const int poly1 = Root(*w, 1, 2)->Item(0)->ImageIndex();
  const int object1 = Root(*w, 1, 1)->Item(0)->ImageIndex();
  EXPECT_NE(object0, poly0);
  EXPECT_NE(poly0, object1);
  EXPECT_NE(object1, poly1);
  EXPECT_GE(std::min({object0, poly0, poly1, object1}), kFixedImages);
  EXPECT_EQ(Root(*w, 0, 0)->Item(0)->ImageIndex(), 2);
  EXPECT_EQ(Root(*w, 0, 2)->ImageIndex(), 6);
  // Several channels: the roots carry the channel.
  EXPECT_EQ(Root(*w, 1, 0)->Text(), "Surface Markers #1");
  EXPECT_EQ(Root(*w, 0, 2)->Text(), "PolyLines #0");
  // Channel 1's own tree edits channel 1.
  w->GetObjectsTreeViewByIndx(1)->SetSelected(Root(*w, 1, 1)->Item(0));
  EXPECT_EQ(w->LastNumTreeView, 1);
  auto* frame = w->ShownFrame<TObjectMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->curMarker, Settings(*w, 1).ObjectMarkersArray->GetObjectMarker(0));
  w->Free();
}

TEST_F(View2DMarkers, OneChannelsRootsHaveTheirPlainTitles) {
  TView2DForm* w = env.Create(1);
  w->PrepareObjectsTreeAll();
  EXPECT_EQ(Root(*w, 0, 0)->Text(), "Surface Markers");
  EXPECT_EQ(Root(*w, 0, 1)->Text(), "Object Markers");
  EXPECT_EQ(Root(*w, 0, 2)->Text(), "PolyLines");
  w->Free();
}

TEST_F(View2DMarkers, DeleteOnTheObjectsPageDeletesASelectedChildOnly) {
  TView2DForm* w = env.Create(1);
  TSurfeMarkersData& marks = *Settings(*w, 0).SurfaceMarkersArray;
  marks.Add(0, 5, QStringLiteral("S0"));
  marks.Add(0, 9, QStringLiteral("S1"));
  w->PrepareObjectsTreeAll();
  w->LeftPageControl->SetActivePage(w->MarkersTabSheet);
  TTreeView& tree = *w->GetObjectsTreeViewByIndx(0);
  WORD key = VK_DELETE;
  tree.SetSelected(Root(*w, 0, 0));
  w->FormKeyDown(w, key, {});
  EXPECT_EQ(marks.Count(), 2);
  tree.SetSelected(Root(*w, 0, 0)->Item(1));
  w->FormKeyDown(w, key, {});
  ASSERT_EQ(marks.Count(), 1);
  EXPECT_EQ(marks.GetSurfaceMarker(0)->GetComment(), "S0");
  ASSERT_EQ(Root(*w, 0, 0)->Count(), 1);
  EXPECT_EQ(Root(*w, 0, 0)->Item(0)->Text(), "S0");
  // On another page the key leaves the markers alone.
  tree.SetSelected(Root(*w, 0, 0)->Item(0));
  w->LeftPageControl->SetActivePage(w->OperationsTabSheet);
  w->FormKeyDown(w, key, {});
  EXPECT_EQ(marks.Count(), 1);
  w->Free();
}

TEST_F(View2DMarkers, ANewDefaultColourReachesNewObjectMarkersOfAllChannelsOnly) {
  TView2DForm* w = env.Create(5);
  EXPECT_EQ(w->cbMarkColor->Count(), marker_texts::kMarkColorCount);
  EXPECT_EQ(w->cbMarkColor->Text(), "$FF0000");
  TObjectMarkersData& first = *Settings(*w, 0).ObjectMarkersArray;
  first.Add(0, first.GetDefaultColor(), QStringLiteral("old"), 1, 1);
  const TColor old = first.GetObjectMarker(0)->GetColor();
  w->cbMarkColor->SetItemIndex(2);  // "$00FF00"
  w->cbMarkColorChange(w->cbMarkColor);
  for (int i = 0; i < kChannelSlots; ++i) EXPECT_EQ(Settings(*w, i).ObjectMarkersArray->GetDefaultColor(), 0x00FF00);
  EXPECT_EQ(first.GetObjectMarker(0)->GetColor(), old);
  w->Free();
}

TEST_F(View2DMarkers, ToolButtonsChooseTheActionAndTheOtherToolsReleaseThem) {
  TView2DForm* w = env.Create(1);
  UserClick(*w->AddsurfaceMarkerToolButton);
  EXPECT_EQ(w->TpCursorAction, 3);
  UserClick(*w->AddObjectMarkerToolButton);
  EXPECT_EQ(w->TpCursorAction, 1);
  EXPECT_FALSE(w->AddsurfaceMarkerToolButton->Down());
  UserClick(*w->AddObjectMarkerToolButton);
  EXPECT_EQ(w->TpCursorAction, 0);
  UserClick(*w->DelMarkerToolButton);
  EXPECT_EQ(w->TpCursorAction, 2);
  // The hand tool releases the add and delete buttons.
  UserClick(*w->HandSpeedButton);
  EXPECT_FALSE(w->DelMarkerToolButton->Down());
  EXPECT_EQ(w->TpCursorAction, 0);
  // Leaving the Objects page releases every marker button.
  w->LeftPageControl->SetActivePage(w->MarkersTabSheet);
  UserClick(*w->AddPoliLineToolButton);
  EXPECT_EQ(w->TpCursorAction, 4);
  w->LeftPageControl->SetActivePage(w->OperationsTabSheet);
  EXPECT_FALSE(w->AddPoliLineToolButton->Down());
  EXPECT_EQ(w->TpCursorAction, 0);
  w->Free();
}

TEST_F(View2DMarkers, AnOpenPageControlTakesThePagesWidth) {
  TView2DForm* w = env.Create(1);
  w->LeftPageControl->SetActivePage(w->GPSTabSheet);
  EXPECT_EQ(w->LeftPageControl->Width(), 0);  // collapsed stays collapsed
  w->ButtonPanelClick(w->ButtonPanel);
  EXPECT_EQ(w->LeftPageControl->Width(), 463);
  w->LeftPageControl->SetActivePage(w->MarkersTabSheet);
  EXPECT_EQ(w->LeftPageControl->Width(), 270);
  w->LeftPageControl->SetActivePage(w->GPSTabSheet);
  EXPECT_EQ(w->LeftPageControl->Width(), 463);
  // In simple mode only the simple page shows.
  env.shell.simpleMode = true;
  w->LeftPageControl->SetActivePage(w->PalTabSheet);
  EXPECT_EQ(w->LeftPageControl->ActivePage(), w->SimpleTabSheet);
  w->Free();
}

TEST_F(View2DMarkers, TheDefaultColourBoxDrawsAPlusSignInTheItemsColour) {
  TView2DForm* w = env.Create(1);
  TComboBox& box = *w->cbMarkColor;
  box.DrawItem(0, Rect(0, 0, 40, 20), {});
  TCanvas& canvas = *box.Canvas();
  EXPECT_EQ(canvas.Pixels(20, 10), clRed);  // the middle: both bars
  EXPECT_EQ(canvas.Pixels(3, 10), clRed);   // the horizontal bar
  EXPECT_EQ(canvas.Pixels(20, 7), clRed);   // the vertical bar
  EXPECT_NE(canvas.Pixels(3, 3), clRed);    // no outline
  EXPECT_NE(canvas.Pixels(20, 3), clRed);   // the vertical bar ends 6 pixels in
  w->Free();
}

class View2DFrames : public View2DMarkers {
protected:
  // One channel of traces 10 .. 210 placed by a 50 mm step with a start offset of 0.25 m.
  TView2DForm* Window() {
    TView2DForm* w = env.Create(1);
    T2Dview& store = *w->GetView2DByIndx(0);
    store.SetMinNumTraces(10);
    store.SetMaxNumTraces(210);
    TSettingData& s = *store.Settings();
    s.SetTopoType(ttWheel);
    s.SetWheelMult(1);
    s.SetWheelStep(50);
    s.SetStartXShift(25000);
    return w;
  }
  void Select(TView2DForm& w, int root, int child) {
    TTreeView& tree = *w.GetObjectsTreeViewByIndx(0);
    TTreeNode* node = tree.Items()->Top(root);
    if (child >= 0) node = node->Item(child);
    tree.SetSelected(node);
  }
};

TEST_F(View2DFrames, TraceLimitsOfTheSurfaceAndTheObjectFrame) {
  TView2DForm* w = Window();
  Settings(*w, 0).SurfaceMarkersArray->Add(0, 30, QStringLiteral("S0"));
  Settings(*w, 0).ObjectMarkersArray->Add(0, clRed, QStringLiteral("M0"), 5, 30);
  w->PrepareObjectsTreeAll();
  Select(*w, 0, 0);
  auto* surface = w->ShownFrame<TSurfaceMarkerPropertyFrame>();
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->TraceNumberDigitEdit->MinVal(), 10);
  EXPECT_EQ(surface->TraceNumberDigitEdit->MaxVal(), 210);
  EXPECT_EQ(surface->DistanceLabel->Caption(), "Distance on profile 1.25 m");
  Select(*w, 1, 0);
  EXPECT_EQ(w->ShownFrame<TSurfaceMarkerPropertyFrame>(), nullptr);
  auto* object = w->ShownFrame<TObjectMarkerPropertyFrame>();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->TraceNumberDigitEdit->MaxVal(), 209);
  EXPECT_EQ(object->NumSampleMarkDigitEdit->ValueInt(), 5);
  EXPECT_EQ(object->ColorPanel->Color(), clRed);
  // A drag beyond the range is held at the edit's limit.
  object->MoveNode(400, 7);
  EXPECT_EQ(Settings(*w, 0).ObjectMarkersArray->GetObjectMarker(0)->GetNumTrace(), 209);
  EXPECT_EQ(Settings(*w, 0).ObjectMarkersArray->GetObjectMarker(0)->GetNumSample(), 7);
  w->Free();
}

TEST_F(View2DFrames, DistanceLeavesTheOffsetOutInAContainerAndIsNegativeWhenFlipped) {
  TView2DForm* w = Window();
  Settings(*w, 0).SurfaceMarkersArray->Add(0, 30, QStringLiteral("S0"));
  w->PrepareObjectsTreeAll();
  w->SetCaption(QStringLiteral("profile.frn"));
  Select(*w, 0, 0);
  EXPECT_EQ(w->ShownFrame<TSurfaceMarkerPropertyFrame>()->DistanceLabel->Caption(), "Distance on profile 1.00 m");
  w->SetCaption(QStringLiteral("profile.dezo"));
  Settings(*w, 0).SetWasFlip(true);
  Select(*w, 0, -1);
  Select(*w, 0, 0);
  EXPECT_EQ(w->ShownFrame<TSurfaceMarkerPropertyFrame>()->DistanceLabel->Caption(), "Distance on profile -1.25 m");
  w->Free();
}

TEST_F(View2DFrames, FillingAFrameNeverWritesBackAlsoWhenAnEditClamps) {
  TView2DForm* w = Window();
  TObjectMarkersData& marks = *Settings(*w, 0).ObjectMarkersArray;
  marks.Add(0, clRed, QStringLiteral("far"), 9000, 500);
  w->PrepareObjectsTreeAll();
  w->GetView2DByIndx(0)->SetNeedForSave(false);
  Settings(*w, 0).SetNeedForSave(false);
  Select(*w, 1, 0);
  auto* frame = w->ShownFrame<TObjectMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->TraceNumberDigitEdit->ValueInt(), 209);
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumTrace(), 500);
  EXPECT_EQ(marks.GetObjectMarker(0)->GetNumSample(), 9000);
  EXPECT_FALSE(w->GetView2DByIndx(0)->GetNeedForSave());
  // A typed comment goes into the marker and its node.
  frame->CommentEdit->SetText(QStringLiteral("pipe"));
  EXPECT_EQ(marks.GetObjectMarker(0)->GetComment(), "pipe");
  EXPECT_EQ(w->GetObjectsTreeViewByIndx(0)->Selected()->Text(), "pipe");
  w->Free();
}

TEST_F(View2DFrames, APolylineWithoutAShownNodeHidesItsPosition) {
  TView2DForm* w = Window();
  TPolyLineMarkersData& line = *Settings(*w, 0).PolyLineMarkersArray->AddPolyLine(0x00FF00, QStringLiteral("1"));
  line.AddMark(-1, 20, 4);
  line.SetWeight(3);
  w->PrepareObjectsTreeAll();
  Select(*w, 2, 0);
  auto* frame = w->ShownFrame<TPolyLineMarkerPropertyFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->SelectDownNode, -1);
  EXPECT_FALSE(frame->PositionGroup->Visible());
  EXPECT_EQ(frame->SizePenComboBox->ItemIndex(), 3);
  EXPECT_EQ(frame->PenComboBox->ItemIndex(), 2);
  EXPECT_EQ(frame->PenComboBox->Count(), marker_texts::kMarkColorCount);
  frame->SelectNode = 0;
  frame->SetSelectDownNode();
  frame->UpdateParameters(&line);
  EXPECT_TRUE(frame->PositionGroup->Visible());
  EXPECT_EQ(frame->TraceNumberDigitEdit->ValueInt(), 20);
  // A nil polyline hides it and leaves the frame without repainting.
  frame->UpdateParameters(nullptr);
  EXPECT_FALSE(frame->PositionGroup->Visible());
  EXPECT_FALSE(frame->NeedRepaint);
  w->Free();
}

TEST_F(View2DFrames, GroupFramesSwitchVisibilityAndHideTheCommentsBox) {
  TView2DForm* w = Window();
  w->PrepareObjectsTreeAll();
  Select(*w, 0, -1);
  auto* frame = w->ShownFrame<TSurfaceMarkersFrame>();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->VisibleCheckBox->Checked());
  EXPECT_TRUE(frame->ShowCommentsCheckBox->Visible());
  frame->VisibleCheckBox->SetChecked(false);
  frame->VisibleCheckBox->OnClick(frame->VisibleCheckBox);
  EXPECT_FALSE(w->ShowSurfaceMarkers);
  EXPECT_FALSE(frame->ShowCommentsCheckBox->Visible());
  Select(*w, 2, -1);
  auto* poly = w->ShownFrame<TPolyLineMarkersFrame>();
  ASSERT_NE(poly, nullptr);
  w->ShowPolyLineMarkers = false;
  poly->UpdateParameters();
  EXPECT_TRUE(poly->ShowCommentsCheckBox->Visible());
  w->Free();
}

}  // namespace view2d_markers_test
