// The main window's copy-data codes in one process: reopening (and the size
// that switches to samples at 1:1), reopen-save-close on a single record and a
// container, creating profiles, reloading a saved file by its name in another
// letter case, the language code, unknown codes, and the reports of saves and
// language switches to a planning window bound in this process.

#include "acquisition/main_form.h"

#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/language_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/panels.h"
#include "profiledata/digit_edit.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"
#include "tests/acquisition/main_window_fixture.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <vector>

namespace main_copydata_test {

// A single-channel record of `traces` traces of 16 samples.
QByteArray Record(int traces) {
  record_fixtures::TRecordFields f;
  f.longTrace = 16;
  f.minTrace = 0;
  f.maxTrace = traces;
  f.surface.clear();
  f.objects.clear();
  f.polylines.clear();
  f.zeroLevel.clear();
  f.FillRaw();
  return record_fixtures::BuildWgpr(f, 42);
}

struct TReceived {
  uint64_t code;
  QString text;
};

class MainCopyData : public TMainWindowTest {
protected:
  void TearDown() override {
    planning.reset();
    TMainWindowTest::TearDown();
  }
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = data + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  static int64_t Send(uint64_t code, const QString& text = {}) {
    return MainWindow->WMCopyData(code, CopyDataTextBytes(text));
  }
  static size_t Windows() { return MainWindow->RadargramWindows().size(); }
  static TView2DForm* Only() {
    const auto windows = MainWindow->RadargramWindows();
    return windows.size() == 1 ? windows[0] : nullptr;
  }
  // The planning program's window, bound in this process; it records what it gets.
  void BindPlanning() {
    planning = std::make_unique<TIpcEndpoint>(DUvova3DuruZuza::PlanningWindowClass());
    planning->OnCopyData = [this](uint64_t code, const QByteArray& bytes) -> int64_t {
      received.push_back({code, CopyDataText(bytes)});
      return 1;
    };
    planning->OnActivate = [this] { ++activations; };
    ASSERT_TRUE(planning->Bind()) << planning->Error().toStdString();
  }
  static std::vector<QString> Boxes() {
    std::vector<QString> texts;
    for (const TShownDialog& d : TDialogScript::Shown())
      if (d.Kind == dkMessageBox) texts.push_back(d.Text);
    return texts;
  }

  std::unique_ptr<TIpcEndpoint> planning;
  std::vector<TReceived> received;
  int activations = 0;
};

TEST_F(MainCopyData, ReopenClosesEveryWindowAndSwitchesLargeFilesToSamples) {
  struct TCase {
    int64_t size;
    TProportional expected;
  };
  // Padding behind the record: only the file's size counts.
  const TCase cases[] = {{10'000'001, PropInSamples11}, {10'000'000, PropInM21}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.size);
    QByteArray bytes = Record(5);
    bytes.append(QByteArray(static_cast<qsizetype>(c.size) - bytes.size(), '\0'));
    const QString file = Write(QStringLiteral("big_%1.dezo").arg(c.size), bytes);
    ASSERT_EQ(QFileInfo(file).size(), c.size);
    ASSERT_EQ(Send(cdOpenFile, Write(QStringLiteral("other.dezo"), Record(3))), 100);
    ASSERT_EQ(Windows(), 1u);
    MainWindow->SetGlobalProportional(PropInM21);
    EXPECT_EQ(Send(cdReloadFile, file), 102);
    EXPECT_EQ(MainWindow->GlobalProportional(), c.expected);
    TView2DForm* window = Only();
    ASSERT_NE(window, nullptr) << "the window opened before went";
    EXPECT_EQ(window->LastCopydataMessage, 102);
    EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 5);
    MainWindow->CloseAllChilds();
    EXPECT_EQ(Windows(), 0u);
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainCopyData, OpenWithOffsetsShowsThePanelWithOnlyThePlaneOffsetsEditable) {
  const QString file = Write(QStringLiteral("a.dezo"), Record(3));
  EXPECT_EQ(Send(cdOpenFileWithOffsets, file), 101);
  TView2DForm* window = Only();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 3);
  ASSERT_NE(window->OffsetPanel, nullptr);
  EXPECT_TRUE(window->OffsetPanel->Visible());
  EXPECT_TRUE(window->XOffsetDigitEdit->Enabled());
  EXPECT_TRUE(window->YOffsetDigitEdit->Enabled());
  EXPECT_FALSE(window->ZOffsetDigitEdit->Enabled());
  EXPECT_FALSE(window->AngleDigitEdit->Enabled());
  // Code 100 leaves the panel as the window has it.
  MainWindow->CloseAllChilds();
  EXPECT_EQ(Send(cdOpenFile, file), 100);
  ASSERT_NE(Only(), nullptr);
  EXPECT_FALSE(Only()->OffsetPanel->Visible());
}

