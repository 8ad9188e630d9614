#include "acquisition/splash_form.h"

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/cursors.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/url_service.h"

#include <QStringList>

#include <chrono>
#include <cmath>
#include <thread>

std::optional<std::array<uint16_t, 4>> ParseProgramVersion(const QString& text) {
  const QStringList parts = text.split(u'.');
  if (parts.size() != 4) return std::nullopt;
  std::array<uint16_t, 4> version{};
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    const uint value = parts[i].toUInt(&ok);
    if (!ok || value > 0xFFFF) return std::nullopt;
    version[i] = static_cast<uint16_t>(value);
  }
  return version;
}

std::optional<std::array<uint16_t, 4>> ProgramVersion() {
#ifdef TALVORN3_FILE_VERSION
  return ParseProgramVersion(QStringLiteral(TALVORN3_FILE_VERSION));
#else
  return std::nullopt;
#endif
}

QString VersionLabelText(const std::optional<std::array<uint16_t, 4>>& version) {
  if (!version) return {};
  const auto& v = *version;
  return LoadResString(SVersionPrefix) + QStringLiteral("%1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

TSplashForm::TSplashForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(SplashClientWidth);
  SetClientHeight(SplashClientHeight);
  SetKeyPreview(true);

  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetAlign(alClient);
  Panel1->SetColor(clBtnFace);
  // A raised frame: light on the top and left, dark on the bottom and right.
  Panel1->OnPaint = [this](TObject*) {
    TCanvas* canvas = Panel1->Canvas();
    const int w = Panel1->Width(), h = Panel1->Height();
    for (int i = 2; i < 5; ++i) {
      canvas->Pen()->SetColor(clWhite);
      canvas->MoveTo(i, h - 1 - i);
      canvas->LineTo(i, i);
      canvas->LineTo(w - 1 - i, i);
      canvas->Pen()->SetColor(clGray);
      canvas->LineTo(w - 1 - i, h - 1 - i);
      canvas->LineTo(i, h - 1 - i);
    }
  };

  Image1 = new TImage(this);
  Image1->SetParent(Panel1);
  Image1->SetBounds(16, 16, 240, 285);
  DrawPicture();

  Label1 = new TLabel(this);
  Label1->SetParent(Panel1);
  Label1->SetLeft(280);
  Label1->SetTop(40);
  Label1->Font()->SetSize(24);
  Label1->Font()->SetStyle(TFontStyles{fsBold});
  Label1->SetCaption(LoadResString(SProductName));

  VerLabel = new TLabel(this);
  VerLabel->SetParent(Panel1);
  VerLabel->SetLeft(282);
  VerLabel->SetTop(100);

  Label2 = new TLabel(this);
  Label2->SetParent(Panel1);
  Label2->SetLeft(282);
  Label2->SetTop(270);
  Label2->Font()->SetColor(clBlue);
  Label2->Font()->SetStyle(TFontStyles{fsUnderline});
  Label2->SetCursor(crHandPoint);
  Label2->SetCaption(QString::fromUtf16(ProductWebAddress));

  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  for (TControl* control : {static_cast<TControl*>(Panel1), static_cast<TControl*>(Image1),
                            static_cast<TControl*>(Label1), static_cast<TControl*>(VerLabel)})
    control->OnClick = [this](TObject* sender) { Panel1Click(sender); };
  Label2->OnClick = [this](TObject* sender) { Label2Click(sender); };
}

void TSplashForm::FormShow(TObject*) { VerLabel->SetCaption(VersionLabelText(ProgramVersion())); }

void TSplashForm::FormKeyDown(TObject*, WORD& Key, TShiftState) {
  if (Key == VK_ESCAPE) Close();
}

void TSplashForm::Panel1Click(TObject*) { Close(); }

void TSplashForm::Label2Click(TObject*) { ShellOpenUrl(QString::fromUtf16(ProductWebAddress)); }

// Our own picture: reflections under a ground line, as a radargram shows them.
void TSplashForm::DrawPicture() {
  TBitmap* picture = Image1->Picture();
  const int w = Image1->Width(), h = Image1->Height();
  picture->SetSize(w, h);
  picture->SetPixelFormat(pf32bit);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture->ScanLine(y));
    for (int x = 0; x < w; ++x) {
      double v = std::sin(y * 0.35) * std::exp(-y / 180.0);
      for (const auto& [cx, cy] : {std::pair{70.0, 90.0}, std::pair{170.0, 170.0}}) {
        const double d = std::hypot(x - cx, (y - cy) * 1.6);
        v += 0.8 * std::sin(d * 0.45) * std::exp(-std::abs(y - std::hypot(x - cx, cy)) / 6.0);
      }
      const int level = std::clamp(static_cast<int>(128 + 100 * v), 0, 255);
      row[x] = 0xFF000000u | static_cast<uint32_t>(level * 0x010101);
    }
  }
}

void ShowSplash(int milliseconds) {
  auto* splash = new TSplashForm(Application);
  splash->Show();
  splash->Panel1->Repaint();
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  splash->Hide();
  splash->Free();
}

void ShowAbout() {
  auto* about = new TSplashForm(Application);
  about->ShowModal();
}
