#pragma once
// The online stage dialogs' settings window for tests: a channel store with the
// real online stages, and a host that hands every record to them while keeping a
// copy of what it received. Also the synthesised input the dialog tests share.

#include "platform/ui/controls.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "radar/online_dialog_hooks.h"
#include "radar/online_stages.h"
#include "tests/profiledata/channel_store_env.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class TFakeDialogHost : public IOnlineDialogHost {
public:
  // What one SetParamOnlinePlugin call carried.
  struct TApplied {
    QString stage;
    bool applay = false;
    int32_t width = 0;
    long double timescale = 0;
    std::vector<TPoint> dots;
    int height = 0;
  };

  TFakeDialogHost() {
    RegisterOnlineStages();
    store = std::make_unique<T2Dview>(nullptr);
    store->Settings()->RestoreLongTrace(500);
    store->Settings()->RestoreSpanWidth(100);  // 0.2 ns per sample
    stages = dynamic_cast<TOnlineStageSet*>(store->OnlineStages());
    SetOnlineDialogHost(this);
  }
  ~TFakeDialogHost() override {
    SetOnlineDialogHost(nullptr);
    store.reset();
    UnregisterOnlineStages();
  }

  void SetParamOnlinePlugin(const QString& stageName, const TOnlineParametrs& P) override {
    TApplied a;
    a.stage = stageName;
    if (const auto* w = dynamic_cast<const TParametrsWindowedBackgroundRemoval*>(&P)) {
      a.applay = w->pApplay;
      a.width = w->pWidthWindow;
    } else if (const auto* v = dynamic_cast<const TParametrsWavelet*>(&P)) {
      a.applay = v->pApplay;
      a.timescale = v->pTimescale;
    } else if (const auto* g = dynamic_cast<const TParametrsGain*>(&P)) {
      a.applay = g->pApplay;
      for (int i = 0; i < g->pListOfBaseDots.GetCount(); ++i) a.dots.push_back(g->pListOfBaseDots.GetVal(i));
      a.height = g->pListOfBaseDots.GetHeight();
    }
    applied.push_back(a);
    if (stages) stages->SetOnlineParameters(stageName, P);
  }
  TPoint ChartAmpClientOrigin() const override { return origin; }
  int ChartAmpHeight() const override { return chartHeight; }
  int ChartAmpPlotHeight() const override { return plotHeight; }
  void SetOnlinePluginChecked(int item, bool value) override { checked[item] = value; }
  const TSettingData* CurrentSettings() const override { return withSettings ? store->Settings() : nullptr; }

  TStoreEnv env;
  std::unique_ptr<T2Dview> store;
  TOnlineStageSet* stages = nullptr;
  std::vector<TApplied> applied;
  std::map<int, bool> checked;
  TPoint origin{700, 200};
  int chartHeight = 340;
  int plotHeight = 300;
  bool withSettings = true;
};

// ---- Synthesised input ---------------------------------------------------------------------

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons held, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, held, modifiers);
  QApplication::sendEvent(widget, &event);
}

inline void ClickAt(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  SendMouse(widget, QEvent::MouseButtonPress, pos, button, button, modifiers);
  SendMouse(widget, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, modifiers);
}

inline void ClickControl(TControl* control) {
  ClickAt(control->Widget(), control->Widget()->rect().center());
}

// Shows a dialog modally; work runs while it shows, then its "Ok" button closes it.
inline void ShowAndWork(TForm* form, TControl* okButton, const std::function<void()>& work) {
  TDialogScript::QueueModal([&](TForm&) {
    work();
    ClickControl(okButton);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
}

inline void SendKey(QWidget* widget, int qtKey, const QString& text = QString(),
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

// The control's bounds as (left, top, width, height).
inline std::vector<int> BoundsOf(const TControl* control) {
  return {control->Left(), control->Top(), control->Width(), control->Height()};
}

// Grabs the form's client area, saves it as a PNG under the temporary folder and
// reads it back; a null image when saving or reading failed.
inline QImage SaveScreenshot(TControl* form, const QString& name) {
  const QString path = QDir::temp().filePath(name + QStringLiteral(".png"));
  if (!form->Widget()->grab().save(path, "PNG")) return QImage();
  return QImage(path);
}
