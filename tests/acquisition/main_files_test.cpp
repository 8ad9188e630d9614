// The main window's file commands a recording needs: the next free file number
// (also after a name whose number cannot be read), Create proposing a free name
// when its own exists, and Writing: what is written under which name, and that a
// failed or cancelled write leaves the recording unsaved and says so. Also the
// rules that pick the writer, the command states of a run and Direction.

#include "acquisition/main_form.h"

#include "acquisition/radar_discovery.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/channel_store.h"
#include "profiledata/inclinometer_table.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <limits>
#include <vector>

namespace main_files_test {

void Touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(FreeFileNumber, TheNumberAfterThePrefixThenPastEveryExistingFile) {
  QTemporaryDir dir;
  const QString f = dir.path() + u'/';
  for (int n : {7, 8, 9}) Touch(f + QStringLiteral("p_%1.dezo").arg(n));
  Touch(f + QStringLiteral("p_1.dezo"));
  Touch(f + QStringLiteral("p_21.frn"));  // only ".dezo" files take a number
  struct TCase {
    QString name;
    int32_t expected;
  };
  const TCase cases[] = {
      {f + QStringLiteral("p_7.dezo"), 10},
      {f + QStringLiteral("p_6.frn"), 10},
      {f + QStringLiteral("p_20.dezo"), 21},
      {f + QStringLiteral("p_.dezo"), 2},     // nothing after the prefix: 0
      {f + QStringLiteral("p_abc.dezo"), 2},  // no number after the prefix: 0
      {f + QStringLiteral("p_99999999999.dezo"), std::numeric_limits<int32_t>::max()},
      {f + QStringLiteral("sub/p_3.dezo"), 4},  // the name's own folder
  };
  for (const TCase& c : cases) EXPECT_EQ(FreeFileNumber(c.name, QStringLiteral("p_")), c.expected) << c.name.toStdString();
}

TEST(WriteKind, SingleFilesOrTheContainer) {
  struct TCase {
    TWriteKindInput input;
    bool single;
  };
  const QString dezo = QStringLiteral("/d/a.dezo"), frn = QStringLiteral("/d/a.frn");
  const TCase cases[] = {
      {{true, dezo, false, true, tpArc}, true},  // read from a file: by the name alone
      {{true, frn, true, false, tpLinear}, false},
      {{false, dezo, true, false, tpLinear}, true},
      {{false, dezo, false, false, tpLinear}, false},  // several channels
      {{false, dezo, true, true, tpLinear}, false},    // a multi-channel unit
      {{false, dezo, true, false, tpArc}, false},      // an arc profile
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(WritesSingleFiles(cases[i].input), cases[i].single) << i;
}

TEST(DeviceNames, TheIdTextInAnyCaseAndThePortInTheLastParentheses) {
  const QString id = QStringLiteral("VID_c251&PID_9705");
  EXPECT_TRUE(DeviceNameMatches(QStringLiteral("USB\\VID_C251&PID_9705\\ttyACM0"), id));
  EXPECT_FALSE(DeviceNameMatches(QStringLiteral("USB\\VID_C251&PID_9706\\ttyACM0"), id));
  EXPECT_FALSE(DeviceNameMatches(QStringLiteral("anything"), QString()));
  EXPECT_EQ(PortOfFriendlyName(QStringLiteral("Ground Penetrating Radar (x) (/dev/ttyACM0)")),
            QStringLiteral("/dev/ttyACM0"));
}

class MainFiles : public TMainWindowTest {
protected:
  size_t Boxes() const { return TDialogScript::Shown().size(); }
};

TEST_F(MainFiles, CreateProposesTheNextFreeNumberWhenItsNameExists) {
  for (int n : {7, 8, 9}) Touch(data + QStringLiteral("p_%1.dezo").arg(n));
  EXPECT_EQ(MainWindow->GetFreeNumCount(data + QStringLiteral("p_7.dezo")), 10);
  TDialogScript::QueueAnswer(mrYes);
  MainWindow->CreateActionExecute();
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 1u);
  const QString existing = data + QStringLiteral("p_7.dezo");
  EXPECT_EQ(shown[0].Text, QStringLiteral("File %1 already exists.\r\nChange file name from %1 to p_10.dezo ?").arg(existing));
  TView2DForm* window = MainWindow->CurChild();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Caption(), data + QStringLiteral("p_10.dezo"));
  EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetFileName(), data + QStringLiteral("p_10.dezo"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 11);
  EXPECT_EQ(window->FileCount(), 10);
  EXPECT_EQ(window->FilePrefix(), QStringLiteral("p_"));
}

