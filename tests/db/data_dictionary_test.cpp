// The table definition: block sizes, the file and index present from the start, fields with their lengths,
// indexes, the read-only state and the stored form, with the errors and texts the storage raises.
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

TEST(DataDictionary, AcceptsOnlyTheFourBlockSizes) {
  for (const int size : {4096, 8192, 16384, 32768}) EXPECT_EQ(TffDataDictionary(size).BlockSize(), size);
  for (const int size : {0, 1024, 4095, 65536, -4096}) {
    const auto [code, message] = Raised([&] { TffDataDictionary dictionary(size); });
    EXPECT_EQ(code, 339) << size;
    EXPECT_EQ(message,
              QStringLiteral("The block size must be 4KB, 8KB, 16KB or 32KB only [size used: %1]").arg(size));
  }
}

TEST(DataDictionary, NewDefinitionHoldsFileZeroAndTheSequentialIndex) {
  TffDataDictionary dictionary(8192);
  ASSERT_EQ(dictionary.FileCount(), 1);
  const TffFileDescriptor &file = dictionary.GetFileDesc(0);
  EXPECT_EQ(file.fdNumber, 0);
  EXPECT_EQ(file.fdDesc, QStringLiteral("Data/DataDict File"));
  EXPECT_EQ(file.fdExtension, QStringLiteral("FF2"));
  EXPECT_EQ(file.fdBlockSize, 8192);
  EXPECT_EQ(file.fdType, ftBaseFile);
  ASSERT_EQ(dictionary.IndexCount(), 1);
  EXPECT_EQ(dictionary.IndexName(0), QStringLiteral("Sequential Access Index"));
  EXPECT_TRUE(dictionary.IndexDescriptor(0).idFields.isEmpty());
  EXPECT_EQ(dictionary.FieldCount(), 0);
  EXPECT_FALSE(dictionary.IsEncrypted());
}

TEST(DataDictionary, FileNumberOutsideTheFilesRaises320) {
  TffDataDictionary dictionary(4096);
  dictionary.SetBaseName(QStringLiteral("INV2"));
  for (const int number : {-1, 1, 7}) {
    const auto [code, message] = Raised([&] { dictionary.GetFileDesc(number); });
    EXPECT_EQ(code, 320);
    EXPECT_EQ(message,
              QStringLiteral("Field, index or file number does not exist in the dictionary [INV2, item %1]")
                  .arg(number));
  }
}

TEST(DataDictionary, FieldLengthsFollowTheType) {
  struct Case {
    TffFieldType type;
    int units;
    int length;
  };
  const Case cases[] = {
      {fftBoolean, 0, 1},
      {fftChar, 1, 1},
      {fftWideChar, 1, 2},
      {fftByte, 0, 1},
      {fftWord16, 0, 2},
      {fftWord32, 0, 4},
      {fftInt8, 0, 1},
      {fftInt16, 0, 2},
      {fftInt32, 0, 4},
      {fftAutoInc, 0, 4},
      {fftSingle, 0, 4},
      {fftDouble, 0, 8},
      {fftExtended, 0, 10},
      {fftComp, 0, 8},
      {fftCurrency, 0, 8},
      {fftStDate, 0, 4},
      {fftStTime, 0, 4},
      {fftDateTime, 0, 8},
      {fftBLOB, 0, 8},
      {fftBLOBMemo, 0, 8},
      {fftBLOBGraphic, 0, 8},
      {fftByteArray, 16, 16},
      {fftShortString, 50, 51},
      {fftShortAnsiStr, 20, 21},
      {fftNullString, 1000, 1001},
      {fftNullAnsiStr, 100, 101},
      {fftWideString, 25, 52},
  };
  TffDataDictionary dictionary(4096);
  int offset = 0;
  for (const Case &c : cases) {
    const QString name = ffFieldTypeName(c.type) + QString::number(c.units);
    dictionary.AddField(name, QString(), c.type, c.units, 0, false);
    const TffFieldDescriptor &field = dictionary.FieldDescriptor(dictionary.FieldCount() - 1);
    EXPECT_EQ(field.fdLength, c.length) << name.toStdString();
    EXPECT_EQ(field.fdOffset, offset) << name.toStdString();
    offset += c.length;
  }
  EXPECT_EQ(dictionary.LogicalRecordLength(), offset);
  EXPECT_EQ(dictionary.RecordLength(), offset + (dictionary.FieldCount() + 7) / 8);
}

