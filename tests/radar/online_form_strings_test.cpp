// The online stage dialogs take every caption from the language module: with a
// module that marks each text, no English literal is left on a dialog.

#include "radar/online_background_removal_form.h"
#include "radar/online_form_strings.h"
#include "radar/online_gain_form.h"
#include "radar/online_wavelet_form.h"

#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/std_controls.h"

#include <gtest/gtest.h>

namespace {

constexpr int kMarkedLocale = 16;  // a module of this test's own

// Registers a module that gives "<name>*" for every listed text and selects it;
// English again at the end.
class MarkedLanguage {
public:
  explicit MarkedLanguage(std::initializer_list<TResourceString> texts) {
    QHash<QString, QString> module;
    for (const TResourceString& text : texts) module.insert(QLatin1String(text.name), Marked(text));
    RegisterLanguageModule(kMarkedLocale, module);
    SetResourceLanguage(kMarkedLocale);
  }
  ~MarkedLanguage() {
    SetResourceLanguage(1033);
    RegisterLanguageModule(kMarkedLocale, {});
  }
  static QString Marked(const TResourceString& text) { return QLatin1String(text.name) + u'*'; }
};

TEST(OnlineFormStrings, EveryCaptionComesFromTheLanguageModule) {
  const MarkedLanguage language{SOnlineApplyCaption,  SOnlineOkCaption,          SOnlineGainFormCaption,
                                SGainDbCaption,       SNullCaption,              SGainCancelCaption,
                                SOnlineWaveletFormCaption, STimeNsCaption,       STimeScaleNsCaption,
                                SOnlineBackgroundRemovalFormCaption, SWidthOfWindowCaption};
  const auto marked = &MarkedLanguage::Marked;

  auto* gain = TComponent::Create<TOnlineTVGCForm>(nullptr);
  EXPECT_EQ(gain->Caption(), marked(SOnlineGainFormCaption));
  EXPECT_EQ(gain->Label1->Caption(), marked(SGainDbCaption));
  EXPECT_EQ(gain->ExecCheckBox->Caption(), marked(SOnlineApplyCaption));
  EXPECT_EQ(gain->BitBtn1->Caption(), marked(SNullCaption));
  EXPECT_EQ(gain->CancelBitBtn->Caption(), marked(SGainCancelCaption));
  EXPECT_EQ(gain->OKBitBtn->Caption(), marked(SOnlineOkCaption));
  gain->Free();

  auto* wavelet = TComponent::Create<TOnlineWaveletForm>(nullptr);
  EXPECT_EQ(wavelet->Caption(), marked(SOnlineWaveletFormCaption));
  EXPECT_EQ(wavelet->Chart1->LeftAxis()->Title(), marked(STimeNsCaption));
  EXPECT_EQ(wavelet->Label1->Caption(), marked(STimeScaleNsCaption));
  EXPECT_EQ(wavelet->ExecCheckBox->Caption(), marked(SOnlineApplyCaption));
  EXPECT_EQ(wavelet->OKBitBtn->Caption(), marked(SOnlineOkCaption));
  wavelet->Free();

  auto* background = TComponent::Create<TOnlineWindowedBackgroundRemovalForm>(nullptr);
  EXPECT_EQ(background->Caption(), marked(SOnlineBackgroundRemovalFormCaption));
  EXPECT_EQ(background->Label1->Caption(), marked(SWidthOfWindowCaption));
  EXPECT_EQ(background->ExecCheckBox->Caption(), marked(SOnlineApplyCaption));
  EXPECT_EQ(background->OKBitBtn->Caption(), marked(SOnlineOkCaption));
  background->Free();
}

}  // namespace
