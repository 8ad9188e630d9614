#include "platform/ui/form_image.h"

#include "platform/ui/controls.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

bool SaveControlImagePng(TWinControl& control, const QString& fileName) {
  QWidget* widget = control.Widget();
  if (!widget) return false;
  const QImage image = widget->grab().toImage();
  return !image.isNull() && image.save(fileName, "PNG");
}
