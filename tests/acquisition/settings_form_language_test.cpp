// The settings window takes the new language's texts on a language switch and
// keeps the texts that follow its state.

#include "acquisition/main_form.h"
#include "acquisition/settings_form.h"
#include "acquisition/settings_online.h"

#include "platform/rtl/ini_files.h"
#include "platform/rtl/language_files.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/chart.h"
#include "platform/ui/check_list_box.h"
#include "platform/ui/memo.h"
#include "platform/ui/menus.h"
#include "platform/ui/std_controls.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

namespace settings_form_language_test {

class SettingsLanguage : public TMainWindowTest {
protected:
  void TearDown() override {
    if (form) form->Free();
    TMainWindowTest::TearDown();
  }
  // A control of the window showing exactly this text.
  bool Shows(const QString& text) const {
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* control = dynamic_cast<TControl*>(form->Components(i)); control && control->Caption() == text) return true;
    return false;
  }
  TSettingsForm* form = nullptr;
};

TEST_F(SettingsLanguage, ASwitchRetextsTheWindowBothWays) {
  {
    TMemIniFile module(LanguageModuleFileName(25));
    const std::pair<const char*, const char*> texts[] = {
        {"SGprSettingsCaption", "Настройки георадара"}, {"SSettingsFolder", "Папка"},
        {"SSettingsCurvature", "Кривизна"},            {"SSettingsTriggerMode", "Запуск"},
        {"SSettingsInt", "Внутренний"},                {"SSettingsStartCaption", "Пуск"},
        {"SSettingsAmplitudeN", "Амплитуда №"},        {"SSettingsFile", "Файл"},
        {"SSettingsToolsOnline", "Онлайн"},            {"SSettingsOnlineGainHint", "Усиление онлайн"},
        {"SWaveletCaption", "Вейвлет"},                {"STopoDeviceGps", "ГНСС"}};
    for (const auto& [name, text] : texts)
      module.WriteString(QStringLiteral("Strings"), QString::fromLatin1(name), QString::fromUtf8(text));
    module.UpdateFile();
  }
  // Owned by the application, as the program makes it.
  Application->CreateForm(form);
  ASSERT_EQ(form->FileGroupBox->Caption(), QStringLiteral("Folder"));
  ASSERT_TRUE(Shows(QStringLiteral("Curvature")));
  const QString trigger = form->TriggerModeSpeedButton->Caption();
  // The user's own words stay, even where they read as one of the window's texts.
  form->MemoComments->SetText(QStringLiteral("Folder"));
  form->OnlinePluginCheckListBox->SetChecked(OnlinePluginGainItem, true);

  ASSERT_TRUE(MainWindow->SwitchLanguage(25));
  EXPECT_EQ(form->Caption(), QString::fromUtf8("Настройки георадара"));
  EXPECT_EQ(form->FileGroupBox->Caption(), QString::fromUtf8("Папка"));
  EXPECT_TRUE(Shows(QString::fromUtf8("Кривизна"))) << "a label the window keeps no name of";
  EXPECT_EQ(form->MenuFile->Caption(), QString::fromUtf8("Файл"));
  EXPECT_EQ(form->MenuRun->Caption(), QString::fromUtf8("Пуск"));
  EXPECT_TRUE(form->TriggerModeSpeedButton->Caption().startsWith(QString::fromUtf8("Запуск:")))
      << form->TriggerModeSpeedButton->Caption().toStdString();
  EXPECT_EQ(form->ChartAmp_[2]->TopAxis()->Title(), QString::fromUtf8("Амплитуда №2"));
  EXPECT_EQ(form->MemoComments->Text(), QStringLiteral("Folder"));
  // Texts kept outside the window's own list: the online group, the stage
  // names (their marks stay) and the topo devices.
  EXPECT_EQ(form->GroupBoxPluginOnline->Caption(), QString::fromUtf8("Онлайн"));
  EXPECT_EQ(form->sbGain->Hint(), QString::fromUtf8("Усиление онлайн"));
  EXPECT_EQ(form->OnlinePluginCheckListBox->Items().value(OnlinePluginWaveletItem), QString::fromUtf8("Вейвлет"));
  EXPECT_TRUE(form->OnlinePluginCheckListBox->Checked(OnlinePluginGainItem));
  EXPECT_EQ(form->TopoItems[ttGPS]->Caption(), QString::fromUtf8("ГНСС"));

  ASSERT_TRUE(MainWindow->SwitchLanguage(1033));
  EXPECT_EQ(form->OnlinePluginCheckListBox->Items().value(OnlinePluginWaveletItem), QStringLiteral("Wavelet"));
  EXPECT_EQ(form->TopoItems[ttGPS]->Caption(), QStringLiteral("GPS "));
  EXPECT_EQ(form->FileGroupBox->Caption(), QStringLiteral("Folder"));
  EXPECT_TRUE(Shows(QStringLiteral("Curvature")));
  EXPECT_EQ(form->TriggerModeSpeedButton->Caption(), trigger);
  EXPECT_EQ(form->ChartAmp_[2]->TopAxis()->Title(), QStringLiteral("Amplitude #2"));
}

}  // namespace settings_form_language_test
