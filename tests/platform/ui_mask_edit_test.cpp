// The sentence-type edit's mask: literals, required letters, upper case, and the
// refusal reported with the edit as the sender.

#include "platform/ui/application.h"
#include "platform/ui/mask_edit.h"

#include <gtest/gtest.h>

#include <QString>

namespace ui_mask_edit_test {

TEST(UiMaskEdit, TheMaskTakesADollarAndFiveLettersShownInUpperCase) {
  TComponent owner(nullptr);
  auto* edit = new TMaskEdit(&owner);
  edit->SetEditMask(QStringLiteral(">\\$LLLLL"));
  struct TCase {
    const char* Text;
    bool Fits;
  };
  for (const TCase& c : {TCase{"$GPGGA", true}, TCase{"$gprmc", true}, TCase{"GPGGA", false}, TCase{"$GPGG", false},
                         TCase{"$GP1GA", false}, TCase{"#GPGGA", false}, TCase{"$GPGGAA", false}})
    EXPECT_EQ(edit->FitsMask(QString::fromLatin1(c.Text)), c.Fits) << c.Text;
  edit->SetText(QStringLiteral("$gprmc"));
  EXPECT_EQ(edit->Text(), QStringLiteral("$GPRMC"));
  EXPECT_NO_THROW(edit->ValidateEdit());

  TObject* sender = nullptr;
  int reports = 0;
  const auto before = Application->OnException;
  Application->OnException = [&](TObject* from, std::exception_ptr error) {
    sender = from;
    ++reports;
    EXPECT_THROW(std::rethrow_exception(error), EDBEditError);
  };
  edit->ValidateOnExit();
  EXPECT_EQ(reports, 0) << "a fitting text is taken";
  edit->SetText(QStringLiteral("$GP"));
  EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
  edit->ValidateOnExit();
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(sender, edit) << "the edit is the sender";
  EXPECT_EQ(edit->Text(), QStringLiteral("$GP")) << "the text stays";
  Application->OnException = before;
}

}  // namespace ui_mask_edit_test
