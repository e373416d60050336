#include "report/variables.h"
#include <gtest/gtest.h>

namespace {

TEST(ReportVariables, ReplaceByNameWithoutRegardToCaseAndKeepTheFirstWrittenName) {
  TfrVariables variables;
  variables.SetVariable(QStringLiteral("CurrSym"), Variant("$"));
  variables.SetVariable(QStringLiteral("SINV"), Variant(17));
  variables.SetVariable(QStringLiteral("CURRSYM"), Variant("EUR"));
  ASSERT_EQ(variables.Count(), 2);
  EXPECT_EQ(variables.Name(0), QStringLiteral("CurrSym"));
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("currsym")) == Variant("EUR"));
  EXPECT_EQ(variables.IndexOf(QStringLiteral("sinv")), 1);
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("SInv")) == Variant(17));
}

TEST(ReportVariables, AMissingNameGivesNullAndDeleteIgnoresIndexesOutsideTheList) {
  TfrVariables variables;
  EXPECT_TRUE(variables.GetVariable(QStringLiteral("X")).IsNull());
  EXPECT_EQ(variables.IndexOf(QStringLiteral("X")), -1);
  variables.SetVariable(QStringLiteral("A"), Variant(1));
  variables.SetVariable(QStringLiteral("B"), Variant(2));
  variables.Delete(-1);
  variables.Delete(2);
  variables.Delete(0);
  ASSERT_EQ(variables.Count(), 1);
  EXPECT_EQ(variables.Name(0), QStringLiteral("B"));
}

} // namespace