TEST(DataDictionary, FieldTypesKeepTheEngineOrderAndNames) {
  EXPECT_EQ(int(fftBoolean), 0);
  EXPECT_LT(fftAutoInc, fftDouble);
  EXPECT_LT(fftBLOBGraphic, fftNullString);
  EXPECT_EQ(int(fftWideString), ffFieldTypeCount - 1);
  for (int i = 0; i < ffFieldTypeCount; ++i) {
    const auto type = static_cast<TffFieldType>(i);
    EXPECT_EQ(ffFieldTypeFromName(ffFieldTypeName(type)), type);
  }
  EXPECT_FALSE(ffFieldTypeFromName(QStringLiteral("fftNothing")).has_value());
}

TEST(DataDictionary, DuplicateFieldNameRaises341WhateverTheCase) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  const auto [code, message] =
      Raised([&] { dictionary.AddField(QStringLiteral("quantity"), QString(), fftInt32, 0, 0, false); });
  EXPECT_EQ(code, 341);
  EXPECT_EQ(message, QStringLiteral("There is a duplicate field name in the dictionary [, field quantity]"));
  EXPECT_EQ(dictionary.FieldCount(), 1);
}

TEST(DataDictionary, ReadOnlyDefinitionRaises328OnEveryChange) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
  dictionary.SetBaseName(QStringLiteral("MINV2"));
  dictionary.SetReadOnly();
  const QString text = QStringLiteral("Once a table has been built, cannot modify its dictionary [MINV2]");
  const std::function<void()> changes[] = {
      [&] { dictionary.SetIsEncrypted(false); },
      [&] { dictionary.AddField(QStringLiteral("X"), QString(), fftInt32, 0, 0, false); },
      [&] { dictionary.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true); },
  };
  for (const auto &change : changes) {
    const auto [code, message] = Raised(change);
    EXPECT_EQ(code, 328);
    EXPECT_EQ(message, text);
  }
  EXPECT_EQ(dictionary.FieldCount(), 1);
  EXPECT_EQ(dictionary.IndexCount(), 1);
}

TEST(DataDictionary, IndexesOnCompoundFieldsWithDirectionAndCase) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("CUSTNO"), QString(), fftInt32, 0, 0, false);
  dictionary.AddField(QStringLiteral("InvNUM"), QString(), fftDouble, 0, 0, false);
  dictionary.AddField(QStringLiteral("CUSTOMER"), QString(), fftNullString, 50, 0, false);
  dictionary.AddIndex(QStringLiteral("CUST"), QString(), 0, QStringLiteral("CUSTNO;InvNUM"), true, true);
  dictionary.AddIndex(QStringLiteral("MIXED"), QString(), 0,
                      {TffIndexField{2, false, true}, TffIndexField{1, true, false}}, false);
  ASSERT_EQ(dictionary.IndexCount(), 3);
  EXPECT_EQ(dictionary.GetIndexFromName(QStringLiteral("cust")), 1);
  EXPECT_EQ(dictionary.GetIndexFromName(QStringLiteral("Sequential Access Index")), 0);
  EXPECT_EQ(dictionary.GetIndexFromName(QStringLiteral("none")), -1);
  EXPECT_EQ(dictionary.GetFieldFromName(QStringLiteral("invnum")), 1);
  const TffIndexDescriptor &cust = dictionary.IndexDescriptor(1);
  ASSERT_EQ(cust.idFields.size(), 2);
  EXPECT_EQ(cust.idFields[0].FieldNumber, 0);
  EXPECT_EQ(cust.idFields[1].FieldNumber, 1);
  EXPECT_TRUE(cust.idFields[0].Descending && cust.idFields[1].CaseInsensitive);
  EXPECT_TRUE(cust.idDups);
  EXPECT_FALSE(dictionary.IndexDescriptor(2).idDups);
  EXPECT_TRUE(dictionary.IndexDescriptor(2).idFields[1].Descending);
}

