// A fake report model for the engine's tests: views with a property table, bands with request flags and a
// value list, a page with objects, and a report that can be cancelled. The fixture starts the engine, pins
// US English formats and hooks the report parser to a table of field values and to the function libraries;
// the dataset fixture adds forms owning memory datasets and record sources.
#pragma once
#include "platform/core/format_settings.h"
#include "platform/core/string_list.h"
#include "platform/data/memory_dataset.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/parser.h"
#include "report/report_interpreter.h"
#include "report/variables.h"
#include "tests/report/report_model_fixture.h"
#include <QMap>
#include <gtest/gtest.h>
#include <memory>

namespace fake {

class View : public TfrEngineView {
public:
  View(QString name, TfrViewKind kind) : name_(std::move(name)), kind_(kind) {}
  QString ViewName() const override { return name_; }
  TfrViewKind ViewKind() const override { return kind_; }
  Variant GetProperty(TfrViewProperty p) const override { return values.value(p, Variant(0)); }
  void SetProperty(TfrViewProperty p, const Variant &v) override { values[p] = v; }

  QMap<int, Variant> values;

private:
  QString name_;
  TfrViewKind kind_;
};

class Band : public TfrEngineBand {
public:
  Band(QString name, int type) : name_(std::move(name)), type_(type) {}
  QString BandName() const override { return name_; }
  int BandType() const override { return type_; }
  bool Printing() const override { return printing; }
  TStrings *AggregateValues() override { return &values; }
  int AggregateRecordCount() const override { return recordCount; }
  void RequestNewPage() override { newPage = true; }
  void RequestNewColumn() override { newColumn = true; }

  // What the band engine does before a record is taken in: every total is marked as not yet counted.
  void MarkNotCounted() {
    for (int i = 0; i < values.Count(); ++i) {
      const QString name = values.Names(i);
      QString value = values.ValueFromIndex(i);
      if (!value.isEmpty()) value[0] = QLatin1Char('0');
      values.SetStrings(i, name + QLatin1Char('=') + value);
    }
  }

  bool printing = false;
  int recordCount = 0;
  bool newPage = false;
  bool newColumn = false;
  TStringList values;

private:
  QString name_;
  int type_;
};

class Page : public TfrEnginePage {
public:
  TfrEngineView *FindObject(const QString &name) override {
    for (View *v : objects)
      if (v->ViewName().compare(name, Qt::CaseInsensitive) == 0) return v;
    return nullptr;
  }
  int FreeSpace() const override { return bottom - y; }
  bool PrintingCrossBands() const override { return crossBands; }
  int CrossColumn() const override { return crossColumn; }

  QList<View *> objects;
  int bottom = 1000;
  int y = 0;
  bool crossBands = false;
  int crossColumn = 0;
};

class Report : public TfrEngineReport {
public:
  TComponent *ReportComponent() const override { return component; }
  bool Terminated() const override { return terminated; }

  TComponent *component = nullptr;
  bool terminated = false;
};

// Starts the engine and hooks the report parser: names are looked up in `fields`, and function calls go to
// the registered libraries.
class EngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartReportEngine();
    ReportParser()->OnGetValue = TGetPValueEvent::From([this](const QString &name, Variant &value) {
      lookups.append(name);
      value = fields.value(name.toUpper(), Variant());
    });
    ReportParser()->OnFunction =
        TFunctionEvent::From([](const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                                QString &result) { frCallFunctionLibraries(name, p1, p2, p3, result); });
  }
  void TearDown() override { StopReportEngine(); }

  Variant Calc(const QString &text) { return ReportParser()->Calc(text); }

  FormatSettingsGuard settings{FormatSettings::USEnglish()};
  QMap<QString, Variant> fields;
  QStringList lookups;
};

// An invoice form owning a memory dataset of five lines (ID 1..5, PRICE, "Unit Price", NOTE memo) and a
// report record source over it, a data module with a second dataset, and a report on the form.
class DatasetTest : public EngineTest {
protected:
  void SetUp() override {
    EngineTest::SetUp();
    form->SetName(QStringLiteral("InvoiceForm"));
    dataModule->SetName(QStringLiteral("DD"));
    lines = MakeLines(form, "Lines", {10, 20, 30, 40, 50});
    items = MakeLines(dataModule, "Items", {1.5, 2.5});
    source = new TfrDBDataSet(form);
    source->SetName(QStringLiteral("frLines"));
    source->SetDataSet(lines);
    reportComponent = new TComponent(form);
    reportComponent->SetName(QStringLiteral("frReport1"));
    report.component = reportComponent;
    frEngine().CurReport = &report;
    frSetTopLevelComponents([this] { return QList<TComponent *>{form, dataModule}; });
  }
  void TearDown() override {
    frSetTopLevelComponents(nullptr);
    form->Free();
    dataModule->Free();
    EngineTest::TearDown();
  }

  static TMemoryDataSet *MakeLines(TComponent *owner, const char *name,
                                   std::initializer_list<double> prices) {
    TMemoryDataSet *dataSet =
        test::MemoryTable(owner, QString::fromLatin1(name),
                          {{"ID", ftInteger}, {"PRICE", ftFloat}, {"Unit Price", ftFloat}, {"NOTE", ftMemo}});
    int id = 0;
    for (const double price : prices) test::AppendRow(dataSet, {++id, price, price / 10});
    dataSet->First();
    return dataSet;
  }

  // Makes the line with that ID current.
  void GoTo(int id) {
    lines->First();
    while (!lines->Eof() && lines->FieldByName(QStringLiteral("ID"))->AsInteger() != id) lines->Next();
  }
  int CurrentId() const {
    return lines->IsEmpty() ? 0 : lines->FieldByName(QStringLiteral("ID"))->AsInteger();
  }

  // The IDs a band sees walking the source: Init, First, Next until Eof, Done.
  QList<int> Walk(TfrDataset *walked, const std::function<void()> &perRecord = {}) {
    QList<int> ids;
    walked->Init();
    walked->First();
    while (!walked->Eof() && ids.size() < 100) {
      ids.append(CurrentId());
      if (perRecord) perRecord();
      walked->Next();
    }
    walked->Done();
    return ids;
  }

  TComponent *form = new TComponent(nullptr);
  TComponent *dataModule = new TComponent(nullptr);
  TMemoryDataSet *lines = nullptr;
  TMemoryDataSet *items = nullptr;
  TfrDBDataSet *source = nullptr;
  TComponent *reportComponent = nullptr;
  Report report;
};

} // namespace fake
