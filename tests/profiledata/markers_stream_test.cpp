// Stream forms of the marker lists, polylines and topography marks: the bytes the
// writers give (built here field by field from the record layouts), reading them
// back in the current and the older record versions, reloading, and damaged input.

#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "profiledata/topo_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Little-endian record bytes.
class Bytes {
public:
  Bytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  Bytes& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) data.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  // Length byte, then UTF-16LE code units.
  Bytes& Wide(const QString& text) {
    data.append(static_cast<char>(text.size()));
    for (QChar ch : text) {
      data.append(static_cast<char>(ch.unicode() & 0xFF));
      data.append(static_cast<char>(ch.unicode() >> 8));
    }
    return *this;
  }
  Bytes& Byte(uint8_t v) {
    data.append(static_cast<char>(v));
    return *this;
  }
  Bytes& Zeros(int n) {
    data.append(QByteArray(n, '\0'));
    return *this;
  }

  Bytes& Surface(int32_t trace, const QString& comment, int32_t group, bool groups = true) {
    I32(trace).Wide(comment);
    if (groups) I32(group).I32(group);
    return *this;
  }
  Bytes& Object(int32_t trace, int32_t sample, const QString& comment, TColor color, int32_t objectGroup,
                int32_t group, bool groups = true) {
    I32(trace).I32(sample).Wide(comment).I32(color).I32(sample);
    if (groups) I32(objectGroup).I32(group);
    return *this;
  }
  Bytes& Polyline(TColor color, int32_t weight, const QString& comment, const std::vector<TPoint>& nodes) {
    U32(static_cast<uint32_t>(nodes.size())).I32(color).I32(weight).I32(weight).Wide(comment).Zeros(16);
    for (const TPoint& node : nodes) I32(node.X).I32(node.Y);
    return *this;
  }
  Bytes& Topo(int32_t value, int32_t shiftHor, int32_t shiftVer, const QString& title) {
    return I32(value).I32(shiftHor).I32(shiftVer).Wide(title);
  }

  QByteArray data;
};

template <typename Write>
QByteArray Written(Write write) {
  TMemoryStream stream;
  write(stream);
  return stream.Bytes();
}

const QString Cyrillic = QString::fromUtf8("\u0416x");  // a code unit above 0xFF

class MarkerStreams : public ::testing::Test {
protected:
  FakeStore store;
  TSettingData* settings = nullptr;
  TSurfeMarkersData* surfaces = nullptr;
  TObjectMarkersData* objects = nullptr;
  TPolyLineMarkersArray* polylines = nullptr;
  TTopoData* topo = nullptr;

  void SetUp() override {
    SetAcquisitionShell(nullptr);
    settings = new TSettingData(&store);
    store.settings = settings;
    surfaces = new TSurfeMarkersData(&store);
    objects = new TObjectMarkersData(&store);
    polylines = new TPolyLineMarkersArray(&store);
    topo = new TTopoData(&store);
  }
};

TEST_F(MarkerStreams, SurfaceListLayout) {
  EXPECT_EQ(Written([&](TStream& s) { surfaces->SaveToStream(s); }), Bytes().U32(0).data);
  EXPECT_EQ(Written([](TStream& s) { TSurfeMarkersData::SaveNilToStream(s); }), Bytes().U32(0).data);

  surfaces->Add(0, 10, "A");
  surfaces->Add(0, 11, "gone");
  surfaces->Add(0, -3, Cyrillic);
  surfaces->DeleteMark(1);  // groups 0 and 2 stay
  EXPECT_EQ(Written([&](TStream& s) { surfaces->SaveToStream(s); }),
            Bytes().U32(2).Surface(10, "A", 0).Surface(-3, Cyrillic, 2).data);
  // The empty form does not depend on the content.
  EXPECT_EQ(Written([](TStream& s) { TSurfeMarkersData::SaveNilToStream(s); }), Bytes().U32(0).data);
}

TEST_F(MarkerStreams, ObjectListLayout) {
  objects->SetDefaultColor(0x00AABBCC);
  EXPECT_EQ(Written([&](TStream& s) { objects->SaveToStream(s); }), Bytes().U32(0).I32(0x00AABBCC).Zeros(4).data);

  objects->Add(7, clBlue, "pipe", 120, 40);
  objects->Add(9, -1, Cyrillic, -5, 41);
  EXPECT_EQ(Written([&](TStream& s) { objects->SaveToStream(s); }),
            Bytes()
                .U32(2)
                .I32(0x00AABBCC)
                .Zeros(4)
                .Object(40, 120, "pipe", clBlue, 7, 0)
                .Object(41, -5, Cyrillic, -1, 9, 1)
                .data);
  EXPECT_EQ(Written([&](TStream& s) { objects->SaveNilToStream(s); }), Bytes().U32(0).I32(0x00AABBCC).Zeros(4).data);
}

