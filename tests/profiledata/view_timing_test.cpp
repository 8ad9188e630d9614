#include "profiledata/utilits.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// An active radargram window with some channels.
class FakeView : public IActiveViewTiming {
public:
  std::map<int, std::pair<double, int>> channels;  // channel -> (SpanWidth ns, OverStep)
  bool ChannelTiming(int channel, double& spanWidthNs, int& overStep) const override {
    const auto it = channels.find(channel);
    if (it == channels.end()) return false;
    spanWidthNs = it->second.first;
    overStep = it->second.second;
    return true;
  }
};

class SampleToTime : public ::testing::Test {
protected:
  void TearDown() override { SetActiveViewTiming(nullptr); }
};

TEST_F(SampleToTime, WithoutAnActiveWindowUsesTheUnknownUnitAtOverStep2) {
  SetActiveViewTiming(nullptr);
  EXPECT_NEAR(double(SampleToTimeOfView(0, 500)), 106.6, 1e-12);  // 500 x 106.6 x 2 / 1000
  EXPECT_NEAR(double(SampleToTimeOfView(3, 10)), 2.132, 1e-12);
  EXPECT_EQ(SampleToTimeOfView(0, 0), 0);
}

TEST_F(SampleToTime, UsesTheChannelOfTheActiveWindow) {
  FakeView view;
  view.channels[0] = {240.0, 4};
  view.channels[1] = {53.3, 1};
  SetActiveViewTiming(&view);
  EXPECT_EQ(ActiveViewTiming(), &view);

  EXPECT_NEAR(double(SampleToTimeOfView(0, 250)), 240.0, 1e-12);  // 250 x 240 x 4 / 1000
  EXPECT_NEAR(double(SampleToTimeOfView(1, 1000)), 53.3, 1e-12);  // 1000 x 53.3 x 1 / 1000
  EXPECT_NEAR(double(SampleToTimeOfView(0, -12.5)), -12.0, 1e-12);
  // A channel the window does not have falls back to the default.
  EXPECT_NEAR(double(SampleToTimeOfView(4, 500)), 106.6, 1e-12);
}

}  // namespace
