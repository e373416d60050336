#include "controls/framework/alpha_chars.h"
#include "controls/framework/library_exceptions.h"
#include "controls/framework/library_messages.h"
#include <gtest/gtest.h>

namespace {

TEST(LibraryMessages, EveryRecordIsFoundByItsNumberAndAbsentNumbersGiveNothing) {
  for (const SrMsgNumLookupRec &rec : LibraryMessageTable())
    EXPECT_EQ(FindLibraryMessage(rec.Number), rec.Text);
  for (int absent : {1, 30167, 34542}) EXPECT_EQ(FindLibraryMessage(absent), "") << absent;
  EXPECT_EQ(LibraryMessageText(1), "Unknown");
}

TEST(LibraryExceptions, MessagesAndFamily) {
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
