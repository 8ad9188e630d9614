#pragma once
// TSplashForm: the splash shown at start and the About box. Borderless, on top
// of every window, centred on the screen, client area 524 x 317; Esc or a click
// anywhere but on the link closes it, the link opens the product's web page.
//
// At start the program shows one for a moment without running its message loop
// (ShowSplash); the About command shows a new one modally, owned by the
// application, each time.
//
// User-interface thread only.

#include "platform/rtl/resource_strings.h"
#include "platform/ui/forms.h"

#include <array>
#include <cstdint>
#include <optional>

class TImage;
class TLabel;
class TPanel;

RESOURCESTRING(SProductName, "Talvorn 3");
RESOURCESTRING(SVersionPrefix, "ver.: ");

// The product's web page behind the splash's link.
inline constexpr char16_t ProductWebAddress[] = u"https://talvorn.example/";

// The four 16-bit fields major, minor, release, build of the program's version
// as the build embeds it ("a.b.c.d"); nullopt for a build without one or with
// a malformed one.
std::optional<std::array<uint16_t, 4>> ParseProgramVersion(const QString& text);
std::optional<std::array<uint16_t, 4>> ProgramVersion();
// "ver.: a.b.c.d", or an empty text without version information.
QString VersionLabelText(const std::optional<std::array<uint16_t, 4>>& version);

class TSplashForm : public TForm {
public:
  static constexpr int SplashClientWidth = 524;
  static constexpr int SplashClientHeight = 317;

  explicit TSplashForm(TComponent* AOwner);

  QString WindowClassName() const override { return QStringLiteral("TSplashForm"); }

  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label1 = nullptr;    // the product name
  TLabel* VerLabel = nullptr;
  TLabel* Label2 = nullptr;    // the web address

  void FormShow(TObject* Sender);
  void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void Panel1Click(TObject* Sender);
  void Label2Click(TObject* Sender);

private:
  void DrawPicture();
};

// The start-up splash: shown and painted at once, left on screen for
// `milliseconds` while the message loop does not run, then freed.
void ShowSplash(int milliseconds);
// The About box: a new splash owned by the application, shown modally.
void ShowAbout();
