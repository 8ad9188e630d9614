#include "tools/abs_form.h"

#include "platform/rtl/resource_strings.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/edit_controls.h"
#include "platform/ui/image_list.h"
#include "platform/ui/std_controls.h"
#include "tools/abs_tool.h"
#include "tools/tool_icons.h"

RESOURCESTRING(SAbsFormCaption, "Rectifier");
RESOURCESTRING(SAbsModeGroupCaption, "Rectifier Mode");
RESOURCESTRING(SAbsFullWaveCaption, "Full Wave");
RESOURCESTRING(SAbsFullWaveHint, "Full Wave rectifier");
RESOURCESTRING(SAbsPositiveCaption, "Positive");
RESOURCESTRING(SAbsPositiveHint, "Unipolar positive rectifier");
RESOURCESTRING(SAbsNegativeCaption, "Negative");
RESOURCESTRING(SAbsNegativeHint, "Unipolar negative rectifier");

namespace {
struct TModeButton {
  const TResourceString& Caption;
  const TResourceString& Hint;
  const char* Picture;
  TRectifierMode Mode;
};
const TModeButton ModeButtons[] = {
    {SAbsFullWaveCaption, SAbsFullWaveHint, "RECTIFIER_FULL", TRectifierMode::FullWave},
    {SAbsPositiveCaption, SAbsPositiveHint, "RECTIFIER_POSITIVE", TRectifierMode::Positive},
    {SAbsNegativeCaption, SAbsNegativeHint, "RECTIFIER_NEGATIVE", TRectifierMode::Negative},
};
}  // namespace

TAbsForm::TAbsForm(TComponent* AOwner) : TToolForm(AOwner) {
  SetCaption(LoadResString(SAbsFormCaption));
  SetClientWidth(251);
  SetClientHeight(231);

  EditCaption->SetBounds(8, 8, 235, 21);

  RectifierModeGroupBox = new TGroupBox(this);
  RectifierModeGroupBox->SetParent(this);
  RectifierModeGroupBox->SetBounds(8, 36, 235, 121);
  RectifierModeGroupBox->SetCaption(LoadResString(SAbsModeGroupCaption));

  ModeImages = new TImageList(this);
  ModeImages->SetSize(ToolIconSize, ToolIconSize);
  RectifierModeToolBar = new TToolBar(this);
  RectifierModeToolBar->SetParent(RectifierModeGroupBox);
  RectifierModeToolBar->SetBounds(8, 20, 219, 93);
  RectifierModeToolBar->SetImages(ModeImages);

  TToolButton** buttons[] = {&FullToolButton, &PositiveToolButton, &NegativeToolButton};
  for (int i = 0; i < 3; ++i) {
    const TModeButton& mode = ModeButtons[i];
    TBitmap picture;
    LoadToolIcon(QString::fromLatin1(mode.Picture), picture);
    ModeImages->Add(picture);
    auto* button = new TToolButton(this);
    button->SetStyle(tbsCheck);
    button->SetGrouped(true);
    button->SetParent(RectifierModeToolBar);
    button->SetBounds(0, i * 31, 219, 30);
    button->SetCaption(LoadResString(mode.Caption));
    button->SetHint(LoadResString(mode.Hint));
    button->SetImageIndex(i);
    button->SetTag(static_cast<int>(mode.Mode));
    button->OnClick = [this](TObject* sender) { ModeButtonClick(sender); };
    *buttons[i] = button;
  }
  FullToolButton->SetDown(true);

  ExecCheckBox->SetBounds(8, 166, 97, 17);
  OKBitBtn->SetBounds(88, 196, 75, 25);
  CancelBitBtn->SetBounds(168, 196, 75, 25);
}

TAbsTool& TAbsForm::AbsTool() const { return static_cast<TAbsTool&>(*Tool); }

void TAbsForm::DisplayToolParam() {
  switch (AbsTool().RectifierMode) {
    case TRectifierMode::Positive: PositiveToolButton->SetDown(true); break;
    case TRectifierMode::Negative: NegativeToolButton->SetDown(true); break;
    default: FullToolButton->SetDown(true); break;
  }
}

void TAbsForm::ModeButtonClick(TObject* Sender) {
  if (!Tool) return;
  const auto* button = dynamic_cast<const TToolButton*>(Sender);
  if (button) AbsTool().RectifierMode = static_cast<TRectifierMode>(button->Tag());
  ExecCheckBoxClick(Sender);
}
