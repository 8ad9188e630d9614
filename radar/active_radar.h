#pragma once
// TActiveRadar: the radar set that owns the radar objects. It creates a radar for
// each port or TCP radar the main window finds, asks it for its identity and its
// place in the set, keeps it in the slot of its own channel number, checks that the
// set is consistent, hands the radars to the main window's ControlRadar by channel
// and announces the finished set to the windows by posted messages.
//
// Ownership: every radar in a slot is owned here and freed by RadarFree (also run
// by the destructor), or when the set drops it (a duplicate channel number, a
// non-single radar beside a single one). A radar dropped here leaves the
// ControlRadar given at construction and, when it was the main window's current
// radar, the main window gets slot 0's radar instead.
//
// Threads: user-interface thread only (see control_radar.h for the calls the
// reader threads make). The query sequences wait for each reply while serving
// messages; their pauses block the user-interface thread.

#include "radar/control_radar.h"

#include <QString>

class TRadar;

// The port names that stand for a TCP radar: a Wi-Fi modem radar and a
// single-board-computer radar.
inline const QString WiFiRadarName = QStringLiteral("WIFI");
inline const QString RaspRadarName = QStringLiteral("RASP");
// The port name a TCP radar carries.
inline const QString TcpRadarComNumber = QStringLiteral("WiFi");

class TActiveRadar : public TControlRadar {
public:
  // controlRadar: the main window's channel set, which forgets radars freed here and
  // receives the radars of a consistent set (not owned; may be nullptr).
  explicit TActiveRadar(TControlRadar* controlRadar = nullptr);
  ~TActiveRadar() override;

  // Stops every radar's reader, empties the slots (here and in the ControlRadar),
  // clears the main window's current radar and frees the radars.
  void RadarFree() override;
  // "WIFI" a Wi-Fi modem radar, "RASP" a single-board-computer radar, any other
  // name a serial radar on that port. Nothing is created when a radar of that port
  // name exists: true then. False when the port could not be opened (or no TCP
  // connection was there to take over).
  bool CreateRadar(const QString& strComNumberIn) override;

  // Removes the radar from every slot and puts it into the slot of its channel
  // number; a radar whose slot is taken (a duplicate channel number) or whose
  // number names no slot is freed and set to nullptr.
  void RadarAddToChannal(TRadar*& NewRadar);

  // ---- Finishing the set (radar_set_check.cpp) -----------------------------------------
  // ArChannalSerNum from the radars' channel numbers and serial numbers; the channel
  // visibility of a fresh recording window follows it. True.
  bool CreateArChannalSerNum();
  // The set's consistency by the radars' master/slave roles (logged on slot 0's
  // radar). A single radar beside others keeps only the single one.
  bool TestErrorActiveRadar();
  // Hands the radars to the ControlRadar by channel, decides the multi-radar mode
  // and announces a loaded set.
  void CreateArControlRadar();

  TControlRadar* ControlRadar() const { return controlRadar_; }

private:
  // The per-radar query sequences. Each returns the radar it placed in its slot, or
  // nullptr; opened is false when no radar could be created.
  TRadar* CreateUSBRadar(const QString& strComNumberIn, bool& opened);
  TRadar* CreateWiFiRadar(bool& opened);
  TRadar* CreateRaspRadar(bool& opened);
  // The TCP radar of the main window's probe result; nullptr (nothing kept) when
  // there is no connection to take over.
  TRadar* NewTcpRadar();
  // Step 6 of the queries: a single radar is channel 0; a master reports the size
  // of the set.
  void ApplySingleMasterRule(TRadar& radar);
  // Empties every slot that holds the radar, here and in the ControlRadar, moves
  // the main window's current radar off it and frees it.
  void FreeRadar(TRadar* radar);

  TControlRadar* controlRadar_;
};
