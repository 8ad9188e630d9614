#pragma once
// The acquisition program's start-up, as main runs it and as the tests run it in
// their own process:
//
//   1. the single-instance test, before any application object exists; a
//      second instance hands its command line's file to the running one, brings
//      that one to the front and ends;
//   2. the first instance creates its main window (which binds its endpoint at
//      once, so a second instance's request waits in the socket until the loop
//      runs), the long-lived dialogs, the captions;
//   3. the splash, shown while the loop does not run;
//   4. the command line;
//   5. the message loop.
//
// User-interface thread only.

#include <QString>
#include <QStringList>

// How long the start-up splash stays up.
inline constexpr int StartupSplashMilliseconds = 1500;

// Step 1. True in the first instance. In a second one the hand-over has run by
// the time this returns false. `executablePath` gives the application title the
// instance locks are named after ("Talvorn3" for ".../Talvorn3").
bool AcquisitionFirstInstance(const QString& executablePath, const QStringList& arguments);

// Steps 2 to 4, with the application object made and initialised. The word
// `create` runs the Create command and marks the new window 200.
void StartAcquisitionProgram(const QStringList& arguments, int splashMilliseconds = StartupSplashMilliseconds);

// The whole program; main's exit code.
int RunAcquisitionProgram(int argc, char** argv);
