// A window's picture written as PNG: its child controls drawn where they lie.

#include "platform/ui/form_image.h"

#include "platform/ui/forms.h"
#include "platform/ui/panels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

namespace ui_form_image_test {

TEST(UiFormImage, ThePngShowsTheChildControlsAtTheirPlaces) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TForm* form = TComponent::Create<TForm>(nullptr);
  form->SetClientWidth(200);
  form->SetClientHeight(100);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(120, 30, 40, 40);
  panel->SetColor(clRed);
  form->Show();
  const QString file = dir.filePath(QStringLiteral("form.png"));
  ASSERT_TRUE(SaveControlImagePng(*form, file));
  const QImage image(file);
  ASSERT_FALSE(image.isNull());
  EXPECT_GE(image.width(), 200);
  EXPECT_GE(image.height(), 100);
  const QPoint inside = panel->Widget()->mapTo(form->Widget(), QPoint(20, 20));
  EXPECT_EQ(image.pixelColor(inside), QColor(Qt::red));
  EXPECT_NE(image.pixelColor(QPoint(10, 10)), QColor(Qt::red));
  EXPECT_FALSE(SaveControlImagePng(*form, dir.filePath(QStringLiteral("missing/form.png"))));
  form->Free();
}

}  // namespace ui_form_image_test
