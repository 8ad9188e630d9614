// Damaged records by the thousand: valid records of each format, mutated with a
// fixed seed (bit flips, fields set to edge values, cuts, inserted and removed
// bytes), read in each setting. Every read must end (no crash, no exception, at
// most one message) and a successful one must leave a trace range the channel
// store can use safely. Also feeds the fuzz harness a few junk inputs.

#include "tests/fuzz/read_set_value_fuzz_target.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

using namespace record_fixtures;

struct TSeed {
  QByteArray bytes;
  std::vector<int64_t> counts;  // positions of 32-bit counts and ranges worth hitting
};

QByteArray Picture() {
  TBytes b;
  b.U16(0x4D42).U32(14 + 40 + 8 + 8).U32(0).U32(14 + 40 + 8);
  b.U32(40).I32(3).I32(2).U16(1).U16(8).U32(0).U32(8).I32(0).I32(0).U32(2).U32(0);
  b.U32(0x00000000).U32(0x00FFFFFF).U32(0x00000100).U32(0x00000001);
  return b.data;
}

std::vector<TSeed> Seeds() {
  std::vector<TSeed> seeds;
  for (uint8_t v : {42, 41, 39, 36, 34, 32}) {
    TRecordFields f;
    f.topo = {{QStringLiteral("gate"), 5, 1, 2}};
    f.picture = Picture();
    f.FillRaw();
    TWgprOffsets at;
    TSeed seed{BuildWgpr(f, v, {}, std::nullopt, std::nullopt, &at), {4, 8, at.longTrace}};
    for (int64_t p : {at.incl, at.topo, at.nmea, at.palette, at.zeroLevel, at.range, at.surface, at.objects,
                      at.polylines})
      if (p >= 0) seed.counts.push_back(p);
    if (at.range >= 0) seed.counts.push_back(at.range + 4);
    // The picture's file size, width, height and colour count.
    if (at.picture >= 0)
      for (int64_t field : {2, 18, 22, 46}) seed.counts.push_back(at.picture + field);
    seeds.push_back(seed);
  }
  TRecordFields f;
  f.FillRaw();
  seeds.push_back({BuildDezo16(f, 17, true), {4, 8}});
  TRecordFields old;
  old.FillRaw(2);
  seeds.push_back({BuildDezo2(old, TOldDezoFields{}, 9, true), {4, 8}});
  seeds.push_back({BuildDezo2(old, TOldDezoFields{}, 3, false), {4, 8}});
  return seeds;
}

class TMutator {
public:
  explicit TMutator(uint32_t seed) : random_(seed) {}

  QByteArray Mutate(const TSeed& seed) {
    QByteArray b = seed.bytes;
    const int steps = 1 + Below(3);
    for (int i = 0; i < steps && !b.isEmpty(); ++i) {
      switch (Below(6)) {
        case 0:  // flip a few bits
          for (int n = 1 + Below(4); n > 0; --n) {
            const auto at = static_cast<qsizetype>(Below(b.size()));
            b[at] = static_cast<char>(b[at] ^ (1 << Below(8)));
          }
          break;
        case 1:  // an edge value in a count, a range or an offset
          if (!seed.counts.empty()) Put(b, seed.counts[Below(seed.counts.size())], EdgeValue(b.size()));
          break;
        case 2:  // an edge value anywhere
          Put(b, Below(b.size()), EdgeValue(b.size()));
          break;
        case 3:  // cut short, with or without the record end following
          b.truncate(Below(b.size()));
          if (Below(2) && b.size() >= 12) Put(b, 4, static_cast<uint32_t>(b.size()));
          break;
        case 4:  // bytes inserted
          b.insert(Below(b.size() + 1), QByteArray(1 + Below(16), static_cast<char>(Below(256))));
          break;
        default:  // bytes removed
          b.remove(Below(b.size()), 1 + Below(16));
          break;
      }
    }
    return b;
  }

  int Below(int64_t n) { return static_cast<int>(std::uniform_int_distribution<int64_t>(0, n - 1)(random_)); }

private:
  uint32_t EdgeValue(int64_t size) {
    static constexpr std::array<uint32_t, 9> kEdges{0, 1, 2, 0x7F, 0xFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 500001};
    const int pick = Below(kEdges.size() + 3);
    if (pick < static_cast<int>(kEdges.size())) return kEdges[pick];
    return static_cast<uint32_t>(size + pick - static_cast<int>(kEdges.size()) - 1);  // size - 1, size, size + 1
  }
  void Put(QByteArray& b, int64_t at, uint32_t v) {
    for (qsizetype i = 0; i < 4 && at + i < b.size(); ++i)
      b[static_cast<qsizetype>(at + i)] = static_cast<char>(v >> (8 * i));
  }

  std::mt19937 random_;
};

TFuzzReadResult ReadInput(uint8_t selector, const QByteArray& bytes) {
  QByteArray input(1, static_cast<char>(selector));
  input += bytes;
  return ReadRecordOnce(reinterpret_cast<const uint8_t*>(input.constData()), static_cast<size_t>(input.size()));
}

TEST(RecordMutation, EverySeedReadsInEverySetting) {
  const std::vector<TSeed> seeds = Seeds();
  for (size_t i = 0; i < seeds.size(); ++i)
    for (uint8_t mode = 0; mode < 3; ++mode) {
      TDialogScript::Reset();
      const TFuzzReadResult r = ReadInput(mode, seeds[i].bytes);
      EXPECT_TRUE(r.ok && r.messages == 0 && r.broken.empty())
          << "seed " << i << " mode " << int(mode) << " " << r.broken;
    }
}

TEST(RecordMutation, MutatedRecordsNeverBreakTheReader) {
  TUnexpectedDialogRecorder messages;  // the failures' messages are expected
  const std::vector<TSeed> seeds = Seeds();
  TMutator mutator(20240611);
  int read = 0;
  int refused = 0;
  for (int i = 0; i < 4500; ++i) {
    const TSeed& seed = seeds[static_cast<size_t>(i) % seeds.size()];
    const QByteArray bytes = mutator.Mutate(seed);
    // Settings and container names now and then; the mode follows the count.
    const auto selector = static_cast<uint8_t>(i % 3 + 3 * (mutator.Below(4) == 0 ? 1 + mutator.Below(2) : 0));
    TDialogScript::Reset();
    const TFuzzReadResult r = ReadInput(selector, bytes);
    ASSERT_TRUE(r.broken.empty()) << "mutation " << i << ": " << r.broken << "\n" << bytes.toHex().toStdString();
    (r.ok ? read : refused) += 1;
  }
  // The mutations reach deep into the records: many still read, many are refused.
  EXPECT_GT(read, 500);
  EXPECT_GT(refused, 500);
}

TEST(RecordMutation, JunkInputsEndQuietly) {
  TUnexpectedDialogRecorder messages;
  const std::vector<QByteArray> junk{QByteArray(),      QByteArray("W"),
                                     QByteArray("WGPR"), QByteArray("DEZO\xff\xff\xff\xff"),
                                     QByteArray(64, '\0'), QByteArray(300, '\xff')};
  for (const QByteArray& bytes : junk)
    for (uint8_t selector : {0, 1, 2, 3, 5, 7}) {
      TDialogScript::Reset();
      const TFuzzReadResult r = ReadInput(selector, bytes);
      EXPECT_FALSE(r.ok);
      EXPECT_TRUE(r.broken.empty()) << r.broken;
    }
}

}  // namespace
