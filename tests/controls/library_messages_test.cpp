#include "controls/framework/alpha_chars.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include <gtest/gtest.h>

namespace {

TEST(LibraryMessages, EveryRecordIsFoundByItsNumberAndAbsentNumbersGiveNothing) {
  ASSERT_EQ(LibraryMessageTable().size(), 375u);
  for (const SrMsgNumLookupRec &rec : LibraryMessageTable())
    EXPECT_EQ(FindLibraryMessage(rec.Number), rec.Text);
  for (int absent : {1, 30167, 30229, 30240, 30267, 30284, 30338, 30386, 30404, 30522, 34511, 34542})
    EXPECT_EQ(FindLibraryMessage(absent), "") << absent;
  EXPECT_EQ(LibraryMessageText(1), "Unknown");
}

TEST(LibraryMessages, SampleMasksArePaddedToTwentyColumns) {
  const char *masks[] = {"9999999999", "bbbbbbbbbbbbbbbb", "(999) 999-9999", "B", "HH:MM:SS"};
  const int numbers[] = {34494, 34509, 34525, 34528, 34541};
  for (int i = 0; i < 5; ++i) {
    const QString text = FindLibraryMessage(numbers[i]);
    EXPECT_EQ(text.left(20), QString::fromLatin1(masks[i]).leftJustified(20));
    EXPECT_GT(text.size(), 20) << "a description follows";
  }
}

TEST(LibraryExceptions, MessagesAndFamily) {
  EXPECT_EQ(ENoTimersAvailable().Message(), "No Window's timers are available");
  EXPECT_EQ(EInvalidDataType().Message(), "Invalid data type for this field");
  EXPECT_EQ(EInvalidPictureMask("99-aa").Message(), "Invalid picture mask: 99-aa");
  EXPECT_THROW(throw EDuplicateCommand(), ECmdProcessorError);
  EXPECT_THROW(throw ETableNotFound(), EOvcException);
  EXPECT_THROW(throw EInvalidPictureMask("x"), EEntryFieldError);
  EXPECT_THROW(throw ENoTimersAvailable(), Exception);
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