TEST_F(MarkerStreams, ListsReadTheGroupFieldsFromVersion40On) {
  struct Case {
    uint8_t version;
    bool groups;
  };
  for (const Case& c : {Case{39, false}, Case{40, true}, Case{42, true}}) {
    SCOPED_TRACE(int(c.version));
    settings->SetVersion(c.version);

    TMemoryStream surfaceStream(
        Bytes().U32(2).Surface(10, "A", 5, c.groups).Surface(-3, Cyrillic, 9, c.groups).data);
    surfaces->LoadFromStream(surfaceStream);
    EXPECT_EQ(surfaceStream.Position(), surfaceStream.Size());
    ASSERT_EQ(surfaces->Count(), 2);
    EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetNumTrace(), 10);
    EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetComment(), "A");
    EXPECT_EQ(surfaces->GetSurfaceMarker(1)->GetNumTrace(), -3);
    EXPECT_EQ(surfaces->GetSurfaceMarker(1)->GetComment(), Cyrillic);
    // The list's own numbering, in file order.
    EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetGroup(), 0);
    EXPECT_EQ(surfaces->GetSurfaceMarker(1)->GetGroup(), 1);

    TMemoryStream objectStream(Bytes()
                                   .U32(2)
                                   .I32(clLime)
                                   .Zeros(4)
                                   .Object(40, 120, "pipe", clBlue, 7, 5, c.groups)
                                   .Object(41, -5, Cyrillic, -1, 9, 3, c.groups)
                                   .data);
    objects->LoadFromStream(objectStream);
    EXPECT_EQ(objectStream.Position(), objectStream.Size());
    EXPECT_EQ(objects->GetDefaultColor(), clLime);
    ASSERT_EQ(objects->Count(), 2);
    const TObjectMarker* second = objects->GetObjectMarker(1);
    EXPECT_EQ(second->GetNumTrace(), 41);
    EXPECT_EQ(second->GetNumSample(), -5);
    EXPECT_EQ(second->GetComment(), Cyrillic);
    EXPECT_EQ(second->GetColor(), -1);
    EXPECT_EQ(second->GetGroup(), 1);
    // The user's object group survives when the record has it.
    EXPECT_EQ(objects->GetObjectMarker(0)->Group, c.groups ? 7 : 0);
    EXPECT_EQ(second->Group, c.groups ? 9 : 0);
  }
}

TEST_F(MarkerStreams, TheSecondCopyOfTheSampleIsTheOneThatStays) {
  TMemoryStream stream(
      Bytes().U32(1).I32(clRed).Zeros(4).I32(40).I32(111).Wide("").I32(clBlue).I32(222).I32(0).I32(0).data);
  objects->LoadFromStream(stream);
  ASSERT_EQ(objects->Count(), 1);
  EXPECT_EQ(objects->GetObjectMarker(0)->GetNumSample(), 222);
}

TEST_F(MarkerStreams, ObjectListRoundTripKeepsEverythingButTheListNumbering) {
  objects->SetDefaultColor(clAqua);
  objects->Add(7, clBlue, "a", 120, 40);
  objects->Add(8, clLime, "b", 121, 41);
  objects->Add(9, clRed, QString(300, 'c'), 122, 42);
  objects->DeleteMark(1);
  TMemoryStream stream;
  objects->SaveToStream(stream);

  FakeStore other;
  auto* otherSettings = new TSettingData(&other);
  other.settings = otherSettings;
  TObjectMarkersData loaded(&other);
  stream.SetPosition(0);
  loaded.LoadFromStream(stream);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.GetDefaultColor(), clAqua);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const TObjectMarker* saved = objects->GetObjectMarker(i);
    const TObjectMarker* read = loaded.GetObjectMarker(i);
    EXPECT_EQ(read->GetNumTrace(), saved->GetNumTrace());
    EXPECT_EQ(read->GetNumSample(), saved->GetNumSample());
    EXPECT_EQ(read->GetColor(), saved->GetColor());
    EXPECT_EQ(read->GetComment(), saved->GetComment());
    EXPECT_EQ(read->Group, saved->Group);
    EXPECT_EQ(read->GetGroup(), i);  // stored 0 and 2
  }
  EXPECT_EQ(loaded.GetObjectMarker(1)->GetComment().size(), 255);
  // No reading touched the default settings.
  EXPECT_EQ(other.defaultSaves, 0);
}

