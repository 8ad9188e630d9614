#pragma once
// What the toolkit's list controls share over their QListWidget.

#include <QListWidget>
#include <QStringList>

namespace ui_detail {

// Counts a change made by the program, so the list's signals are not taken for
// the user's doing.
class TProgramChange {
public:
  explicit TProgramChange(int& depth) : depth_(depth) { ++depth_; }
  ~TProgramChange() { --depth_; }
  TProgramChange(const TProgramChange&) = delete;
  TProgramChange& operator=(const TProgramChange&) = delete;

private:
  int& depth_;
};

inline QStringList ListWidgetTexts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

}  // namespace ui_detail
