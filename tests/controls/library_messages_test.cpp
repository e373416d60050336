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

TEST(LibraryMessages, EveryRecordIsFoundByItsNumber) {
  for (const SrMsgNumLookupRec &rec : LibraryMessageTable())
    EXPECT_EQ(FindLibraryMessage(rec.Number), rec.Text);
}

struct Quoted {
  int number;
  const char *text;
};

TEST(LibraryMessages, QuotedTextsAreExact) {
  const Quoted quoted[] = {{30168, "Unknown Error condition"},
                           {30169, "Duplicate command found while adding a new command to the table"},
                           {30170, "Command table not found or command table index out of range"},
                           {30179, "Value is not within required range"},
                           {30180, "Value is not valid for this field type"},
                           {30181, "A value is required in this field"},
                           {30182, "Value is not a valid date"},
                           {30183, "Value is not a valid time"},
                           {30184, "This field should contain no blanks"},
                           {30185, "This field should be either empty or completely full"},
                           {30188, "Parameter value is invalid"},
                           {30189, "No Window's timers are available"},
                           {30194, "Invalid data type for this field"},
                           {30202, "Invalid picture mask: %s"},
                           {30203, "Invalid range. Enter a value between (%d) and (%d)"},
                           {30204, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
                           {30205, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
                           {30206, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
                           {30207, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
                           {30208, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
                           {30209, "Invalid date range. Enter a value using '%s' as the format"},
                           {30210, "Invalid time range. Enter a value using '%s' as the format"},
                           {30211, "Invalid range value"},
                           {30222, "Invalid color constant"},
                           {30227, "Invalid date value for picture mask. (Year is outside the Epoch range)"},
                           {30238, "Could not enter edit mode"},
                           {30244, "Label not attached"},
                           {30251, "Day is required"},
                           {30252, "Month is required"},
                           {30253, "Year is required"},
                           {30254, "Invalid day"},
                           {30255, "Invalid month"},
                           {30256, "Invalid month name"},
                           {30257, "Invalid year"},
                           {30260, "Table max columns error"},
                           {30262, "Too many columns"},
                           {30263, "Invalid field index"},
                           {30265, "Invalid header cell"},
                           {30266, "Grid"},
                           {30275, "Default"},
                           {30276, "WordStar"},
                           {30277, "(Unknown)"},
                           {30278, "Entry Error"},
                           {30282, "Wy"},
                           {30285, "&Restore"},
                           {30286, "Cu&t"},
                           {30287, "&Copy"},
                           {30288, "&Paste"},
                           {30289, "&Delete"},
                           {30290, "Select &All"},
                           {30317, "YESTERDAY"},
                           {30368, "Y"},
                           {30369, "N"},
                           {30370, "T"},
                           {30371, "F"},
                           {30500, "Black"},
                           {30517, "Medium Gray"},
                           {30521, "Cream"},
                           {33768, "ccNone"},
                           {33775, "ccCtrlChar"},
                           {33800, "ccGotoMarker0"},
                           {33843, "ccWordRight"},
                           {34068, "String"},
                           {34071, "YesNo"},
                           {34083, "Time"},
                           {34468, "X  any character"},
                           {34483, "Y  Y or N (upper)"},
                           {34491, "8  User 8"},
                           {34493,
                            "$##,###.##          Allows entry of 0 through 9, space, minus, and period Uses "
                            "floating currency symbol"}};
  for (const Quoted &q : quoted)
    EXPECT_EQ(FindLibraryMessage(q.number), QString::fromLatin1(q.text)) << q.number;
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

TEST(LibraryMessages, AbsentNumbers) {
  EXPECT_EQ(LibraryMessageText(30189), "No Window's timers are available");
  EXPECT_EQ(LibraryMessageText(1), "Unknown");
  EXPECT_EQ(FindLibraryMessage(1), "");
  for (int absent : {30167, 30229, 30240, 30267, 30284, 30338, 30386, 30404, 30522, 34511, 34542})
    EXPECT_EQ(FindLibraryMessage(absent), "") << absent;
  EXPECT_EQ(FindLibraryMessage(30168), "Unknown Error condition");
  EXPECT_FALSE(FindLibraryMessage(34541).isEmpty());
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
