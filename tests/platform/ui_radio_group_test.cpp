// The radio group: the choice by the program and by a click, OnClick only on a
// change, and new items clearing the choice.

#include "platform/ui/radio_group.h"

#include <QRadioButton>

#include <gtest/gtest.h>

TEST(UiRadioGroup, ItemIndexFollowsTheProgramAndTheClicksAndReportsChanges) {
  TRadioGroup group(nullptr);
  group.SetCaption(QStringLiteral("Isophase Line"));
  EXPECT_EQ(group.Text(), "Isophase Line");
  int clicks = 0;
  group.OnClick = [&](TObject*) { ++clicks; };
  group.SetItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(clicks, 0);

  group.SetItemIndex(2);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_TRUE(group.Button(2)->isChecked());
  EXPECT_EQ(clicks, 1);
  group.SetItemIndex(2);
  EXPECT_EQ(clicks, 1) << "the same index runs nothing";

  group.Button(0)->click();
  EXPECT_EQ(group.ItemIndex(), 0);
  EXPECT_FALSE(group.Button(2)->isChecked());
  EXPECT_EQ(clicks, 2);

  group.SetItemIndex(-1);
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_FALSE(group.Button(0)->isChecked());
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(group.Button(3), nullptr);

  group.SetItemIndex(1);
  group.SetItems({QStringLiteral("X")});
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.Items(), QStringList{QStringLiteral("X")});
  EXPECT_EQ(clicks, 4);
}
