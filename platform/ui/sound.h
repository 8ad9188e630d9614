#pragma once
// Short sounds from the program's wave resources, started without waiting.
//
// PlayWaveResource starts the named sound and returns at once. A request that
// comes while a sound is still playing is dropped, as is one on a machine
// without sound output: a sound never fails and never holds up the caller.
// The resource "NAME" is the wave file ":/wave/NAME.wav" of the program's Qt
// resources.
//
// Threads: user-interface thread only.

#include <QString>

class ISoundOutput {
public:
  virtual ~ISoundOutput() = default;
  // True while the sound started last is still playing.
  virtual bool Busy() = 0;
  virtual void Start(const QString& resourceName) = 0;
};

// True when the sound was started, false when it was dropped.
bool PlayWaveResource(const QString& resourceName);

// Replaces where sounds go (a recording fake in tests); nullptr restores the
// machine's sound output. The output is not owned and must outlive its use.
void SetSoundOutput(ISoundOutput* output);

// The file a wave resource is played from.
QString WaveResourceUrl(const QString& resourceName);
