#include "platform/ui/dialog_script.h"

#include <QDir>

#include <deque>
#include <mutex>

namespace {

struct TScriptState {
  std::mutex lock;
  bool enabled = false;
  std::deque<int> answers;
  std::deque<std::optional<QString>> folders;
  std::deque<std::function<void(TForm&)>> modals;
  std::deque<std::optional<TColor>> colors;
  std::deque<TFileAnswer> files;
  std::vector<TShownDialog> shown;
  std::function<void(const QString&)> unexpected;
};

TScriptState& State() {
  static TScriptState state;
  return state;
}

// The button a message-box result stands for.
std::optional<TMsgDlgBtn> ButtonOfResult(int result) {
  switch (result) {
    case 1: return mbOK;
    case 2: return mbCancel;
    case 3: return mbAbort;
    case 4: return mbRetry;
    case 5: return mbIgnore;
    case 6: return mbYes;
    case 7: return mbNo;
    case 8: return mbAll;
    case 9: return mbNoToAll;
    case 10: return mbYesToAll;
    case 11: return mbClose;
    default: return std::nullopt;
  }
}

void ReportUnexpected(const QString& description) {
  std::function<void(const QString&)> handler;
  {
    std::lock_guard guard(State().lock);
    handler = State().unexpected;
  }
  if (handler) handler(description);
}

bool InsideFolder(const QString& path, const QString& root) {
  const QString cleanPath = QDir::cleanPath(path);
  const QString cleanRoot = QDir::cleanPath(root);
  return cleanPath == cleanRoot || cleanPath.startsWith(cleanRoot.endsWith(u'/') ? cleanRoot : cleanRoot + u'/');
}

}  // namespace

void TDialogScript::Enable(bool on) {
  std::lock_guard guard(State().lock);
  State().enabled = on;
}

bool TDialogScript::Enabled() {
  std::lock_guard guard(State().lock);
  return State().enabled;
}

void TDialogScript::QueueAnswer(int result) {
  std::lock_guard guard(State().lock);
  State().answers.push_back(result);
}

void TDialogScript::QueueFolder(std::optional<QString> path) {
  std::lock_guard guard(State().lock);
  State().folders.push_back(std::move(path));
}

void TDialogScript::QueueModal(std::function<void(TForm&)> work) {
  std::lock_guard guard(State().lock);
  State().modals.push_back(std::move(work));
}

void TDialogScript::QueueColor(std::optional<TColor> color) {
  std::lock_guard guard(State().lock);
  State().colors.push_back(color);
}

void TDialogScript::QueueFiles(TFileAnswer answer) {
  std::lock_guard guard(State().lock);
  State().files.push_back(std::move(answer));
}

std::vector<TShownDialog> TDialogScript::Shown() {
  std::lock_guard guard(State().lock);
  return State().shown;
}

int TDialogScript::Pending() {
  std::lock_guard guard(State().lock);
  const TScriptState& s = State();
  return static_cast<int>(s.answers.size() + s.folders.size() + s.modals.size() + s.colors.size() + s.files.size());
}

void TDialogScript::Reset() {
  std::lock_guard guard(State().lock);
  TScriptState& s = State();
  s.answers.clear();
  s.folders.clear();
  s.modals.clear();
  s.colors.clear();
  s.files.clear();
  s.shown.clear();
}

void TDialogScript::SetUnexpectedHandler(std::function<void(const QString&)> handler) {
  std::lock_guard guard(State().lock);
  State().unexpected = std::move(handler);
}

std::optional<int> TDialogScript::TakeAnswer(const TShownDialog& shown) {
  std::optional<int> answer;
  {
    std::lock_guard guard(State().lock);
    TScriptState& s = State();
    s.shown.push_back(shown);
    if (!s.answers.empty()) {
      answer = s.answers.front();
      s.answers.pop_front();
    }
  }
  const QString box = QStringLiteral("message box \"%1\": %2").arg(shown.Caption, shown.Text);
  if (!answer) {
    ReportUnexpected(QStringLiteral("Unexpected ") + box);
    return std::nullopt;
  }
  const std::optional<TMsgDlgBtn> button = ButtonOfResult(*answer);
  if (!button || !shown.Buttons.Contains(*button)) {
    ReportUnexpected(QStringLiteral("Answer %1 is not a button of the %2").arg(*answer).arg(box));
    return std::nullopt;
  }
  return answer;
}

std::optional<std::optional<QString>> TDialogScript::TakeFolder(const TShownDialog& shown) {
  std::optional<std::optional<QString>> answer;
  {
    std::lock_guard guard(State().lock);
    TScriptState& s = State();
    s.shown.push_back(shown);
    if (!s.folders.empty()) {
      answer = s.folders.front();
      s.folders.pop_front();
    }
  }
  if (!answer) {
    ReportUnexpected(QStringLiteral("Unexpected folder dialog \"%1\"").arg(shown.Title));
    return std::nullopt;
  }
  // The dialog cannot leave its root, so neither may its answer.
  if (*answer && !shown.Root.isEmpty() && !InsideFolder(**answer, shown.Root)) {
    ReportUnexpected(QStringLiteral("Folder %1 is outside the root %2 of the folder dialog \"%3\"")
                         .arg(**answer, shown.Root, shown.Title));
    return std::nullopt;
  }
  return answer;
}

std::function<void(TForm&)> TDialogScript::TakeModal(const TShownDialog& shown) {
  std::function<void(TForm&)> work;
  {
    std::lock_guard guard(State().lock);
    TScriptState& s = State();
    s.shown.push_back(shown);
    if (!s.modals.empty()) {
      work = std::move(s.modals.front());
      s.modals.pop_front();
    }
  }
  if (!work)
    ReportUnexpected(QStringLiteral("Unexpected modal form %1 \"%2\"").arg(shown.FormClass, shown.Caption));
  return work;
}

std::optional<std::optional<TColor>> TDialogScript::TakeColor(const TShownDialog& shown) {
  std::optional<std::optional<TColor>> answer;
  {
    std::lock_guard guard(State().lock);
    TScriptState& s = State();
    s.shown.push_back(shown);
    if (!s.colors.empty()) {
      answer = s.colors.front();
      s.colors.pop_front();
    }
  }
  if (!answer)
    ReportUnexpected(QStringLiteral("Unexpected colour dialog opened with colour $%1")
                         .arg(static_cast<uint32_t>(shown.Color), 6, 16, QLatin1Char('0')));
  return answer;
}

std::optional<TFileAnswer> TDialogScript::TakeFiles(const TShownDialog& shown) {
  std::optional<TFileAnswer> answer;
  {
    std::lock_guard guard(State().lock);
    TScriptState& s = State();
    s.shown.push_back(shown);
    if (!s.files.empty()) {
      answer = std::move(s.files.front());
      s.files.pop_front();
    }
  }
  if (!answer)
    ReportUnexpected(QStringLiteral("Unexpected %1 dialog \"%2\"")
                         .arg(shown.Kind == dkSaveFile ? QStringLiteral("save") : QStringLiteral("open"), shown.Title));
  return answer;
}