TEST_F(MarkerStreams, ReloadingReplacesTheListInsteadOfDoublingIt) {
  const QByteArray surfaceBytes = Bytes().U32(2).Surface(10, "A", 0).Surface(20, "B", 1).data;
  const QByteArray objectBytes =
      Bytes().U32(1).I32(clRed).Zeros(4).Object(40, 120, "pipe", clBlue, 7, 0).data;
  surfaces->Add(0, 99, "old");
  objects->Add(0, clRed, "old", 1, 99);
  const int components = store.ComponentCount();
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    TMemoryStream surfaceStream(surfaceBytes), objectStream(objectBytes);
    surfaces->LoadFromStream(surfaceStream);
    objects->LoadFromStream(objectStream);
    ASSERT_EQ(surfaces->Count(), 2);
    ASSERT_EQ(objects->Count(), 1);
    EXPECT_EQ(surfaces->GetSurfaceMarker(0)->GetNumTrace(), 10);
    EXPECT_EQ(surfaces->GetSurfaceMarker(1)->GetGroup(), 1);
    EXPECT_EQ(objects->GetObjectMarker(0)->GetNumTrace(), 40);
    // The replaced markers were freed.
    EXPECT_EQ(store.ComponentCount(), components + 1);
  }
}

TEST_F(MarkerStreams, DamagedListsFailWithAReadErrorAndLeaveNoMarkers) {
  struct Case {
    const char* name;
    QByteArray surface;
    QByteArray object;
  };
  const Case cases[] = {
      {"count beyond the stream", Bytes().U32(0xFFFFFFFFu).Surface(1, "", 0).data,
       Bytes().U32(0xFFFFFFFFu).I32(clRed).Zeros(4).Object(1, 1, "", 0, 0, 0).data},
      {"one record short", Bytes().U32(3).Surface(1, "", 0).Surface(2, "", 1).data,
       Bytes().U32(2).I32(clRed).Zeros(4).Object(1, 1, "", 0, 0, 0).data},
      // Long enough for the count, but a comment runs past the end.
      {"comment past the end", Bytes().U32(2).Surface(1, "", 0).I32(2).Byte(200).Zeros(11).data,
       Bytes().U32(2).I32(clRed).Zeros(4).Object(1, 1, "", 0, 0, 0).I32(2).I32(2).Byte(200).Zeros(20).data},
      {"count cut", Bytes().Zeros(3).data, Bytes().U32(1).Zeros(2).data},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surfaces->Add(0, 99, "stale");
    objects->Add(0, clRed, "stale", 1, 99);
    const int components = store.ComponentCount();
    TMemoryStream surfaceStream(c.surface), objectStream(c.object);
    EXPECT_THROW(surfaces->LoadFromStream(surfaceStream), EReadError);
    EXPECT_THROW(objects->LoadFromStream(objectStream), EReadError);
    EXPECT_EQ(surfaces->Count(), 0);
    EXPECT_EQ(objects->Count(), 0);
    // Neither the stale markers nor the ones read so far are left behind.
    EXPECT_EQ(store.ComponentCount(), components - 2);
  }
}

TEST_F(MarkerStreams, PolylineLayout) {
  TPolyLineMarkersData* line = polylines->AddPolyLine(0x00123456, "line");
  line->SetWeight(5);
  line->AddMark(-1, 1, 2);
  line->AddMark(0, -3, 400);
  const QByteArray one = Bytes().Polyline(0x00123456, 5, "line", {{1, 2}, {-3, 400}}).data;
  EXPECT_EQ(Written([&](TStream& s) { line->SaveToStream(s); }), one);
  EXPECT_EQ(Written([&](TStream& s) { line->SaveNilToStream(s); }), Bytes().Polyline(0x00123456, 5, "line", {}).data);

  TPolyLineMarkersData* empty = polylines->AddPolyLine(clRed, "");
  const QByteArray fresh = Bytes().Polyline(clRed, 2, "", {}).data;  // colour 255, width 2
  EXPECT_EQ(Written([&](TStream& s) { empty->SaveToStream(s); }), fresh);
  EXPECT_EQ(Written([&](TStream& s) { polylines->SaveToStream(s); }), Bytes().U32(2).data + one + fresh);
  EXPECT_EQ(Written([](TStream& s) { TPolyLineMarkersArray::SaveNilToStream(s); }), Bytes().U32(0).data);
}

