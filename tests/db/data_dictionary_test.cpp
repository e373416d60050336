// The table definition: fields with their lengths, indexes, the stored form, and the errors and texts the
// storage raises for what it refuses.
#include "db/storage/ff_data_dictionary.h"
#include <gtest/gtest.h>

namespace {

// Runs the action and returns the code and message of the EffException it raises (0 and "" when none).
template <typename Action>
std::pair<int, QString> Raised(Action &&action) {
  try {
    action();
  } catch (const EffException &e) {
    return {e.ErrorCode(), e.Message()};
  }
  return {0, QString()};
}

TEST(DataDictionary, FieldLengthsFollowTheTypeAndTheStoredFormReadsBackTheSameDefinition) {
  // Type, units, length.
  const std::tuple<TffFieldType, int, int> fields[] = {
      {fftBoolean, 0, 1},          {fftWideChar, 1, 2},     {fftWord16, 0, 2},      {fftInt32, 0, 4},
      {fftAutoInc, 0, 4},          {fftSingle, 0, 4},       {fftExtended, 0, 10},   {fftCurrency, 0, 8},
      {fftDateTime, 0, 8},         {fftBLOB, 0, 8},         {fftByteArray, 16, 16}, {fftShortString, 50, 51},
      {fftNullString, 1000, 1001}, {fftWideString, 25, 52},
  };
  TffDataDictionary dictionary(16384);
  dictionary.SetIsEncrypted(true);
  dictionary.GetFileDesc(0).fdDesc.clear();
  int offset = 0;
  for (const auto &[type, units, length] : fields) {
    const QString name = ffFieldTypeName(type);
    SCOPED_TRACE(name.toStdString());
    dictionary.AddField(name, QString(), type, units, 0, type == fftAutoInc);
    const TffFieldDescriptor &field = dictionary.FieldDescriptor(dictionary.FieldCount() - 1);
    EXPECT_EQ(field.fdLength, length);
    EXPECT_EQ(field.fdOffset, offset);
    offset += length;
  }
  EXPECT_EQ(dictionary.LogicalRecordLength(), offset);
  EXPECT_EQ(dictionary.RecordLength(), offset + (dictionary.FieldCount() + 7) / 8);
  dictionary.AddField("PRICE", "net", fftCurrency, 0, 2, false);
  dictionary.AddIndex("description", "by text", 0,
                      {TffIndexField{12, false, true}, TffIndexField{4, true, false}}, false);
  const QByteArray stored = dictionary.WriteToBytes();

  const TffDataDictionary read = TffDataDictionary::ReadFromBytes(stored, "T");
  EXPECT_EQ(read.WriteToBytes(), stored);
  EXPECT_EQ(read.BaseName(), "T");
  EXPECT_EQ(read.FieldLength(12), 1001);
  // Indexes and fields are found by name whatever the case; the sequential index is always the first.
  EXPECT_EQ(read.GetIndexFromName("DESCRIPTION"), 1);
  EXPECT_EQ(read.GetIndexFromName("Sequential Access Index"), 0);
  EXPECT_EQ(read.GetIndexFromName("none"), -1);
  EXPECT_EQ(read.GetFieldFromName("price"), 14);
  // Every type is stored by a name of its own.
  for (int i = 0; i < ffFieldTypeCount; ++i)
    EXPECT_EQ(ffFieldTypeFromName(ffFieldTypeName(TffFieldType(i))), TffFieldType(i));
  EXPECT_FALSE(ffFieldTypeFromName("fftNothing").has_value());
}

TEST(DataDictionary, WhatItRefusesRaisesItsNumberedErrorAndChangesNothing) {
  TffDataDictionary dictionary(4096);
  dictionary.SetBaseName("INV2");
  dictionary.AddField("REC", QString(), fftInt32, 0, 0, false);
  dictionary.AddIndex("REC", QString(), 0, "REC", true, true);
  TffDataDictionary built(4096);
  built.AddField("REC", QString(), fftInt32, 0, 0, false);
  built.SetBaseName("MINV2");
  built.SetReadOnly();
  const QByteArray good = built.WriteToBytes();
  const QString noItem = "Field, index or file number does not exist in the dictionary [INV2, item %1]";
  const QString readOnly = "Once a table has been built, cannot modify its dictionary [MINV2]";
  const QString damaged = "The stored dictionary is damaged [INV2]";
  const auto block = [](int size) {
    return QStringLiteral("The block size must be 4KB, 8KB, 16KB or 32KB only [size used: %1]").arg(size);
  };
  const auto readBack = [](const QByteArray &bytes) {
    return [bytes] { TffDataDictionary::ReadFromBytes(bytes, "INV2"); };
  };
  const std::tuple<const char *, std::function<void()>, int, QString> cases[] = {
      {"file -1", [&] { dictionary.GetFileDesc(-1); }, 320, noItem.arg(-1)},
      {"index 2", [&] { dictionary.IndexDescriptor(2); }, 320, noItem.arg(2)},
      {"duplicate field", [&] { dictionary.AddField("rec", QString(), fftInt32, 0, 0, false); }, 341,
       "There is a duplicate field name in the dictionary [INV2, field rec]"},
      {"duplicate index", [&] { dictionary.AddIndex("rec", QString(), 0, "REC", false, false); }, 342,
       QString()},
      {"unknown field", [&] { dictionary.AddIndex("X", QString(), 0, "NOPE", false, false); }, 343,
       "Field name does not exist in the dictionary [INV2, field NOPE]"},
      {"no fields", [&] { dictionary.AddIndex("X", QString(), 0, QList<TffIndexField>{}); }, 345, QString()},
      {"field 3", [&] { dictionary.AddIndex("X", QString(), 0, {TffIndexField{3}}); }, 320, noItem.arg(3)},
      {"field on built", [&] { built.AddField("X", QString(), fftInt32, 0, 0, false); }, 328, readOnly},
      {"not json", readBack("not json"), 346, damaged},
      {"cut", readBack(good.left(good.size() / 2)), 346, damaged},
      {"block size", readBack(QByteArray(good).replace("4096", "1000")), 346, damaged}};
  for (const int size : {0, 4095, 65536})
    EXPECT_EQ(Raised([size] { TffDataDictionary{size}; }), std::pair(339, block(size)));
  for (const auto &[what, action, code, message] : cases) {
    const auto [raised, text] = Raised(action);
    EXPECT_EQ(raised, code) << what;
    if (!message.isEmpty()) {
      EXPECT_EQ(text, message) << what;
    }
  }
  EXPECT_EQ(std::pair(dictionary.FieldCount(), dictionary.IndexCount()), std::pair(1, 2));
  EXPECT_EQ(std::pair(built.FieldCount(), built.IndexCount()), std::pair(1, 1));
}

} // namespace