TEST_F(MainCopyData, OpeningAContainerLaysTheWindowOutForItsChannels) {
  // A container of three channels, written by a window laid out for five.
  const QString dezo = Write(QStringLiteral("line.dezo"), Record(4));
  ASSERT_EQ(Send(cdReloadFile, dezo), 102);
  for (int i = 1; i < 3; ++i) ASSERT_TRUE(Only()->GetView2DByIndx(i)->LoadFromFile(dezo));
  const QString frn = data + QStringLiteral("three.frn");
  ASSERT_TRUE(Only()->WriteToFileToFRNChannals(frn));
  MainWindow->CloseAllChilds();
  // The next window would have one chart; the container decides.
  SetNewViewChannalCount(1);
  for (uint64_t code : {cdOpenFile, cdOpenFileWithOffsets}) {
    SCOPED_TRACE(code);
    ASSERT_EQ(Send(code, frn), static_cast<int64_t>(code));
    ASSERT_NE(Only(), nullptr);
    EXPECT_EQ(Only()->CountChannalView, 3);
    EXPECT_EQ(Only()->GetCountChannalWithData(), 3);
    MainWindow->CloseAllChilds();
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainCopyData, ReopeningAMissingFileSaysSoAndClosesNothing) {
  ASSERT_EQ(Send(cdOpenFile, Write(QStringLiteral("a.dezo"), Record(3))), 100);
  TDialogScript::QueueAnswer(mrOk);
  const QString missing = data + QStringLiteral("gone.dezo");
  EXPECT_EQ(Send(cdReloadFile, missing), 0);
  EXPECT_EQ(Windows(), 1u);
  EXPECT_EQ(Boxes(), std::vector<QString>{QStringLiteral("File %1 is not present!").arg(missing)});
}

TEST_F(MainCopyData, ReopenSaveCloseWritesTheRecordOrTheContainerBackAndLeavesNoWindow) {
  // The container is made by the window's own writer from a record.
  const QString dezo = Write(QStringLiteral("line.dezo"), Record(4));
  ASSERT_EQ(Send(cdOpenFile, dezo), 100);
  const QString frn = data + QStringLiteral("pack.frn");
  ASSERT_TRUE(Only()->WriteToFileToFRNChannals(frn));
  MainWindow->CloseAllChilds();

  for (const QString& file : {dezo, frn}) {
    SCOPED_TRACE(file.toStdString());
    const QDateTime old = QDateTime::fromSecsSinceEpoch(946684800);
    {
      QFile f(file);
      ASSERT_TRUE(f.open(QIODevice::ReadWrite));
      ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    ASSERT_EQ(Send(cdOpenFile, Write(QStringLiteral("other.dezo"), Record(2))), 100);
    EXPECT_EQ(Send(cdReloadSaveClose, file), 103);
    EXPECT_EQ(Windows(), 0u);
    EXPECT_NE(QFileInfo(file).lastModified(), old) << "written again";
    // Read back: the same traces and samples.
    ASSERT_EQ(Send(cdOpenFile, file), 100);
    T2Dview* first = Only()->GetView2DByIndx(0);
    ASSERT_EQ(first->NumTraces(), 4);
    const int32_t* raw = first->RawData.Data();
    for (int i = 0; i < 4 * 16; ++i) ASSERT_EQ(raw[i], i * 7 - 300) << i;
    MainWindow->CloseAllChilds();
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainCopyData, ReopenSaveCloseOfAFileThatCannotBeReadLeavesItAlone) {
  // A record whose header ends early, and a file that is not there.
  const QByteArray damaged = Record(3).left(40);
  const QString file = Write(QStringLiteral("damaged.dezo"), damaged);
  const QString missing = data + QStringLiteral("gone.dezo");
  struct TCase {
    QString name;
    std::vector<int> answers;  // the boxes of the failed read
  };
  for (const TCase& c : {TCase{file, {mrCancel, mrOk}}, TCase{missing, {mrOk}}}) {
    SCOPED_TRACE(c.name.toStdString());
    for (int answer : c.answers) TDialogScript::QueueAnswer(answer);
    EXPECT_EQ(Send(cdReloadSaveClose, c.name), 0);
    EXPECT_EQ(Windows(), 0u);
    EXPECT_EQ(Boxes().size(), c.answers.size()) << "the failed read is reported";
    TDialogScript::Reset();
  }
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), damaged);
  EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(MainCopyData, CreateCodesMakeALinearOrArcProfileMarkedCreated) {
  struct TCase {
    uint64_t code;
    TTypeProfiles kind;
  };
  for (const TCase c : {TCase{cdCreateProfile, tpLinear}, TCase{cdCreateArcProfile, tpArc}}) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(Send(c.code), 200);
    TView2DForm* window = MainWindow->CurChild();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->LastCopydataMessage, 200);
    EXPECT_EQ(window->TypeProfiles, c.kind);
  }
}

