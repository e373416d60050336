#include "controls/framework/alpha_chars.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(LibraryMessages, TableIsSortedUniqueAndHoldsExactlyTheNumberedGroups) {
  const std::pair<int, int> groups[] = {{30168, 30228}, {30232, 30239}, {30241, 30266}, {30268, 30283},
                                        {30285, 30337}, {30368, 30385}, {30387, 30395}, {30400, 30403},
                                        {30500, 30521}, {33768, 33843}, {34068, 34083}, {34468, 34491},
                                        {34493, 34510}, {34518, 34541}};
  std::vector<int> expected;
  for (const auto &[first, last] : groups)
    for (int n = first; n <= last; ++n) expected.push_back(n);

  const auto table = LibraryMessageTable();
  ASSERT_EQ(table.size(), 375u);
  ASSERT_EQ(expected.size(), 375u);
  for (size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(table[i].Number, expected[i]) << "record " << i;
    EXPECT_FALSE(table[i].Text.isEmpty()) << table[i].Number;
    if (i > 0) {
      EXPECT_LT(table[i - 1].Number, table[i].Number);
    }
  }
}

TEST(LibraryMessages, EveryRecordIsFoundByItsNumberAndAbsentNumbersGiveNothing) {
  for (const SrMsgNumLookupRec &rec : LibraryMessageTable())
    EXPECT_EQ(FindLibraryMessage(rec.Number), rec.Text);
  for (int absent : {1, 30167, 30229, 30240, 30267, 30284, 30338, 30386, 30404, 30522, 34511, 34542})
    EXPECT_EQ(FindLibraryMessage(absent), "") << absent;
  EXPECT_EQ(LibraryMessageText(30189), "No Window's timers are available");
  EXPECT_EQ(LibraryMessageText(1), "Unknown");
  // A few texts as the user reads them: first and last of the table, a pattern, a menu caption.
  EXPECT_EQ(FindLibraryMessage(30168), "Unknown Error condition");
  EXPECT_EQ(FindLibraryMessage(30203), "Invalid range. Enter a value between (%d) and (%d)");
  EXPECT_EQ(FindLibraryMessage(30290), "Select &All");
  EXPECT_EQ(FindLibraryMessage(34493),
            "$##,###.##          Allows entry of 0 through 9, space, minus, and period "
            "Uses floating currency symbol");
}

TEST(LibraryMessages, SampleMasksArePaddedToTwentyColumns) {
  const char *masks[] = {"9999999999", "bbbbbbbbbbbbbbbb", "(999) 999-9999", "B", "HH:MM:SS"};
  const int numbers[] = {34494, 34509, 34525, 34528, 34541};
  for (int i = 0; i < 5; ++i) {
    const QString text = FindLibraryMessage(numbers[i]);
    EXPECT_EQ(text.left(20).trimmed(), QString::fromLatin1(masks[i]));
    EXPECT_EQ(text.left(20), QString::fromLatin1(masks[i]).leftJustified(20));
    EXPECT_GT(text.size(), 20) << "a description follows";
  }
}

TEST(LibraryExceptions, MessagesAndFamily) {
  EXPECT_EQ(ENoTimersAvailable().Message(), "No Window's timers are available");
  EXPECT_EQ(EDuplicateCommand().Message(), FindLibraryMessage(30169));
  EXPECT_EQ(ETableNotFound().Message(), FindLibraryMessage(30170));
  EXPECT_EQ(EInvalidDataType().Message(), "Invalid data type for this field");
  EXPECT_EQ(EInvalidPictureMask("99-aa").Message(), "Invalid picture mask: 99-aa");
  EXPECT_EQ(EInvalidDateForMask("bad").Message(), "bad");
  EXPECT_THROW(throw EDuplicateCommand(), ECmdProcessorError);
  EXPECT_THROW(throw ETableNotFound(), EOvcException);
  EXPECT_THROW(throw EInvalidPictureMask("x"), EEntryFieldError);
  EXPECT_THROW(throw ENoTimersAvailable(), Exception);
  EXPECT_EQ(EInvalidDataType().ClassName(), "EInvalidDataType");
}

TEST(AlphaChars, SetOfTheLibrary) {
  for (char c : std::string(" ,-.AZaz")) EXPECT_TRUE(IsAlphaChar(QLatin1Char(c))) << c;
  for (char c : std::string("09!@#_/'")) EXPECT_FALSE(IsAlphaChar(QLatin1Char(c))) << c;
  EXPECT_TRUE(IsAlphaChar(QChar(0x00E9)));  // é
  EXPECT_TRUE(IsAlphaChar(QChar(0x00DF)));  // ß
  EXPECT_FALSE(IsAlphaChar(QChar(0x00D7))); // ×
  EXPECT_FALSE(IsAlphaChar(QChar(0x00A0))); // no-break space
}

} // namespace
