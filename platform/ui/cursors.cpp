#include "platform/ui/cursors.h"

#include "platform/rtl/sys_utils.h"
#include "platform/ui/controls.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <map>

namespace {

// The control's slot is kept on its widget, so that a slot that changes can find
// the widgets showing it.
constexpr char kCursorSlotProperty[] = "TControl.Cursor";
// The cursor the widget class sets for itself (a line edit's I-beam), which
// crDefault shows again.
constexpr char kOwnCursorProperty[] = "TControl.OwnCursor";

struct TCursorResource {
  TCursorImage image;
  HCURSOR loaded;  // made at the first load
};

std::map<QString, TCursorResource>& CursorResources() {
  static std::map<QString, TCursorResource> resources;
  return resources;
}

std::map<int, HCURSOR>& CursorSlots() {
  static std::map<int, HCURSOR> cursors;
  return cursors;
}

HCURSOR MakeCursor(Qt::CursorShape shape) { return std::make_shared<const QCursor>(shape); }

HCURSOR MakeCursor(const TCursorImage& image) {
  int width = 0;
  for (const QString& row : image.Rows) width = std::max(width, static_cast<int>(row.size()));
  QImage picture(std::max(width, 1), std::max(static_cast<int>(image.Rows.size()), 1), QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  for (int y = 0; y < image.Rows.size(); ++y) {
    const QString& row = image.Rows[y];
    for (int x = 0; x < row.size(); ++x) {
      if (row[x] == u'#') picture.setPixel(x, y, qRgba(0, 0, 0, 255));
      else if (row[x] == u'.') picture.setPixel(x, y, qRgba(255, 255, 255, 255));
    }
  }
  return std::make_shared<const QCursor>(QPixmap::fromImage(picture), image.HotX, image.HotY);
}

// The toolkit's standard cursors, made on first use; null for an id that is none.
HCURSOR StandardCursor(int id) {
  static std::map<int, HCURSOR> made;
  if (auto it = made.find(id); it != made.end()) return it->second;
  Qt::CursorShape shape;
  switch (id) {
    case crDefault: case crArrow: shape = Qt::ArrowCursor; break;
    case crNone: shape = Qt::BlankCursor; break;
    case crCross: shape = Qt::CrossCursor; break;
    case crIBeam: shape = Qt::IBeamCursor; break;
    case crSizeNESW: shape = Qt::SizeBDiagCursor; break;
    case crSizeNS: shape = Qt::SizeVerCursor; break;
    case crSizeNWSE: shape = Qt::SizeFDiagCursor; break;
    case crSizeWE: shape = Qt::SizeHorCursor; break;
    case crUpArrow: shape = Qt::UpArrowCursor; break;
    case crHourGlass: case crSQLWait: shape = Qt::WaitCursor; break;
    case crDrag: shape = Qt::DragMoveCursor; break;
    case crMultiDrag: shape = Qt::DragCopyCursor; break;
    case crNoDrop: case crNo: shape = Qt::ForbiddenCursor; break;
    case crHSplit: shape = Qt::SplitHCursor; break;
    case crVSplit: shape = Qt::SplitVCursor; break;
    case crAppStart: shape = Qt::BusyCursor; break;
    case crHelp: shape = Qt::WhatsThisCursor; break;
    case crHandPoint: shape = Qt::PointingHandCursor; break;
    case crSizeAll: shape = Qt::SizeAllCursor; break;
    default: return nullptr;
  }
  return made[id] = MakeCursor(shape);
}

void ShowSlotOn(QWidget* widget, TCursor id) {
  if (id != crDefault) {
    widget->setCursor(*Screen->Cursors(id));
    return;
  }
  const QVariant own = widget->property(kOwnCursorProperty);
  if (own.isValid())
    widget->setCursor(own.value<QCursor>());
  else
    widget->unsetCursor();
}

}  // namespace

TScreen* const Screen = new TScreen();

void RegisterCursorResource(const QString& name, const TCursorImage& image) {
  CursorResources()[UpperCase(name)] = TCursorResource{image, nullptr};
}

HCURSOR LoadCursor(const QString& name) {
  auto it = CursorResources().find(UpperCase(name));
  if (it == CursorResources().end()) return nullptr;
  if (!it->second.loaded) it->second.loaded = MakeCursor(it->second.image);
  return it->second.loaded;
}

void TScreen::SetCursor(TCursor value) {
  cursor_ = value;
  ApplyScreenCursor();
}

HCURSOR TScreen::Cursors(int id) const {
  if (auto it = CursorSlots().find(id); it != CursorSlots().end()) return it->second;
  if (HCURSOR standard = StandardCursor(id)) return standard;
  return Cursors(crDefault);
}

void TScreen::SetCursors(int id, HCURSOR cursor) {
  if (cursor)
    CursorSlots()[id] = std::move(cursor);
  else
    CursorSlots().erase(id);
  if (cursor_ == id) ApplyScreenCursor();
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  for (QWidget* widget : QApplication::allWidgets()) {
    const QVariant slot = widget->property(kCursorSlotProperty);
    if (slot.isValid() && slot.toInt() == id) ShowSlotOn(widget, static_cast<TCursor>(id));
  }
}

namespace {
QSize PrimaryScreenSize() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return QSize();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize();
}
}  // namespace

int TScreen::Width() const { return PrimaryScreenSize().width(); }
int TScreen::Height() const { return PrimaryScreenSize().height(); }

void TScreen::ApplyScreenCursor() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (cursor_ == crDefault) {
    if (overridden_) QGuiApplication::restoreOverrideCursor();
    overridden_ = false;
    return;
  }
  const QCursor& cursor = *Cursors(cursor_);
  if (overridden_) {
    QGuiApplication::changeOverrideCursor(cursor);
  } else {
    QGuiApplication::setOverrideCursor(cursor);
    overridden_ = true;
  }
}

// ---- TControl::Cursor -----------------------------------------------------------

TCursor TControl::Cursor() const {
  const QVariant slot = Widget()->property(kCursorSlotProperty);
  return slot.isValid() ? static_cast<TCursor>(slot.toInt()) : crDefault;
}

void TControl::SetCursor(TCursor value) {
  QWidget* widget = Widget();
  if (!widget->property(kCursorSlotProperty).isValid() && widget->testAttribute(Qt::WA_SetCursor))
    widget->setProperty(kOwnCursorProperty, QVariant::fromValue(widget->cursor()));
  widget->setProperty(kCursorSlotProperty, static_cast<int>(value));
  ShowSlotOn(widget, value);
}
