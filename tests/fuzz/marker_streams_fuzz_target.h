#pragma once
// One fuzz input through the readers of the marker stream forms, shared by the
// libFuzzer target and the normal suite (tests/profiledata/marker_streams_fuzz_test.cpp).
//
// Input: byte 0 picks the form (mod 5: surface-marker list, object-marker list,
// polyline list, one polyline, topography list) and the record version of the
// owning channel (the next choice, mod 2: 42 with the markers' group fields, 39
// without); the rest is the stream.
// Checked for every input:
// - a damaged stream throws EReadError and nothing else, and leaves the list
//   empty (the polyline without nodes) with no marker or polyline left behind
//   in the channel store;
// - a stream that reads gives as many entries as its count says, comments of at
//   most 255 code units, list groups 0, 1, 2, ... in order, no read beyond the
//   stream, and what is read survives a save and a reload unchanged.

#include "profiledata/markers_data.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/setting_data.h"
#include "profiledata/topo_data.h"
#include "tests/profiledata/fake_hooks.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace marker_fuzz {

enum TMarkerForm : uint8_t { mfSurfaces, mfObjects, mfPolylines, mfPolyline, mfTopo };

// A channel store with its settings and one of each list; `version` is the
// record version the lists read.
struct TMarkerEnv {
  explicit TMarkerEnv(uint8_t version) {
    settings = new TSettingData(&store);
    settings->SetVersion(version);
    store.settings = settings;
    surfaces = new TSurfeMarkersData(&store);
    objects = new TObjectMarkersData(&store);
    polylines = new TPolyLineMarkersArray(&store);
    polyline = new TPolyLineMarkersData(&store);
    topo = new TTopoData(&store);
    baseComponents = store.ComponentCount();
  }

  // Reads `form` from the stream.
  void Load(TMarkerForm form, TStream& stream) {
    switch (form) {
      case mfSurfaces: surfaces->LoadFromStream(stream); break;
      case mfObjects: objects->LoadFromStream(stream); break;
      case mfPolylines: polylines->LoadFromStream(stream); break;
      case mfPolyline: polyline->LoadFromStream(stream); break;
      default: topo->LoadFromFile(stream); break;
    }
  }

  QByteArray Save(TMarkerForm form) const {
    TMemoryStream stream;
    switch (form) {
      case mfSurfaces: surfaces->SaveToStream(stream); break;
      case mfObjects: objects->SaveToStream(stream); break;
      case mfPolylines: polylines->SaveToStream(stream); break;
      case mfPolyline: polyline->SaveToStream(stream); break;
      default: topo->WriteToFile(stream); break;
    }
    return stream.Bytes();
  }

  int Entries(TMarkerForm form) const {
    switch (form) {
      case mfSurfaces: return surfaces->Count();
      case mfObjects: return objects->Count();
      case mfPolylines: return polylines->Count();
      case mfPolyline: return polyline->Count();
      default: return topo->Count();
    }
  }

  // Components the load added to the store (markers and polylines it kept).
  int AddedComponents() const { return store.ComponentCount() - baseComponents; }

  FakeStore store;
  TSettingData* settings = nullptr;
  TSurfeMarkersData* surfaces = nullptr;
  TObjectMarkersData* objects = nullptr;
  TPolyLineMarkersArray* polylines = nullptr;
  TPolyLineMarkersData* polyline = nullptr;
  TTopoData* topo = nullptr;
  int baseComponents = 0;
};

inline std::string CheckEntries(const TMarkerEnv& env, TMarkerForm form) {
  auto longComment = [](const QString& text) { return text.size() > 255; };
  switch (form) {
    case mfSurfaces:
      for (int i = 0; i < env.surfaces->Count(); ++i) {
        if (longComment(env.surfaces->GetSurfaceMarker(i)->GetComment())) return "a comment beyond 255 characters";
        if (env.surfaces->GetSurfaceMarker(i)->GetGroup() != i) return "list groups not numbered from 0";
      }
      break;
    case mfObjects:
      for (int i = 0; i < env.objects->Count(); ++i) {
        if (longComment(env.objects->GetObjectMarker(i)->GetComment())) return "a comment beyond 255 characters";
        if (env.objects->GetObjectMarker(i)->GetGroup() != i) return "list groups not numbered from 0";
      }
      break;
    case mfPolylines:
      for (int i = 0; i < env.polylines->Count(); ++i)
        if (longComment(env.polylines->GetPolyLineMarkersArray(i)->GetComment())) return "a comment beyond 255 characters";
      break;
    case mfPolyline:
      if (longComment(env.polyline->GetComment())) return "a comment beyond 255 characters";
      break;
    default: break;
  }
  return {};
}

}  // namespace marker_fuzz

// Empty when every guarantee held, else the first that did not.
inline std::string ReadMarkerStreamOnce(const uint8_t* data, size_t size) {
  using namespace marker_fuzz;
  if (size == 0) return {};
  const auto form = static_cast<TMarkerForm>(data[0] % 5);
  const uint8_t version = (data[0] / 5) % 2 == 0 ? 42 : 39;
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  TMarkerEnv env(version);
  TMemoryStream stream(bytes);
  try {
    env.Load(form, stream);
  } catch (const EReadError&) {
    if (env.Entries(form) != 0) return "a damaged stream left entries behind";
    if (env.AddedComponents() != 0) return "a damaged stream left markers in the store";
    return {};
  }
  if (stream.Position() > bytes.size()) return "read beyond the stream";
  // The count leads every form.
  uint32_t count = 0;
  if (bytes.size() < 4) return "read a stream too short for its count";
  std::memcpy(&count, bytes.constData(), 4);
  if (static_cast<uint32_t>(env.Entries(form)) != count) return "the entries differ from the stored count";
  const bool storeOwnsEntries = form == mfSurfaces || form == mfObjects || form == mfPolylines;
  if (storeOwnsEntries && env.AddedComponents() != env.Entries(form)) return "entries and store components disagree";
  if (std::string broken = CheckEntries(env, form); !broken.empty()) return broken;

  // Writers always write the current version, with the group fields.
  const QByteArray saved = env.Save(form);
  TMarkerEnv again(42);
  TMemoryStream reread(saved);
  try {
    again.Load(form, reread);
  } catch (const EReadError&) {
    return "what was read cannot be read back";
  }
  if (reread.Position() != saved.size()) return "the saved form is not read to its end";
  if (again.Save(form) != saved) return "a save and a reload changed the entries";
  return {};
}
