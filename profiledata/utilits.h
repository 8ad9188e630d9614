#pragma once
// Plain routines shared by both programs. The stream strings, number texts, NMEA
// parsing, projection and trace routines live in their own headers, included here so
// that one include gives the whole set; this file adds the folder dialog and the
// sample-to-time conversion of the active radargram window.

#include "profiledata/gauss_kruger.h"
#include "profiledata/hilbert.h"
#include "profiledata/nmea.h"
#include "profiledata/number_text.h"
#include "profiledata/stream_strings.h"

#include <QString>

// The system's folder browser with its top-left corner at screen position (x, y), the
// initial folder preselected and browsing limited to root when root is not empty.
// An initial folder of 500 characters or more is replaced by the file-system root.
// Returns true and the chosen folder in path, or false and an empty path when cancelled.
// User-interface thread only.
bool SelectFolder(int x, int y, const QString& title, QString& path, const QString& initialFolder,
                  const QString& root);

// What the sample-to-time conversion needs of the active radargram window. The window
// registers itself when it becomes active and unregisters (nullptr) before it goes away.
class IActiveViewTiming {
public:
  virtual ~IActiveViewTiming() = default;
  // The channel's time window (ns) and sampling step factor; false when the window
  // has no such channel.
  virtual bool ChannelTiming(int channel, double& spanWidthNs, int& overStep) const = 0;
};

// Registers the active window (nullptr: none). The pointer is not owned.
void SetActiveViewTiming(const IActiveViewTiming* view);
const IActiveViewTiming* ActiveViewTiming();

// x samples of the given channel of the active window in ns: x x SpanWidth x OverStep
// / 1000. Without an active window, or when it lacks the channel, the unknown unit's
// third time window at OverStep 2: x x 106.6 x 2 / 1000.
long double SampleToTimeOfView(int channel, double x);
