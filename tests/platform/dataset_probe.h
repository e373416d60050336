// Helpers shared by the dataset model's tests: a link that records the notices it receives, and small
// routines that fill and read a memory dataset.
#pragma once
#include "platform/core/format_settings.h"
#include "platform/data/data_source.h"
#include "platform/data/memory_dataset.h"
#include <QStringList>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

namespace test {

// Records every notice as a line of text: "active 1", "editing 0", "changed", "scrolled 2", "layout",
// "record" (whole record) or "record NAME" (one field), "update".
class ProbeLink : public TDataLink {
public:
  ~ProbeLink() override { SetDataSource(nullptr); }
  QStringList log;

  // The values of a field in the records the link sees, top to bottom; the active record is marked "*".
  QStringList Rows(const QString &fieldName) {
    QStringList rows;
    const int saved = ActiveRecord();
    for (int row = 0; row < RecordCount(); ++row) {
      SetActiveRecord(row);
      rows << DataSet()->FieldByName(fieldName)->AsString() +
                  (row == saved ? QStringLiteral("*") : QString());
    }
    SetActiveRecord(saved);
    return rows;
  }

protected:
  void ActiveChanged() override { log << QStringLiteral("active %1").arg(Active() ? 1 : 0); }
  void DataSetChanged() override { log << QStringLiteral("changed"); }
  void DataSetScrolled(int Distance) override { log << QStringLiteral("scrolled %1").arg(Distance); }
  void EditingChanged() override { log << QStringLiteral("editing %1").arg(Editing() ? 1 : 0); }
  void LayoutChanged() override { log << QStringLiteral("layout"); }
  void RecordChanged(TField *Field) override {
    log << (Field ? QStringLiteral("record ") + Field->FieldName() : QStringLiteral("record"));
  }
  void UpdateData() override { log << QStringLiteral("update"); }
};

// Appends one record, setting the named fields through AsVariant.
inline void AppendRecord(TDataSet *dataSet, std::initializer_list<std::pair<const char *, Variant>> values) {
  dataSet->Append();
  for (const auto &[name, value] : values)
    dataSet->FieldByName(QString::fromLatin1(name))->SetAsVariant(value);
  dataSet->Post();
}

// The text of one field in every record, from the first; leaves the dataset at its end.
inline QStringList Column(TDataSet *dataSet, const QString &fieldName) {
  QStringList values;
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
    values << dataSet->FieldByName(fieldName)->AsString();
  return values;
}

// A memory dataset of numbered records: ID (automatic number), NAME (string 20) and AMOUNT (float), holding
// `count` records named "r1", "r2", ... with AMOUNT equal to the number; open.
inline TMemoryDataSet *NumberedDataSet(TComponent *owner, int count) {
  auto *dataSet = new TMemoryDataSet(owner);
  dataSet->FieldDefs()->Add(QStringLiteral("ID"), ftAutoInc);
  dataSet->FieldDefs()->Add(QStringLiteral("NAME"), ftString, 20);
  dataSet->FieldDefs()->Add(QStringLiteral("AMOUNT"), ftFloat);
  dataSet->CreateDataSet();
  for (int i = 1; i <= count; ++i)
    AppendRecord(dataSet, {{"NAME", Variant(QStringLiteral("r%1").arg(i))}, {"AMOUNT", Variant(double(i))}});
  dataSet->First();
  return dataSet;
}

// A test whose datasets, sources and fields belong to one owner, freed after it, with US English formats.
class DataSetTest : public ::testing::Test {
protected:
  std::unique_ptr<TComponent, void (*)(TComponent *)> owner{new TComponent(nullptr),
                                                            [](TComponent *c) { c->Free(); }};
  FormatSettingsGuard settings{FormatSettings::USEnglish()};
};

} // namespace test
