#include "tools/imaging/reconstruction_params.h"

#include "platform/rtl/extended.h"
#include "platform/rtl/streams.h"
#include "profiledata/channel_store.h"
#include "tools/imaging/migration_run.h"
#include "tools/tool_record.h"

void InitReconstructionFields(TReconstructionFields& fields, const TReconstructionFields& defaults,
                              const T2Dview* view) {
  fields.XYProportional = defaults.XYProportional;
  fields.MinAmpSect = defaults.MinAmpSect;
  fields.SizeHyperbola = defaults.SizeHyperbola;
  fields.dH = defaults.dH;
  if (IsWheelProfile(view)) fields.XYProportional = view->GetProportionalCoefic();
}

void WriteReconstructionBody(TStream& str, const TReconstructionFields& fields, const long double* stepRecept) {
  WriteExtended(str, fields.XYProportional);
  str.WriteValue<int32_t>(fields.MinAmpSect);
  str.WriteValue<int32_t>(fields.SizeHyperbola);
  WriteExtended(str, fields.DistanceRecept);
  if (stepRecept) WriteExtended(str, *stepRecept);
  str.WriteValue<int32_t>(fields.dH);
}

void ReadReconstructionBody(TToolRecordFields& record, TReconstructionFields& fields, long double* stepRecept) {
  if (!record.ReadExtended(fields.XYProportional)) return;
  if (!record.Read(fields.MinAmpSect)) return;
  if (!record.Read(fields.SizeHyperbola)) return;
  if (!record.ReadExtended(fields.DistanceRecept)) return;
  if (stepRecept && !record.ReadExtended(*stepRecept)) return;
  record.Read(fields.dH);
}