TEST_F(MarkerStreams, PolylineListReadsBackAndReplacesItsEntries) {
  // The second copy of the width is the one that stays.
  Bytes bytes;
  bytes.U32(2).U32(1).I32(clBlue).I32(3).I32(7).Wide("first").Zeros(16).I32(10).I32(20);
  bytes.Polyline(clLime, 4, Cyrillic, {});
  TPolyLineMarkersData* old = polylines->AddPolyLine(clRed, "old");
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    TMemoryStream stream(bytes.data);
    polylines->LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(polylines->Count(), 2);
    const TPolyLineMarkersData* first = polylines->GetPolyLineMarkersArray(0);
    EXPECT_EQ(first->GetMarkColor(), clBlue);
    EXPECT_EQ(first->GetWeight(), 7);
    EXPECT_EQ(first->GetComment(), "first");
    EXPECT_EQ(first->Nodes(), (std::vector<TPoint>{{10, 20}}));
    const TPolyLineMarkersData* second = polylines->GetPolyLineMarkersArray(1);
    EXPECT_EQ(second->GetComment(), Cyrillic);
    EXPECT_EQ(second->Count(), 0);
  }
  // The list never frees a polyline it held: the store does.
  EXPECT_EQ(old->GetComment(), "old");
}

TEST_F(MarkerStreams, DamagedPolylinesFailWithAReadError) {
  const QByteArray cases[] = {
      Bytes().U32(0xFFFFFFFFu).Polyline(clRed, 2, "", {}).data,
      Bytes().U32(1).U32(0xFFFFFFFFu).I32(clRed).I32(2).I32(2).Wide("").Zeros(16).I32(1).I32(2).data,
      Bytes().U32(2).Polyline(clRed, 2, "", {{1, 2}}).U32(0).I32(clRed).I32(2).I32(2).Byte(200).Zeros(20).data,
  };
  for (const QByteArray& bytes : cases) {
    polylines->AddPolyLine(clRed, "kept by the store");
    const int components = store.ComponentCount();
    TMemoryStream stream(bytes);
    EXPECT_THROW(polylines->LoadFromStream(stream), EReadError);
    EXPECT_EQ(polylines->Count(), 0);
    // The polylines read so far are freed; the one held before stays with the store.
    EXPECT_EQ(store.ComponentCount(), components);
  }

  TPolyLineMarkersData* line = polylines->AddPolyLine(clRed, "");
  line->AddMark(-1, 1, 1);
  TMemoryStream nodesShort(Bytes().U32(3).I32(clBlue).I32(2).I32(2).Wide("").Zeros(16).I32(1).I32(2).data);
  EXPECT_THROW(line->LoadFromStream(nodesShort), EReadError);
  EXPECT_EQ(line->Count(), 0);
}

TEST_F(MarkerStreams, TopographyMarks) {
  EXPECT_EQ(Written([&](TStream& s) { topo->WriteToFile(s); }), Bytes().U32(0).data);
  topo->Add(100, -2, "well", 3);
  topo->Add(-7, 4, Cyrillic, -5);
  const QByteArray bytes = Bytes().U32(2).Topo(100, -2, 3, "well").Topo(-7, 4, -5, Cyrillic).data;
  EXPECT_EQ(Written([&](TStream& s) { topo->WriteToFile(s); }), bytes);

  TTopoData loaded(&store);
  loaded.Add(1, 1, "stale", 1);
  for (int pass = 0; pass < 2; ++pass) {
    TMemoryStream stream(bytes);
    loaded.LoadFromFile(stream);
    EXPECT_EQ(loaded.TopoDataArray(), topo->TopoDataArray());
  }

  for (uint32_t count : {3u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(count);
    loaded.Add(1, 1, "stale", 1);
    TMemoryStream damaged(Bytes().U32(count).Topo(1, 2, 3, "a").data);
    EXPECT_THROW(loaded.LoadFromFile(damaged), EReadError);
    EXPECT_EQ(loaded.GetListCount(), 0);
  }
}

}  // namespace