TEST_F(MainCopyData, FilesSavedReloadsTheWindowOfThatFileInAnyLetterCase) {
  const QString file = Write(QStringLiteral("Line.dezo"), Record(3));
  ASSERT_EQ(Send(cdOpenFile, Write(QStringLiteral("other.dezo"), Record(2))), 100);
  ASSERT_EQ(Send(cdOpenFile, file), 100);
  const auto windows = MainWindow->RadargramWindows();
  ASSERT_EQ(windows.size(), 2u);
  const bool secondIsLine = windows[1]->Caption() == file;
  TView2DForm* window = windows[secondIsLine ? 1 : 0];
  TView2DForm* other = windows[secondIsLine ? 0 : 1];
  ASSERT_EQ(window->GetView2DByIndx(0)->NumTraces(), 3);
  // The planning program saved the file with more traces.
  Write(QStringLiteral("Line.dezo"), Record(6));
  EXPECT_EQ(Send(cdFilesSaved, data + QStringLiteral("nothing.dezo")), 102);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 3) << "no window of that name";
  EXPECT_EQ(Send(cdFilesSaved, file.toUpper()), 102);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 6);
  EXPECT_EQ(window->LastCopydataMessage, 102);
  EXPECT_TRUE(window->GetView2DByIndx(0)->WasOpen);
  EXPECT_EQ(other->GetView2DByIndx(0)->NumTraces(), 2);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainCopyData, LanguageCodeReadsTheLanguageOnlyWithoutWindowsAndOtherCodesAnswerZero) {
  ASSERT_EQ(MainWindow->Language(), 1033);
  WriteLanguageFile(25);
  ASSERT_EQ(Send(cdOpenFile, Write(QStringLiteral("a.dezo"), Record(2))), 100);
  EXPECT_EQ(Send(cdLanguageChanged, QStringLiteral("25")), 0);
  EXPECT_EQ(MainWindow->Language(), 1033) << "a window is open";
  MainWindow->CloseAllChilds();
  EXPECT_EQ(Send(cdLanguageChanged, QStringLiteral("25")), 0);
  EXPECT_EQ(MainWindow->Language(), 25);
  for (uint64_t code : {0ull, 99ull, 104ull, 202ull, 301ull, 401ull, 777ull}) EXPECT_EQ(Send(code, data), 0) << code;
  EXPECT_EQ(Windows(), 0u);
}

TEST_F(MainCopyData, ASaveReportsTheFileOrTheCaptionByHowTheWindowCameToBe) {
  // No planning program: nothing is sent, nothing waits.
  const QString file = Write(QStringLiteral("a.dezo"), Record(2));
  ASSERT_EQ(Send(cdReloadFile, file), 102);
  MainWindow->SendSaveMessToVandrel();
  BindPlanning();
  MainWindow->SendSaveMessToVandrel();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].code, 102u);
  EXPECT_EQ(received[0].text, file);
  EXPECT_EQ(activations, 1);

  received.clear();
  ASSERT_EQ(Send(cdCreateArcProfile), 200);
  TView2DForm* created = MainWindow->CurChild();
  ASSERT_NE(created, nullptr);
  ASSERT_EQ(dynamic_cast<TView2DForm*>(MainWindow->ActiveMDIChild()), created);
  MainWindow->SendSaveMessToVandrel();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].code, 300u);
  EXPECT_EQ(received[0].text, created->Caption());

  // A window opened by the other codes reports nothing.
  received.clear();
  ASSERT_EQ(Send(cdOpenFile, file), 100);
  MainWindow->SendSaveMessToVandrel();
  EXPECT_TRUE(received.empty());

  MainWindow->SendLanguageToVandrel(400);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].code, 400u);
  EXPECT_EQ(received[0].text, QStringLiteral("1033"));
}

}  // namespace main_copydata_test
