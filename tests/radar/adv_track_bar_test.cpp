// TadvTrackBar: a handler that runs the message loop is not re-entered; position
// changes and a mouse release that arrive during its run give one more run each,
// whatever their number, and the last run sees the final position.

#include "radar/adv_track_bar.h"

#include "platform/ui/application.h"
#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <vector>

namespace {

class AdvTrackBar : public ::testing::Test {
protected:
  void SetUp() override {
    form = TComponent::Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    bar = new TadvTrackBar(form);
    bar->SetParent(form);
    bar->SetBounds(10, 10, 200, 30);
    bar->SetRange(0, 100);
    form->Show();
    // A slow preview: the first run lets the queued input in, as a handler that
    // processes messages does.
    bar->OnChange = [this](TObject*) {
      ++depth;
      maxDepth = std::max(maxDepth, depth);
      seen.push_back(bar->Position());
      if (seen.size() == 1) {
        for (auto& post : duringFirstRun) post();
        Application->ProcessMessages();
      }
      --depth;
    };
  }
  void TearDown() override { form->Free(); }

  // Queued like input that arrives while the handler runs.
  void QueuePosition(int position) {
    duringFirstRun.push_back([this, position] {
      QMetaObject::invokeMethod(
          qApp, [this, position] { bar->SetPosition(position); }, Qt::QueuedConnection);
    });
  }
  void QueueRelease() {
    duringFirstRun.push_back([this] {
      const QPoint pos(50, 15);
      QCoreApplication::postEvent(bar->Widget(), new QMouseEvent(QEvent::MouseButtonRelease, pos,
                                                                 bar->Widget()->mapToGlobal(pos), Qt::LeftButton,
                                                                 Qt::NoButton, Qt::NoModifier));
    });
  }

  TForm* form = nullptr;
  TadvTrackBar* bar = nullptr;
  std::vector<std::function<void()>> duringFirstRun;
  std::vector<int> seen;
  int depth = 0;
  int maxDepth = 0;
};

TEST_F(AdvTrackBar, TenChangesDuringARunGiveOneMoreRun) {
  for (int p = 11; p <= 20; ++p) QueuePosition(p);
  bar->SetPosition(10);
  EXPECT_EQ(seen, (std::vector<int>{10, 20}));
  EXPECT_EQ(maxDepth, 1);
  EXPECT_FALSE(bar->isRuning);
  EXPECT_FALSE(bar->isNeedChange);
  // Outside a run every change is handled at once.
  bar->SetPosition(30);
  EXPECT_EQ(seen.back(), 30);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(AdvTrackBar, AReleaseDuringARunGivesOneMoreRun) {
  QueueRelease();
  bar->SetPosition(40);
  EXPECT_EQ(seen, (std::vector<int>{40, 40}));
  EXPECT_FALSE(bar->isFinished);
}

TEST_F(AdvTrackBar, ChangesAndAReleaseGiveOneRunEach) {
  for (int p = 41; p <= 45; ++p) QueuePosition(p);
  QueueRelease();
  bar->SetPosition(40);
  EXPECT_EQ(seen, (std::vector<int>{40, 45, 45}));
  EXPECT_EQ(maxDepth, 1);
}

TEST_F(AdvTrackBar, AReleaseOutsideARunChangesNothing) {
  const QPoint pos(50, 15);
  QMouseEvent release(QEvent::MouseButtonRelease, pos, bar->Widget()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(bar->Widget(), &release);
  EXPECT_FALSE(bar->isFinished);
  EXPECT_TRUE(seen.empty());
}

// The extra run is guarded like the first: changes that arrive during it give
// one more run instead of a nested one.
TEST_F(AdvTrackBar, ChangesDuringTheExtraRunAreNotNested) {
  std::vector<std::vector<int>> batches{{51, 52, 53}, {61, 62}, {}};
  size_t run = 0;
  bar->OnChange = [&](TObject*) {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    seen.push_back(bar->Position());
    if (run < batches.size()) {
      for (int p : batches[run])
        QMetaObject::invokeMethod(qApp, [this, p] { bar->SetPosition(p); }, Qt::QueuedConnection);
      ++run;
      Application->ProcessMessages();
    }
    --depth;
  };
  bar->SetPosition(50);
  EXPECT_EQ(seen, (std::vector<int>{50, 53, 62}));
  EXPECT_EQ(maxDepth, 1);
}

}  // namespace
