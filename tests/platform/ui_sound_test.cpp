// Wave resources: started without waiting, dropped while one still plays, and
// harmless on a machine without sound.

#include "platform/ui/sound.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

class TRecordingOutput final : public ISoundOutput {
public:
  bool Busy() override { return playing; }
  void Start(const QString& name) override {
    started.push_back(name);
    playing = true;
  }
  bool playing = false;
  std::vector<QString> started;
};

TEST(UiSound, ASoundAskedForWhileOneIsPlayingIsDropped) {
  TRecordingOutput output;
  SetSoundOutput(&output);
  EXPECT_TRUE(PlayWaveResource("BOOM"));
  EXPECT_FALSE(PlayWaveResource("SND2"));
  output.playing = false;  // the first one has ended
  EXPECT_TRUE(PlayWaveResource("SND2"));
  SetSoundOutput(nullptr);
  EXPECT_EQ(output.started, (std::vector<QString>{"BOOM", "SND2"}));
  EXPECT_EQ(WaveResourceUrl("BOOM"), "qrc:/wave/BOOM.wav");
}

TEST(UiSound, ASoundThatCannotPlayDoesNotHoldUpTheNextOne) {
  // No such resource and, on a build machine, usually no audio device either:
  // nothing plays, so nothing is busy and the next request is started too.
  EXPECT_TRUE(PlayWaveResource("NOSUCHSOUND"));
  ProcessMessagesUntil([] { return false; }, std::chrono::milliseconds(20));
  EXPECT_TRUE(PlayWaveResource("NOSUCHSOUND"));
}

}  // namespace