TEST_F(MainFiles, CreateWithAFreeNameAsksNothingAndReplacesTheWindowOfTheLastRecording) {
  MainWindow->CreateActionExecute();
  TView2DForm* first = MainWindow->CurChild();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Caption(), data + QStringLiteral("p_7.dezo"));
  EXPECT_EQ(MainWindow->GlobalCountFiles(), 8);
  MainWindow->CreateActionExecute();
  ASSERT_EQ(MainWindow->RadargramWindows().size(), 1u) << "the window that was not opened from a file went";
  EXPECT_EQ(MainWindow->CurChild()->Caption(), data + QStringLiteral("p_8.dezo"));
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(MainFiles, CreateWhileTheLastRecordingIsUnsavedAsksAndStops) {
  Recording(3);
  TView2DForm* window = MainWindow->CurChild();
  TDialogScript::QueueAnswer(mrNo);
  MainWindow->CreateActionExecute();
  ASSERT_EQ(Boxes(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, QStringLiteral("To continue, you must save the last profile!"));
  EXPECT_EQ(MainWindow->CurChild(), window) << "the recording stays";
  EXPECT_FALSE(window->WheelHandlerEnabled);
}

TEST_F(MainFiles, WritingARecordingMarksItSavedOnlyOnceItIsWritten) {
  TView2DForm* window = Recording(3);
  T2Dview* first = window->GetView2DByIndx(0);
  ASSERT_TRUE(first->GetNeedForSave());
  const QString target = window->Caption();
  ASSERT_TRUE(MainWindow->WriteToFileChannal(1, QString()));
  EXPECT_TRUE(FileExists(target));
  EXPECT_GT(QFileInfo(target).size(), 3 * first->Settings()->GetLongTrace() * 4);
  EXPECT_FALSE(first->GetNeedForSave());
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(MainFiles, AWriteThatFailsLeavesTheRecordingUnsavedAndSaysSo) {
  TView2DForm* window = Recording(3);
  T2Dview* first = window->GetView2DByIndx(0);
  // The target is taken by a folder: the channel cannot be written there.
  ASSERT_TRUE(QDir().mkpath(window->Caption()));
  TDialogScript::QueueAnswer(mrOk);
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(MainWindow->WriteToFileChannal(1, QString()));
  const auto shown = TDialogScript::Shown();
  ASSERT_GE(shown.size(), 2u) << "the channel's own report, then the save's";
  EXPECT_EQ(shown.back().Text, QStringLiteral("The profile has not been saved."));
  EXPECT_TRUE(first->GetNeedForSave());
}

TEST_F(MainFiles, ACancelledSaveDialogLeavesTheRecordingUnsavedAndSaysSo) {
  TView2DForm* window = Recording(3);
  T2Dview* first = window->GetView2DByIndx(0);
  const QString gone = program.path() + QStringLiteral("/gone/x.dezo");
  TDialogScript::QueueFiles({{}, std::nullopt});
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(MainWindow->WriteToFileChannal(1, gone));
  const auto shown = TDialogScript::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Kind, dkSaveFile);
  EXPECT_EQ(shown[0].InitialFolder, data);
  EXPECT_EQ(shown[1].Text, QStringLiteral("The profile has not been saved."));
  EXPECT_TRUE(first->GetNeedForSave());
  EXPECT_FALSE(FileExists(gone));

  // Chosen in the dialog: written there, and LastFolder follows.
  const QString chosen = data + QStringLiteral("chosen.dezo");
  TDialogScript::QueueFiles({{}, std::vector<QString>{chosen}});
  EXPECT_TRUE(MainWindow->WriteToFileChannal(1, gone));
  EXPECT_TRUE(FileExists(chosen));
  EXPECT_EQ(window->Caption(), chosen);
  EXPECT_EQ(MainWindow->Settings.LastFolder, data);
  EXPECT_FALSE(first->GetNeedForSave());
}

// A window of three channels; traces in the channels given.
TView2DForm* ThreeChannels(std::initializer_list<int> withTraces) {
  SetNewViewChannalCount(3);
  MainWindow->SetflNewCreate(true);
  TView2DForm* window = MainWindow->NewView2DForm();
  MainWindow->SetCurChild(window);
  for (int i : withTraces) {
    T2Dview* store = window->GetView2DByIndx(i);
    std::vector<int32_t> samples(static_cast<size_t>(store->Settings()->GetLongTrace()), i + 1);
    for (int k = 0; k < 2; ++k) store->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {});
    store->PackTraces();
  }
  window->GetView2DByIndx(0)->SetNeedForSave(true);
  return window;
}

