// The topo devices' pictures: one distinct picture per device, given to every
// item of the settings window's topo menu and drawn by it, and shown beside the
// device's name when the operator chooses one (the program started in this
// process, offscreen, with its own program folder; no radar).

#include "acquisition/main_form.h"
#include "acquisition/program_startup.h"
#include "acquisition/settings_form.h"
#include "acquisition/topo_pictures.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/adv_popup_menu.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/image_list.h"
#include "platform/ui/keys.h"
#include "platform/ui/menus.h"
#include "platform/ui/std_controls.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/support/fake_device_tree.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

namespace settings_topo_pictures_test {

void Key(TSettingsForm& form, WORD key) { form.OnKeyDown(&form, key, TShiftState{}); }

QImage Picture(TTopoType type) {
  TBitmap bitmap;
  DrawTopoPicture(type, bitmap);
  return bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

// The count of pixels where the 32 x 32 block of `shown` at (left, top) differs
// from the picture (every pixel when the block does not fit).
int DifferingPixels(const QImage& shown, int left, int top, const QImage& picture) {
  if (shown.width() < left + TopoPictureSize || shown.height() < top + TopoPictureSize)
    return TopoPictureSize * TopoPictureSize;
  int differing = 0;
  for (int y = 0; y < TopoPictureSize; ++y)
    for (int x = 0; x < TopoPictureSize; ++x)
      if ((shown.pixel(left + x, top + y) & 0xFFFFFFu) != (picture.pixel(x, y) & 0xFFFFFFu)) ++differing;
  return differing;
}

TEST(TopoPictures, EveryDeviceHasItsOwnPictureAndTheListHoldsThemByValue) {
  const QImage blank = Picture(ttNil);
  ASSERT_EQ(blank.size(), QSize(TopoPictureSize, TopoPictureSize));
  for (int a = 1; a < TopoTypeCount; ++a) {
    const QImage first = Picture(static_cast<TTopoType>(a));
    ASSERT_EQ(first.size(), blank.size());
    // A real drawing, not the blank tile with a speck on it.
    EXPECT_GT(DifferingPixels(first, 0, 0, blank), 60) << a;
    for (int b = a + 1; b < TopoTypeCount; ++b)
      EXPECT_GT(DifferingPixels(first, 0, 0, Picture(static_cast<TTopoType>(b))), 10) << a << " vs " << b;
  }
  TImageList list(nullptr);
  FillTopoPictures(list);
  ASSERT_EQ(list.Count(), TopoTypeCount);
  EXPECT_EQ(list.Width(), TopoPictureSize);
  EXPECT_EQ(list.Height(), TopoPictureSize);
  for (int value = 0; value < TopoTypeCount; ++value)
    EXPECT_EQ(DifferingPixels(list.Image(value).convertToFormat(QImage::Format_RGB32), 0, 0,
                              Picture(static_cast<TTopoType>(value))),
              0)
        << value;
}

class SettingsTopoPictures : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(program.isValid());
    ASSERT_TRUE(runtime.isValid());
    SetProgramFolder(program.path() + u'/');
    SetIpcRuntimeFolder(runtime.path());
    SetDeviceRoots(tree.Roots());
    const QString data = program.path() + QStringLiteral("/surveys/");
    ASSERT_TRUE(QDir().mkpath(data));
    TMemIniFile ini(MainIniFileName());
    ini.WriteString(QStringLiteral("WIFI"), QStringLiteral("IP address"), QString());
    ini.WriteString(QStringLiteral("General"), QStringLiteral("LastFolder"), data);
    ini.UpdateFile();
    StartAcquisitionProgram({QStringLiteral("create")}, 0);
    ASSERT_NE(MainWindow, nullptr);
    form = SettingsForm;
    ASSERT_NE(form, nullptr);
  }
  void TearDown() override {
    if (MainWindow) MainWindow->Free();
    for (int i = Application->ComponentCount() - 1; i >= 0; --i)
      if (auto* settings = dynamic_cast<TSettingsForm*>(Application->Components(i))) settings->Free();
    TDialogScript::Reset();
    SetDeviceRoots({});
    SetIpcRuntimeFolder({});
    SetProgramFolder(QString());
  }
  // "GPR settings" shown modally; `work` runs while it is shown, then OK.
  void ShowSettings(const std::function<void(TSettingsForm&)>& work) {
    bool ran = false;
    TDialogScript::QueueModal([&](TForm&) {
      ran = true;
      work(*form);
      form->SetModalResult(mrOk);
    });
    MainWindow->GprSettingsMenuItem->Click();
    EXPECT_TRUE(ran);
  }

