#pragma once
// What the tests of the reconstruction tools (real view, grid view, time grid)
// share: the host fixture, channels and inputs, the engine's expected results
// (the model, the grid image), the records' bytes written out field by field,
// and the points-and-cells reference the engine's rays and sweeps are held
// against.

#include "platform/rtl/extended.h"
#include "platform/rtl/rounding.h"
#include "platform/rtl/streams.h"
#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/keys.h"
#include "profiledata/digit_edit.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/imaging/migration_test_support.h"
#include "tools/common_tool.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/grid_view_kernel.h"
#include "tools/imaging/grid_view_tool.h"
#include "tools/imaging/real_view_engine.h"
#include "tools/imaging/reconstruction_form.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace reconstruction_test_support {

// A fake tool host for the test's time and a worker pool of `threads` threads.
class HostFixture : public ::testing::Test {
protected:
  explicit HostFixture(int threads = 1) : threads_(threads) {}
  FakeToolHost host;
  HostScope scope{host};

private:
  PoolThreadsScope threads_;
};

// A wheel-mode channel of 40 ns at 100 mm/ns over `longTrace` samples.
inline imaging_test_support::TWheelChannel Channel(int64_t traces, int longTrace, int32_t nullShift = 0) {
  imaging_test_support::TWheelChannel c;
  c.traces = traces;
  c.longTrace = longTrace;
  c.nullShift = nullShift;
  return c;
}

// A diffraction hyperbola as the generator draws one: apex at trace cx, sample
// cy, X/Y 2.
inline std::vector<int32_t> Hyperbola(int64_t traces, int longTrace, int64_t cx, int cy) {
  std::vector<int32_t> v(static_cast<size_t>(traces * longTrace));
  for (int64_t x = 0; x < traces; ++x)
    for (int y = 0; y < longTrace; ++y) {
      const long double arrival = std::sqrt(static_cast<long double>(cy) * cy + 4.0L * (x - cx) * (x - cx));
      const long double d = y - arrival;
      v[static_cast<size_t>(x * longTrace + y)] =
          static_cast<int32_t>(std::lround(30000 * std::exp(-d * d / 3) * std::cos(d)));
    }
  return v;
}

// The test-signal generator's single diffraction hyperbola (apex at trace cx,
// sample cy, amplitude 1000) drawn into channel 0 `view`; gives its samples.
inline std::vector<int32_t> GeneratorHyperbola(T2Dview& view, int32_t cx, int32_t cy) {
  TGenTestTool gen;
  gen.DistanceRecept = 0;
  gen.SizeParabol2 = 0;
  gen.SetView_(0, &view);
  const TGenTestParam set{true, 100, 0, cx, cy, 0, 0, 1000, 0, 0, 0};
  gen.SetParam(0, &set);
  gen.execute(false, 0);
  return Samples(view);
}

// A reconstruction dialog's fixture: two pool threads, and TTool on a wheel-mode
// channel of `Traces` traces of `Samples` samples (time zero at sample
// `NullShift`) holding the generator's hyperbola with its apex at trace
// `ApexTrace`, sample 20 (`input`).
template <class TTool, class TForm, class TParam, int64_t Traces, int Samples, int32_t NullShift, int32_t ApexTrace>
class FormFixture : public HostFixture {
protected:
  FormFixture() : HostFixture(2) {}
  TTool tool;
  std::unique_ptr<T2Dview> view = imaging_test_support::MakeWheelChannel(
      Channel(Traces, Samples, NullShift), std::vector<int32_t>(static_cast<size_t>(Traces * Samples), 0));
  std::vector<int32_t> input;

  void SetUp() override {
    input = GeneratorHyperbola(*view, ApexTrace, 20);
    tool.SetView_(0, view.get());
    host.views.push_back(view.get());
  }
  // The dialog opened on channel 0 with the set `set`.
  TForm& OpenForm(const TParam& set) {
    tool.SetParam(0, &set);
    tool.GetParam(0);
    EXPECT_EQ(tool.SetPropertyes(false), 1);
    auto* form = dynamic_cast<TForm*>(tool.Form());
    EXPECT_NE(form, nullptr);
    Application->ProcessMessages();
    return *form;
  }
  void TearDown() override { Application->ProcessMessages(); }
};