TEST(DataDictionary, BadIndexDefinitionsRaise) {
  TffDataDictionary dictionary(4096);
  dictionary.AddField(QStringLiteral("REC"), QString(), fftInt32, 0, 0, false);
  dictionary.AddIndex(QStringLiteral("REC"), QString(), 0, QStringLiteral("REC"), true, true);
  EXPECT_EQ(Raised([&] {
              dictionary.AddIndex(QStringLiteral("rec"), QString(), 0, QStringLiteral("REC"), false, false);
            }).first,
            342);
  EXPECT_EQ(
      Raised([&] {
        dictionary.AddIndex(QStringLiteral("X"), QString(), 0, QStringLiteral("NOPE"), false, false);
      }),
      std::make_pair(343, QStringLiteral("Field name does not exist in the dictionary [, field NOPE]")));
  EXPECT_EQ(
      Raised([&] { dictionary.AddIndex(QStringLiteral("X"), QString(), 0, QList<TffIndexField>{}); }).first,
      345);
  EXPECT_EQ(Raised([&] { dictionary.AddIndex(QStringLiteral("X"), QString(), 0, {TffIndexField{3}}); }).first,
            320);
  EXPECT_EQ(Raised([&] { dictionary.AddIndex(QStringLiteral("X"), QString(), 2, {TffIndexField{0}}); }).first,
            320);
  EXPECT_EQ(
      Raised([&] { dictionary.AddField(QStringLiteral("  "), QString(), fftInt32, 0, 0, false); }).first,
      344);
  EXPECT_EQ(Raised([&] { dictionary.FieldDescriptor(1); }).first, 320);
  EXPECT_EQ(Raised([&] { dictionary.IndexDescriptor(2); }).first, 320);
  EXPECT_EQ(dictionary.IndexCount(), 2);
}

TEST(DataDictionary, StoredFormReadsBackTheSameDefinition) {
  TffDataDictionary dictionary(16384);
  dictionary.SetIsEncrypted(true);
  dictionary.GetFileDesc(0).fdDesc.clear();
  dictionary.AddField(QStringLiteral("REC"), QStringLiteral("header"), fftAutoInc, 0, 0, true);
  dictionary.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
  dictionary.AddField(QStringLiteral("PRICE"), QString(), fftCurrency, 0, 2, false);
  dictionary.AddIndex(QStringLiteral("description"), QStringLiteral("by text"), 0,
                      {TffIndexField{1, false, true}, TffIndexField{0, true, false}}, false);
  const QByteArray stored = dictionary.WriteToBytes();

  const TffDataDictionary read = TffDataDictionary::ReadFromBytes(stored, QStringLiteral("T"));
  EXPECT_EQ(read.WriteToBytes(), stored);
  EXPECT_EQ(read.BaseName(), QStringLiteral("T"));
  EXPECT_EQ(read.BlockSize(), 16384);
  EXPECT_TRUE(read.IsEncrypted());
  EXPECT_TRUE(read.GetFileDesc(0).fdDesc.isEmpty());
  ASSERT_EQ(read.FieldCount(), 3);
  EXPECT_EQ(read.FieldType(0), fftAutoInc);
  EXPECT_TRUE(read.FieldRequired(0));
  EXPECT_EQ(read.FieldDescriptor(0).fdDesc, QStringLiteral("header"));
  EXPECT_EQ(read.FieldUnits(1), 1000);
  EXPECT_EQ(read.FieldLength(1), 1001);
  EXPECT_EQ(read.FieldDecPl(2), 2);
  ASSERT_EQ(read.IndexCount(), 2);
  EXPECT_EQ(read.IndexName(0), QStringLiteral("Sequential Access Index"));
  EXPECT_EQ(read.IndexDescriptor(1).idDesc, QStringLiteral("by text"));
  EXPECT_FALSE(read.IndexDescriptor(1).idDups);
  EXPECT_TRUE(read.IndexDescriptor(1).idFields[0].CaseInsensitive);
  EXPECT_TRUE(read.IndexDescriptor(1).idFields[1].Descending);
}

TEST(DataDictionary, DamagedStoredFormRaises346) {
  const QByteArray good = [] {
    TffDataDictionary dictionary(4096);
    dictionary.AddField(QStringLiteral("A"), QString(), fftInt32, 0, 0, false);
    return dictionary.WriteToBytes();
  }();
  const QByteArray damaged[] = {QByteArray("not json"), QByteArray("{}"), good.left(good.size() / 2),
                                QByteArray(good).replace("fftInt32", "fftInt99"),
                                QByteArray(good).replace("4096", "1000")};
  for (const QByteArray &bytes : damaged) {
    const auto [code, message] =
        Raised([&] { TffDataDictionary::ReadFromBytes(bytes, QStringLiteral("INV2")); });
    EXPECT_EQ(code, 346) << bytes.constData();
    EXPECT_EQ(message, QStringLiteral("The stored dictionary is damaged [INV2]"));
  }
}

} // namespace