TEST_F(MainFiles, AProfileReadFromAFileWithSeveralChannelsIsWrittenOneFilePerChannelWithTraces) {
  TView2DForm* window = ThreeChannels({0, 2});
  ASSERT_EQ(window->CountChannalView, 3);
  window->GetView2DByIndx(0)->WasOpen = true;
  const QString base = data + QStringLiteral("line");
  ASSERT_TRUE(MainWindow->WriteToFileChannal(3, base + QStringLiteral(".dezo")));
  EXPECT_TRUE(FileExists(base + QStringLiteral("_0.dezo")));
  EXPECT_FALSE(FileExists(base + QStringLiteral("_1.dezo"))) << "no traces";
  EXPECT_TRUE(FileExists(base + QStringLiteral("_2.dezo")));
  EXPECT_FALSE(window->GetView2DByIndx(0)->GetNeedForSave());

  // One channel that cannot be written: nothing is marked saved.
  window->GetView2DByIndx(0)->SetNeedForSave(true);
  ASSERT_TRUE(QFile::remove(base + QStringLiteral("_2.dezo")));
  ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("_2.dezo")));
  TDialogScript::QueueAnswer(mrOk);
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(MainWindow->WriteToFileChannal(3, base + QStringLiteral(".dezo")));
  EXPECT_EQ(TDialogScript::Shown().back().Text, QStringLiteral("The profile has not been saved."));
  EXPECT_TRUE(window->GetView2DByIndx(0)->GetNeedForSave());
}

TEST_F(MainFiles, ARecordingOfSeveralChannelsIsWrittenAsTheContainer) {
  TView2DForm* window = ThreeChannels({0, 1});
  ASSERT_FALSE(MainWindow->isActiveMDIChild_OneChannal());
  ASSERT_TRUE(MainWindow->WriteToFileChannal(3, QString()));
  const QString container =
      ChangeFileExt(window->GetView2DByIndx(0)->Settings()->GetFileName(), QString()) + QStringLiteral(".frn");
  EXPECT_TRUE(FileExists(container)) << container.toStdString();
  EXPECT_EQ(window->Caption(), container);
  EXPECT_FALSE(window->GetView2DByIndx(0)->GetNeedForSave());
}

TEST_F(MainFiles, AnEmptyRecordingWritesNothing) {
  TView2DForm* window = Recording(0);
  EXPECT_FALSE(MainWindow->WriteToFileChannal(1, QString()));
  EXPECT_FALSE(FileExists(window->Caption()));
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(MainFiles, TheDefaultOffsetOfTheNextProfileContinuesTheStepOfTheLastTwo) {
  TView2DForm* window = Recording(2);
  ASSERT_TRUE(MainWindow->WriteToFileChannal(1, QString()));
  EXPECT_EQ(MainWindow->LastCreateSaveStartYShift, 0);
  window->SetDeviceOffsets(0, 50, 0);
  window->GetView2DByIndx(0)->SetNeedForSave(true);
  ASSERT_TRUE(MainWindow->WriteToFileChannal(1, QString()));
  EXPECT_EQ(MainWindow->LastCreateSaveStartYShift, 50);
  EXPECT_EQ(MainWindow->predLastCreateSaveStartYShift, 50);
  EXPECT_EQ(window->DeviceY(), 50) << "the window keeps its own offset";
}

TEST_F(MainFiles, RunStateAndDirection) {
  MainWindow->SetButtonInRunMode(false);
  EXPECT_FALSE(MainWindow->Commands.SaveEnabled) << "no window";
  TView2DForm* window = Recording(0);
  MainWindow->SetButtonInRunMode(false);
  EXPECT_TRUE(MainWindow->Commands.SaveEnabled);
  EXPECT_TRUE(MainWindow->Commands.DirectionEnabled);
  MainWindow->SetButtonInRunMode(true);
  EXPECT_FALSE(MainWindow->Commands.SaveAsEnabled);
  EXPECT_FALSE(MainWindow->Commands.GprSettingsEnabled);

  const TDirection before = window->GetView2DByIndx(0)->Settings()->GetDirection();
  MainWindow->ActionDirectExecute();
  const TDirection after = window->GetView2DByIndx(0)->Settings()->GetDirection();
  EXPECT_NE(after, before);
  EXPECT_EQ(MainWindow->Commands.DirectionPicture, after == back ? DirectionPictureBackward : DirectionPictureForward);
  EXPECT_EQ(MainWindow->Commands.DirectionHint, after == back ? QStringLiteral("Backward") : QStringLiteral("Forward"));

  // A window with traces keeps its direction.
  std::vector<int32_t> samples(static_cast<size_t>(window->GetView2DByIndx(0)->Settings()->GetLongTrace()), 1);
  window->GetView2DByIndx(0)->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {});
  MainWindow->ActionDirectExecute();
  EXPECT_EQ(window->GetView2DByIndx(0)->Settings()->GetDirection(), after);
}

}  // namespace main_files_test