  QTemporaryDir program;
  QTemporaryDir runtime;
  TFakeDeviceTree tree;
  TSettingsForm* form = nullptr;
};

TEST_F(SettingsTopoPictures, EveryTopoItemDrawsItsDevicePicture) {
  TAdvPopupMenu& menu = *form->TopoTypePopupMenu;
  for (int value = 1; value < TopoTypeCount; ++value) {
    TMenuItem* item = form->TopoItems[static_cast<size_t>(value)];
    ASSERT_NE(item, nullptr) << value;
    EXPECT_EQ(menu.PictureSize(item), (TPoint{TopoPictureSize, TopoPictureSize})) << value;
    // The row as the shown menu draws it: the picture at the text indent.
    TBitmap row;
    row.SetPixelFormat(pf24bit);
    int width = 0, height = 0;
    menu.MeasureItem(item, *row.Canvas(), width, height);
    ASSERT_GE(height, TopoPictureSize) << value;
    row.SetSize(width, height);
    row.Canvas()->FillRect(Rect(0, 0, width, height));
    menu.AdvancedDrawItem(item, *row.Canvas(), Rect(0, 0, width, height), TOwnerDrawState{});
    EXPECT_EQ(DifferingPixels(row.Image().convertToFormat(QImage::Format_RGB32), TAdvPopupMenu::TextIndent, 0,
                              Picture(static_cast<TTopoType>(value))),
              0)
        << value;
  }
}

TEST_F(SettingsTopoPictures, ChoosingADeviceShowsItsPictureAndNameAndNoDeviceKeepsThem) {
  ShowSettings([&](TSettingsForm& f) {
    Key(f, VK_F1 + 8);  // External: the topo device group shows
    ASSERT_TRUE(f.GroupBoxOdometer->Visible());
    const auto shown = [&] { return f.TopoTypeImage->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    QImage before = shown();
    for (TTopoType type : {ttTrolleyA, ttGPS, ttWheel, ttUnitWheelB, ttCustom}) {
      TMenuItem* item = f.TopoItems[type];
      item->Click();
      ASSERT_EQ(f.st->GetTopoType(), type);
      const QImage now = shown();
      EXPECT_EQ(DifferingPixels(now, 0, 0, Picture(type)), 0) << int(type);
      EXPECT_GT(DifferingPixels(now, 0, 0, before), 10) << int(type);
      EXPECT_EQ(f.TopoTitleLabel->Caption(), item->Caption());
      EXPECT_TRUE(item->Checked());
      before = now;
    }
    // Trigger mode Internal, and no device remembered: the window keeps the
    // picture and the name of the last device.
    Key(f, VK_F1 + 7);
    const QString name = f.TopoTitleLabel->Caption();
    f.SetLastTopoType(ttNil);
    f.RefreshForm();
    ASSERT_EQ(f.st->GetTopoType(), ttNil);
    EXPECT_EQ(DifferingPixels(f.TopoTypeImage->Picture()->Image().convertToFormat(QImage::Format_RGB32), 0, 0,
                              Picture(ttCustom)),
              0);
    EXPECT_EQ(f.TopoTitleLabel->Caption(), name);
    f.SetLastTopoType(ttCustom);
  });
}

}  // namespace settings_topo_pictures_test