// An edit's range, step, shown value and sign.
struct TEditRange {
  TDigitEdit* edit;
  long double min, max, step, shown;
  bool sign;
};
inline void ExpectEditRanges(std::initializer_list<TEditRange> ranges) {
  for (const TEditRange& r : ranges) {
    SCOPED_TRACE(r.edit->Text().toStdString());
    EXPECT_EQ(r.edit->MinVal(), r.min);
    EXPECT_EQ(r.edit->MaxVal(), r.max);
    EXPECT_EQ(r.edit->Step(), r.step);
    EXPECT_EQ(r.edit->ValueReal(), r.shown);
    EXPECT_EQ(r.edit->AvailableSign(), r.sign);
  }
}

// A fresh reconstruction dialog: the edits every one has, their ranges and
// shown values, and the one hint of the scan buttons.
inline void ExpectSharedControls(TReconstructionForm& fresh) {
  ExpectEditRanges({TEditRange{fresh.XYProportionalDigitEdit, 0.1L, 100, 0.1L, 1, false},
                    TEditRange{fresh.dHDigitEdit, -1000, 1000, 1, 0, true},
                    TEditRange{fresh.DistanceReceptDigitEdit, -10, 10, 0.01L, 0, true},
                    TEditRange{fresh.MinAmpDigitEdit, 1, 1000, 1, 30, false},
                    TEditRange{fresh.ZatuhanieDigitEdit, 0, 99, 1, 75, false},
                    TEditRange{fresh.LEngthHiperbolaDigitEdit, 0, 100, 1, 6, false}});
  for (TBitBtn* b : {fresh.SearchX_YBitBtn, fresh.SearchdHBitBtn, fresh.SearchDistRTBitBtn, fresh.SearchBitBtn,
                     fresh.SearchDecriseBitBtn})
    EXPECT_EQ(b->Hint(), "Search Angle");
}

// The Enter rule of a reconstruction dialog: in each edit of `kept` Enter
// finishes the entry and the dialog stays; in `closes` Enter is OK.
inline void ExpectEnterRule(TReconstructionForm& form, std::initializer_list<TDigitEdit*> kept, TDigitEdit* closes) {
  for (TDigitEdit* edit : kept) {
    edit->SetFocus();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return edit->Focused(); }));
    WORD key = VK_RETURN;
    form.FormKeyDown(&form, key, {});
    EXPECT_TRUE(form.Visible()) << edit->Name().toStdString();
  }
  closes->SetFocus();
  ASSERT_TRUE(ProcessMessagesUntil([&] { return closes->Focused(); }));
  WORD key = VK_RETURN;
  form.FormKeyDown(&form, key, {});
  EXPECT_FALSE(form.Visible()) << "the edit is not kept: OK";
}

inline std::vector<uint8_t> Pixels(TBitmap& image) {
  std::vector<uint8_t> v;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) v.push_back(image.ScanLine(y)[x]);
  return v;
}

// The real view's model after `sweeps` serial sweeps of the engine.
inline std::vector<int32_t> ExpectedModel(const std::vector<int32_t>& in, int32_t x, int32_t y,
                                          const TRealViewParams& p, int sweeps) {
  TRealViewModel m;
  m.Build(in.data(), x, y, p, RealViewSinA(RealViewAlpha(p.MinAmpSect)), TRealViewModel::DefaultMemoryCap());
  for (int n = 0; n < sweeps; ++n) m.SweepSerial();
  std::vector<int32_t> out(in.size());
  m.ModelToView(out.data());
  return out;
}

// The grid view's arcs for the tool's working parameters on channel `view`.
inline TGridViewArcs GridArcs(const TGridViewTool& tool, const T2Dview& view, int64_t traces, int longTrace) {
  const TGridViewSize size = GridViewSize(traces, longTrace, tool.Steps(view));
  return TGridViewArcs(tool.Steps(view), tool.DistanceRecept, tool.dH, RealViewSinA(RealViewAlpha(tool.MinAmpSect)),
                       tool.DecriseAmp, static_cast<int32_t>(size.Y));
}

// The grid view's image of the engine's model after `sweeps` serial sweeps on
// the tool's grid.
inline std::vector<uint8_t> ExpectedGridImage(const TGridViewTool& tool, const T2Dview& view,
                                              const std::vector<int32_t>& in, int64_t traces, int longTrace,
                                              int sweeps) {
  const TGridViewSteps s = tool.Steps(view);
  const TGridViewSize size = GridViewSize(traces, longTrace, s);
  const auto X = static_cast<int32_t>(size.X), Y = static_cast<int32_t>(size.Y);
  const std::vector<int32_t> measured = InterpolateGrid(in.data(), traces, longTrace, X, Y, s);
  TRealViewModel m;
  m.Build(measured.data(), X, Y, GridArcs(tool, view, traces, longTrace), TRealViewModel::DefaultMemoryCap());
  for (int n = 0; n < sweeps; ++n) m.SweepSerial();
  TBitmap image;
  image.SetPixelFormat(pf8bit);
  PaintGridPixels(m.Bm, X, Y, tool.Kontrast, image);
  return Pixels(image);
}

