#pragma once
// Builders of channel records from the record layouts, and a parser of the current
// header (see record_fixtures.h).

#include "tests/profiledata/record_fixtures.h"

namespace record_fixtures {

namespace detail {

inline void PutSurface(TBytes& b, const TSurfaceFields& m, bool groups) {
  b.I32(m.trace).Wide(m.comment);
  if (groups) b.I32(m.group).I32(m.group);
}

inline void PutObject(TBytes& b, const TObjectFields& m, bool groups) {
  b.I32(m.trace).I32(m.sample).Wide(m.comment).I32(m.color).I32(m.sample);
  if (groups) b.I32(m.objectGroup).I32(m.group);
}

inline void PutPolyline(TBytes& b, const TPolylineFields& p) {
  b.U32(static_cast<uint32_t>(p.nodes.size())).I32(p.color).I32(p.weight).I32(p.weight).Wide(p.comment);
  b.Raw(QByteArray(16, '\0'));
  for (const TPoint& n : p.nodes) b.I32(n.X).I32(n.Y);
}

// Reads the little-endian fields of a byte array; throws at its end.
class TReader {
public:
  TReader(const QByteArray& bytes, int64_t at) : bytes_(bytes), at_(at) {}
  template <typename T>
  T Get() {
    T value;
    std::memcpy(&value, Take(sizeof(T)).constData(), sizeof(T));
    return value;
  }
  QByteArray Take(int64_t n) {
    if (n < 0 || at_ + n > bytes_.size()) throw std::runtime_error("record ends early");
    QByteArray out = bytes_.mid(at_, n);
    at_ += n;
    return out;
  }
  QString Wide() {
    const int n = Get<uint8_t>();
    QString text;
    for (int i = 0; i < n; ++i) text.append(QChar(Get<uint16_t>()));
    return text;
  }
  int64_t At() const { return at_; }

private:
  const QByteArray& bytes_;
  int64_t at_;
};

}  // namespace detail

inline QByteArray BuildWgpr(const TRecordFields& f, uint8_t v, const QByteArray& prefix = {},
                            std::optional<uint32_t> recordEnd = std::nullopt,
                            std::optional<uint32_t> headerEnd = std::nullopt, TWgprOffsets* at = nullptr) {
  TWgprOffsets unused;
  TWgprOffsets& o = at ? *at : unused;
  TBytes b;
  b.Raw(prefix);
  const int64_t begin = b.Size();
  b.Text("WGPR").U32(0).U32(0).U8(v).U8(f.typeGPR).Wide(f.comments).I32(f.speedLight).U8(f.spanIndex);
  b.F64(f.spanWidth);
  o.longTrace = b.Size();
  b.I32(f.longTrace).U8(f.overStep).U8(f.stacking).U8(f.wasFlip);
  if (v >= 37) b.U8(f.wasFlipVert);
  b.U8(f.runMode).F64(f.wheelStep).U16(f.wheelMult).U8(f.topoType).I32(f.nullShift);
  b.I32(f.x).I32(f.y).I32(f.z);
  for (double g : f.g) b.F64(g);
  if (v >= 37) b.U8(f.direction);
  o.incl = b.Size();
  b.I64(static_cast<int64_t>(f.incl.size()));
  for (const TInclRecord& r : f.incl) b.Put(r);
  b.F64(f.zeroAngle).F64(f.calibrationQuality);
  if (v >= 33) {
    o.topo = b.Size();
    b.U32(static_cast<uint32_t>(f.topo.size()));
    for (const TMarkTopo& t : f.topo) b.I32(t.value).I32(t.ShiftHor).I32(t.ShiftVer).Wide(t.title);
  }
  if (v >= 34) {
    o.nmea = b.Size();
    if (v == 34) {
      b.ShortAnsi(f.nmea);
    } else {
      b.LongAnsi(f.nmea);
    }
    o.palette = b.Size();
    b.U32(static_cast<uint32_t>(f.palette.size()));
    for (const TPalettePoint& p : f.palette) b.I32(p.X).I32(p.cl);
    b.U8(f.proportional).U8(f.topocorrection).U8(f.picture.isEmpty() ? 0 : 1);
    o.picture = b.Size();
    b.Raw(f.picture);
    o.zeroLevel = b.Size();
    b.I32(static_cast<int32_t>(f.zeroLevel.size()));
    for (const TZeroLevelPoint& p : f.zeroLevel) b.F64(p.X).F64(p.Y);
  }
  if (v >= 36) o.range = b.Size();
  if (v >= 36) b.I32(f.minTrace).I32(f.maxTrace).U16(f.serNum);
  if (v >= 38) b.I32(f.azimuth).I32(f.angle);
  if (v >= 39) {
    b.U8(f.advanceStacking).I32(f.stackingCurve).I32(f.stackingVolume);
    o.surface = b.Size();
    b.U32(static_cast<uint32_t>(f.surface.size()));
    for (const TSurfaceFields& m : f.surface) detail::PutSurface(b, m, v >= 40);
    o.objects = b.Size();
    b.U32(static_cast<uint32_t>(f.objects.size())).I32(f.objectDefaultColor).U32(0);
    for (const TObjectFields& m : f.objects) detail::PutObject(b, m, v >= 40);
  }
  if (v >= 41) {
    o.polylines = b.Size();
    b.U32(static_cast<uint32_t>(f.polylines.size()));
    for (const TPolylineFields& p : f.polylines) detail::PutPolyline(b, p);
  }
  if (v >= 42) b.Extended(f.nrmCoef);
  const auto end = static_cast<uint32_t>(b.Size());
  b.Raw(f.raw);
  b.PatchU32(begin + 4, recordEnd.value_or(static_cast<uint32_t>(b.Size())));
  b.PatchU32(begin + 8, headerEnd.value_or(end));
  return b.data;
}

inline QByteArray BuildDezo16(const TRecordFields& f, uint8_t v, bool dataFile) {
  TBytes b;
  b.Text("DEZO").U32(0).U32(0).U8(v).U8(f.typeGPR).ShortAnsi(f.comments.toLatin1()).I32(f.speedLight);
  b.U8(f.spanIndex).F64(f.spanWidth).I32(f.longTrace).U8(f.overStep).U8(f.stacking).U8(f.wasFlip).U8(f.runMode);
  b.F64(f.wheelStep).U16(f.wheelMult).U8(f.topoType).I32(f.nullShift).I32(f.x).I32(f.y).I32(f.z);
  if (v >= 17) {
    for (double g : f.g) b.F64(g);
    if (dataFile) {
      b.I64(static_cast<int64_t>(f.incl.size()));
      for (const TInclRecord& r : f.incl) b.Put(r);
    }
  }
  if (v >= 18) b.F64(f.zeroAngle).F64(f.calibrationQuality);
  const auto end = static_cast<uint32_t>(b.Size());
  b.Raw(f.raw);
  b.PatchU32(4, static_cast<uint32_t>(b.Size()));
  b.PatchU32(8, end);
  return b.data;
}

inline QByteArray BuildDezo2(const TRecordFields& f, const TOldDezoFields& old, uint8_t v, bool withZ) {
  TBytes b;
  b.Text("DEZO").U32(0).U32(0).U8(v).ShortAnsi(f.comments.toLatin1()).U8(f.spanIndex);
  b.I32(old.start).I32(old.stop).I32(f.longTrace).I32(old.overStepWord).I32(old.stackingWord).I32(f.speedLight);
  b.I32(static_cast<int32_t>(old.windows.size()));
  for (uint16_t w : old.windows) b.U16(w);
  b.I32(static_cast<int32_t>(old.skipped.size())).Raw(old.skipped);
  b.I32(static_cast<int32_t>(old.marks.size()));
  for (const TOldDezoFields::TMark& m : old.marks) {
    b.I16(m.value);
    if (v >= 4) b.I16(m.shiftHor).I16(m.shiftVer);
    if (v >= 3) b.ShortAnsi(m.title);
  }
  if (v >= 5) b.U8(old.unitMinusOne);
  if (v >= 6) b.I32(old.wheelStepWord);
  if (v >= 8) b.I32(old.nullShift).U8(old.wasFlip);
  if (v >= 9) {
    b.I32(old.x).I32(old.y);
    if (withZ) b.I32(old.z);
  }
  const auto end = static_cast<uint32_t>(b.Size());
  b.Raw(f.raw);
  b.PatchU32(4, static_cast<uint32_t>(b.Size()));
  b.PatchU32(8, end);
  return b.data;
}

inline TParsedHeader ParseWgpr42(const QByteArray& bytes, int64_t begin = 0) {
  detail::TReader r(bytes, begin);
  if (r.Take(4) != "WGPR") throw std::runtime_error("no WGPR magic");
  TParsedHeader h;
  TRecordFields& f = h.fields;
  h.recordEnd = r.Get<uint32_t>();
  h.headerEnd = r.Get<uint32_t>();
  h.version = r.Get<uint8_t>();
  f.typeGPR = r.Get<uint8_t>();
  f.comments = r.Wide();
  f.speedLight = r.Get<int32_t>();
  f.spanIndex = r.Get<uint8_t>();
  f.spanWidth = r.Get<double>();
  f.longTrace = r.Get<int32_t>();
  f.overStep = r.Get<uint8_t>();
  f.stacking = r.Get<uint8_t>();
  f.wasFlip = r.Get<uint8_t>() != 0;
  f.wasFlipVert = r.Get<uint8_t>() != 0;
  f.runMode = r.Get<uint8_t>();
  f.wheelStep = r.Get<double>();
  f.wheelMult = r.Get<uint16_t>();
  f.topoType = r.Get<uint8_t>();
  f.nullShift = r.Get<int32_t>();
  f.x = r.Get<int32_t>();
  f.y = r.Get<int32_t>();
  f.z = r.Get<int32_t>();
  for (double& g : f.g) g = r.Get<double>();
  f.direction = r.Get<uint8_t>();
  f.incl.resize(static_cast<size_t>(r.Get<int64_t>()));
  for (TInclRecord& rec : f.incl) rec = r.Get<TInclRecord>();
  f.zeroAngle = r.Get<double>();
  f.calibrationQuality = r.Get<double>();
  if (r.Get<uint32_t>() != 0) throw std::runtime_error("topography marks are never written");
  f.nmea = r.Take(r.Get<int32_t>());
  f.palette.resize(r.Get<uint32_t>());
  for (TPalettePoint& p : f.palette) p = {r.Get<int32_t>(), r.Get<int32_t>()};
  f.proportional = r.Get<uint8_t>();
  f.topocorrection = r.Get<uint8_t>() != 0;
  h.pictureFlag = r.Get<uint8_t>() == 1;
  f.picture.clear();
  if (h.pictureFlag) {
    detail::TReader peek(bytes, r.At() + 2);
    f.picture = r.Take(peek.Get<uint32_t>());  // the size field of the file header
  }
  f.zeroLevel.resize(static_cast<size_t>(r.Get<int32_t>()));
  for (TZeroLevelPoint& p : f.zeroLevel) p = {r.Get<double>(), r.Get<double>()};
  f.minTrace = r.Get<int32_t>();
  f.maxTrace = r.Get<int32_t>();
  f.serNum = r.Get<uint16_t>();
  f.azimuth = r.Get<int32_t>();
  f.angle = r.Get<int32_t>();
  f.advanceStacking = r.Get<uint8_t>() != 0;
  f.stackingCurve = r.Get<int32_t>();
  f.stackingVolume = r.Get<int32_t>();
  f.surface.resize(r.Get<uint32_t>());
  for (TSurfaceFields& m : f.surface) {
    m.trace = r.Get<int32_t>();
    m.comment = r.Wide();
    m.group = r.Get<int32_t>();
    if (r.Get<int32_t>() != m.group) throw std::runtime_error("the two group fields differ");
  }
  f.objects.resize(r.Get<uint32_t>());
  f.objectDefaultColor = r.Get<int32_t>();
  if (r.Get<uint32_t>() != 0) throw std::runtime_error("reserved bytes not zero");
  for (TObjectFields& m : f.objects) {
    m.trace = r.Get<int32_t>();
    m.sample = r.Get<int32_t>();
    m.comment = r.Wide();
    m.color = r.Get<int32_t>();
    if (r.Get<int32_t>() != m.sample) throw std::runtime_error("the two sample fields differ");
    m.objectGroup = r.Get<int32_t>();
    m.group = r.Get<int32_t>();
  }
  f.polylines.resize(r.Get<uint32_t>());
  for (TPolylineFields& p : f.polylines) {
    p.nodes.resize(r.Get<uint32_t>());
    p.color = r.Get<int32_t>();
    p.weight = r.Get<int32_t>();
    if (r.Get<int32_t>() != p.weight) throw std::runtime_error("the two weight fields differ");
    p.comment = r.Wide();
    if (r.Take(16) != QByteArray(16, '\0')) throw std::runtime_error("reserved bytes not zero");
    for (TPoint& n : p.nodes) n = {r.Get<int32_t>(), r.Get<int32_t>()};
  }
  uint8_t ext[ExtendedSize];
  std::memcpy(ext, r.Take(ExtendedSize).constData(), ExtendedSize);
  f.nrmCoef = BytesToExtended(ext);
  if (r.At() != h.headerEnd) throw std::runtime_error("the fields do not end at the header end");
  f.raw = bytes.mid(h.headerEnd, static_cast<qsizetype>(h.recordEnd) - h.headerEnd);
  return h;
}

}  // namespace record_fixtures
