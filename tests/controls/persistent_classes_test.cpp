// The small published classes: the colour pair with its defaults, border pens and the user mask data.
#include "controls/framework/borders.h"
#include "controls/framework/colors.h"
#include "controls/framework/user_data.h"
#include <gtest/gtest.h>

namespace {

TEST(OvcColorsTest, OnlyANonDefaultColourTurnsUseDefaultOffWhichRestoresBoth) {
  struct Case {
    bool text;
    TColor value;
    bool useDefaultAfter;
  };
  const Case cases[] = {{true, clWindowText, true}, {false, clBlue, false}};
  for (const Case &c : cases) {
    TOvcColors colors(clWindowText, clWindow);
    if (c.text)
      colors.SetTextColor(c.value);
    else
      colors.SetBackColor(c.value);
    EXPECT_EQ(colors.UseDefault(), c.useDefaultAfter) << c.text << " " << c.value;
  }
  // UseDefault restores both colours; every change is told.
  TOvcColors colors(clWindowText, clWindow);
  int changes = 0;
  colors.OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  colors.SetTextColor(clRed);
  colors.SetBackColor(clYellow);
  colors.SetUseDefault(true);
  EXPECT_EQ(std::tuple(changes, colors.UseDefault(), colors.TextColor(), colors.BackColor()),
            std::tuple(3, true, clWindowText, clWindow));
  // Only colours can be assigned.
  TOvcBorder notColors;
  EXPECT_THROW(colors.Assign(&notColors), EConvertError);
}

TEST(OvcBorderTest, ChangeNotices) {
  TOvcBorders borders;
  TOvcBorder *border = borders.TopBorder();
  int changes = 0;
  border->OnChange = TNotifyEvent::From([&](TObject *) { ++changes; });
  border->SetPenWidth(0);
  border->SetPenWidth(2);
  EXPECT_EQ(changes, 0);
  border->SetPenWidth(1);
  border->SetEnabled(true);
  border->SetPenColor(clRed);
  border->SetPenStyle(psDot);
  border->SetPenStyle(psDot);
  EXPECT_EQ(changes, 4);
}

TEST(OvcUserDataTest, StartsAcceptingEveryCharacterWithoutCaseChangeAndCodesForThemselves) {
  TOvcUserData data;
  for (int i = 0; i < TOvcUserData::UserSetCount; ++i) {
    EXPECT_FALSE(data.UserCharSet(i).test(0));
    EXPECT_EQ(data.SubstChar(241 + i), QChar(241 + i));
  }
  EXPECT_THROW(data.SubstChar(249), std::out_of_range);
  EXPECT_THROW(data.UserCharSet(8), std::out_of_range);
}

} // namespace