inline QByteArray Extended(long double v) {
  uint8_t b[ExtendedSize];
  ExtendedToBytes(v, b);
  return QByteArray(reinterpret_cast<const char*>(b), ExtendedSize);
}

// A record's body field by field: X/Y, angle, iterations, spacing, the spacing
// step when given, dH.
inline QByteArray RecordBody(long double xy, int32_t angle, int32_t iterations, long double distance,
                             std::optional<long double> step, int32_t dH) {
  QByteArray body = Extended(xy);
  const int32_t v[2] = {angle, iterations};
  body.append(reinterpret_cast<const char*>(v), 8).append(Extended(distance));
  if (step) body.append(Extended(*step));
  body.append(reinterpret_cast<const char*>(&dH), 4);
  return body;
}

// The current record `bytes` (as SaveToStream wrote it) read into `tool` as set
// `set`, past its end offset and name.
inline void ReadCurrentRecord(TCommonTool& tool, TMemoryStream& stream, int32_t set) {
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  tool.ReadFromUniStream(stream, set);
}

// An older record (caption, Apply on, `body`) read into `tool` as set `set`.
inline void ReadOlderRecord(TCommonTool& tool, const QByteArray& caption, const QByteArray& body, int32_t set) {
  TMemoryStream old;
  const auto length = static_cast<char>(caption.size());
  old.WriteBuffer(&length, 1);
  old.WriteBuffer(caption.constData(), caption.size());
  old.WriteBuffer("\x01", 1);
  old.WriteBuffer(body.constData(), body.size());
  old.SetPosition(0);
  ReadToolRecordBody(tool, old, old.Size(), TToolRecordForm::Older, set);
}

// The current record `bytes` without its last `dropped` bytes, followed by the
// next record's bytes, read into `tool` as set `set`: the stream is left at the
// shortened record's end (the position and that end).
struct TShortenedRead {
  int64_t position = 0;
  int64_t end = 0;
};
inline TShortenedRead ReadShortenedRecord(TCommonTool& tool, const QByteArray& bytes, int dropped, int32_t set) {
  const int head = 4 + 1 + 8;  // end offset, the name's length and its 8 characters
  const QByteArray cut = bytes.mid(head, bytes.size() - head - dropped);
  TMemoryStream part;
  part.WriteBuffer(cut.constData(), cut.size());
  part.WriteBuffer("\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55\x55", 14);  // the next record
  part.SetPosition(0);
  ReadToolRecordBody(tool, part, cut.size(), TToolRecordForm::Current, set);
  return {part.Position(), cut.size()};
}

// The record of a tool with a spacing step (grid view, time grid): X/Y 2.5,
// angle 100, 4 iterations, spacing -0.25, step 0.02 and dH -7 written in that
// order after format 33 and read into set 2 of `reader` (set 0 keeps the
// creation step 0.05); an older record without the step, captioned
// `olderCaption`, read into set 1 of a tool with step 0.03 keeps that step.
// Gives the written record.
template <class TTool>
QByteArray ExpectStepRecord(TTool& reader, const QByteArray& olderCaption) {
  TTool tool;
  tool.XYProportional = 2.5L;
  tool.MinAmpSect = 100;
  tool.SizeHyperbola = 4;
  tool.DistanceRecept = -0.25L;
  tool.StepRecept = 0.02L;
  tool.dH = -7;
  TMemoryStream stream;
  tool.SaveToStream(stream);
  const QByteArray bytes = stream.Bytes();
  EXPECT_TRUE(bytes.endsWith(RecordBody(2.5L, 100, 4, -0.25L, 0.02L, -7)));
  EXPECT_EQ(static_cast<uint8_t>(bytes[4 + 1 + 8]), 33);

  ReadCurrentRecord(reader, stream, 2);
  EXPECT_EQ(reader.Param[2].XYProportional, 2.5L);
  EXPECT_EQ(reader.Param[2].MinAmpSect, 100);
  EXPECT_EQ(reader.Param[2].SizeHyperbola, 4);
  EXPECT_EQ(reader.Param[2].DistanceRecept, -0.25L);
  EXPECT_EQ(reader.Param[2].StepRecept, 0.02L);
  EXPECT_EQ(reader.dH, -7) << "a dH below zero is kept";
  EXPECT_EQ(reader.Param[0].StepRecept, 0.05L);

  TTool older;
  older.StepRecept = 0.03L;
  ReadOlderRecord(older, olderCaption, RecordBody(3.5L, 100, 4, 0.7L, std::nullopt, -7), 1);
  EXPECT_EQ(older.Param[1].XYProportional, 3.5L);
  EXPECT_EQ(older.Param[1].DistanceRecept, 0.7L);
  EXPECT_EQ(older.Param[1].StepRecept, 0.03L) << "older records have no step";
  EXPECT_EQ(older.dH, -7);
  EXPECT_EQ(older.GetCaption(), QString::fromLatin1(olderCaption));
  return bytes;
}

