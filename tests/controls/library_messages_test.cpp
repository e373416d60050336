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

void PrintTo(const Quoted &q, std::ostream *os) { *os << q.number << " \"" << q.text << "\""; }

class QuotedMessage : public ::testing::TestWithParam<Quoted> {};

TEST_P(QuotedMessage, HasItsExactText) {
  EXPECT_EQ(FindLibraryMessage(GetParam().number), QString::fromLatin1(GetParam().text)) << GetParam().number;
}

INSTANTIATE_TEST_SUITE_P(
    QuotedTexts, QuotedMessage,
    ::testing::Values(
        Quoted{30168, "Unknown Error condition"},
        Quoted{30169, "Duplicate command found while adding a new command to the table"},
        Quoted{30170, "Command table not found or command table index out of range"},
        Quoted{30179, "Value is not within required range"},
        Quoted{30180, "Value is not valid for this field type"},
        Quoted{30181, "A value is required in this field"}, Quoted{30182, "Value is not a valid date"},
        Quoted{30183, "Value is not a valid time"}, Quoted{30184, "This field should contain no blanks"},
        Quoted{30185, "This field should be either empty or completely full"},
        Quoted{30188, "Parameter value is invalid"}, Quoted{30189, "No Window's timers are available"},
        Quoted{30194, "Invalid data type for this field"}, Quoted{30202, "Invalid picture mask: %s"},
        Quoted{30203, "Invalid range. Enter a value between (%d) and (%d)"},
        Quoted{30204, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
        Quoted{30205, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
        Quoted{30206, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
        Quoted{30207, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
        Quoted{30208, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
        Quoted{30209, "Invalid date range. Enter a value using '%s' as the format"},
        Quoted{30210, "Invalid time range. Enter a value using '%s' as the format"},
        Quoted{30211, "Invalid range value"}, Quoted{30222, "Invalid color constant"},
        Quoted{30227, "Invalid date value for picture mask. (Year is outside the Epoch range)"},
        Quoted{30238, "Could not enter edit mode"}, Quoted{30244, "Label not attached"},
        Quoted{30251, "Day is required"}, Quoted{30252, "Month is required"},
        Quoted{30253, "Year is required"}, Quoted{30254, "Invalid day"}, Quoted{30255, "Invalid month"},
        Quoted{30256, "Invalid month name"}, Quoted{30257, "Invalid year"},
        Quoted{30260, "Table max columns error"}, Quoted{30262, "Too many columns"},
        Quoted{30263, "Invalid field index"}, Quoted{30265, "Invalid header cell"}, Quoted{30266, "Grid"},
        Quoted{30275, "Default"}, Quoted{30276, "WordStar"}, Quoted{30277, "(Unknown)"},
        Quoted{30278, "Entry Error"}, Quoted{30282, "Wy"}, Quoted{30285, "&Restore"}, Quoted{30286, "Cu&t"},
        Quoted{30287, "&Copy"}, Quoted{30288, "&Paste"}, Quoted{30289, "&Delete"},
        Quoted{30290, "Select &All"}, Quoted{30317, "YESTERDAY"}, Quoted{30368, "Y"}, Quoted{30369, "N"},
        Quoted{30370, "T"}, Quoted{30371, "F"}, Quoted{30500, "Black"}, Quoted{30517, "Medium Gray"},
        Quoted{30521, "Cream"}, Quoted{33768, "ccNone"}, Quoted{33775, "ccCtrlChar"},
        Quoted{33800, "ccGotoMarker0"}, Quoted{33843, "ccWordRight"}, Quoted{34068, "String"},
        Quoted{34071, "YesNo"}, Quoted{34083, "Time"}, Quoted{34468, "X  any character"},
        Quoted{34483, "Y  Y or N (upper)"}, Quoted{34491, "8  User 8"},
        Quoted{34493, "$##,###.##          Allows entry of 0 through 9, space, minus, and period Uses "
                      "floating currency symbol"}),
    [](const ::testing::TestParamInfo<Quoted> &info) { return std::to_string(info.param.number); });

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
