#include "platform/ui/sound.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

namespace {

// Qt Multimedia's sound effect: it loads and plays on its own, and simply stays
// silent when the machine has no audio device. A missing resource is not
// handed to it: the effect would count as playing until its load failed, which
// on a busy machine holds up the next sound for a while.
class TSoundEffectOutput final : public ISoundOutput {
public:
  bool Busy() override {
    return effect_ && effect_->isPlaying() && effect_->status() != QSoundEffect::Error;
  }
  void Start(const QString& resourceName) override {
    if (!QFile::exists(QStringLiteral(":/wave/%1.wav").arg(resourceName))) return;
    if (!effect_) effect_ = std::make_unique<QSoundEffect>();
    const QUrl source(WaveResourceUrl(resourceName));
    if (effect_->source() != source) effect_->setSource(source);
    effect_->play();
  }

private:
  std::unique_ptr<QSoundEffect> effect_;
};

ISoundOutput*& ReplacedOutput() {
  static ISoundOutput* output = nullptr;
  return output;
}

ISoundOutput& Output() {
  if (ISoundOutput* replaced = ReplacedOutput()) return *replaced;
  static TSoundEffectOutput machine;
  return machine;
}

}  // namespace

QString WaveResourceUrl(const QString& resourceName) {
  return QStringLiteral("qrc:/wave/%1.wav").arg(resourceName);
}

bool PlayWaveResource(const QString& resourceName) {
  ISoundOutput& output = Output();
  if (output.Busy()) return false;
  output.Start(resourceName);
  return true;
}

void SetSoundOutput(ISoundOutput* output) { ReplacedOutput() = output; }