// Points and cells kept as records, each ray and list a vector of its own, built
// and swept literally: the engine's rays, lists and sweeps are held against it.
// TDenominator is the precision of a sweep's denominators (the grid view's are
// single).
template <class TDenominator>
struct RayReference {
  struct Amp {
    int32_t Am = 0, AmNew = 0, dAmPred = 0, dAmNew = 0;
    std::vector<int32_t> Bi;
    std::vector<float> BiK;
  };
  int32_t X = 0, Y = 0;
  std::vector<Amp> A;
  std::vector<int32_t> Bm;
  std::vector<std::vector<int32_t>> Ai;

  RayReference(int32_t countX, int32_t countY)
      : X(countX), Y(countY), A(static_cast<size_t>(countX) * countY), Bm(A.size()), Ai(A.size()) {}

  // The ray of point (x, y) measuring `measured`: columns c - E .. c + E, one
  // before the first or past the last mirrored about c (dropped when its mirror
  // is outside too), at depth[k + E] rounded with weight[k + E] for column c + k.
  void AddRay(int32_t x, int32_t y, int32_t measured, int64_t c, int64_t E, const std::vector<long double>& depth,
              const std::vector<long double>& weight) {
    const int32_t pt = x * Y + y;
    Amp& a = A[pt];
    a.Am = measured;
    a.dAmPred = 100000;
    for (int64_t j = c - E; j <= c + E; ++j) {
      int64_t col = j;
      if (j < 0) {
        col = 2 * c - j;
        if (col >= X) continue;
      } else if (j >= X) {
        col = 2 * c - j;
        if (col < 0) continue;
      }
      const int64_t k = col - c;
      const int64_t cell = Round(depth[k + E]) + int64_t{Y} * col;
      if (cell < 0 || cell >= int64_t{X} * Y) continue;
      a.Bi.push_back(static_cast<int32_t>(cell));
      a.BiK.push_back(static_cast<float>(weight[k + E]));
      Ai[cell].push_back(pt);
    }
    CalcSumA(pt);
  }
  void CalcSumA(int32_t p) {
    long double sum = 0;
    for (size_t e = 0; e < A[p].Bi.size(); ++e) sum += static_cast<long double>(Bm[A[p].Bi[e]]) * A[p].BiK[e];
    A[p].AmNew = static_cast<int32_t>(Round(sum));
    A[p].dAmPred = A[p].dAmNew;
    A[p].dAmNew = A[p].Am - A[p].AmNew;
  }
  float GetBiK(int32_t p, int32_t m) const {
    for (size_t e = 0; e < A[p].Bi.size(); ++e)
      if (A[p].Bi[e] == m) return A[p].BiK[e];
    return 1;
  }
  // Rows, then columns.
  void Sweep() {
    for (int32_t y = 0; y < Y; ++y)
      for (int32_t x = 0; x < X; ++x) {
        const int32_t m = x * Y + y;
        int32_t delta = 0;
        for (int32_t p : Ai[m]) {
          const auto den = static_cast<TDenominator>(static_cast<long double>(A[p].Bi.size()) * GetBiK(p, m));
          if (den > 0) delta += static_cast<int32_t>(Round(A[p].dAmNew / static_cast<long double>(den)));
        }
        if (std::abs(delta) > 1) {
          Bm[m] += delta;
          for (int32_t p : Ai[m]) CalcSumA(p);
        }
      }
  }
};

}  // namespace reconstruction_test_support
