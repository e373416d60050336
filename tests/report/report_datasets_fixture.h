// An invoice form owning a memory dataset of five lines (ID 1..5, PRICE, "Unit Price", NOTE memo) and a
// report record source over it, a data module with a second dataset, and a report on the form; the engine
// runs with the fake report model.
#pragma once
#include "fake_engine_model.h"
#include "platform/data/memory_dataset.h"
#include "report/db_dataset.h"

namespace fake {

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
    auto *dataSet = new TMemoryDataSet(owner);
    dataSet->SetName(QString::fromLatin1(name));
    dataSet->FieldDefs()->Add(QStringLiteral("ID"), ftInteger);
    dataSet->FieldDefs()->Add(QStringLiteral("PRICE"), ftFloat);
    dataSet->FieldDefs()->Add(QStringLiteral("Unit Price"), ftFloat);
    dataSet->FieldDefs()->Add(QStringLiteral("NOTE"), ftMemo);
    dataSet->CreateDataSet();
    int id = 0;
    for (const double price : prices) {
      dataSet->Append();
      dataSet->FieldByName(QStringLiteral("ID"))->SetAsInteger(++id);
      dataSet->FieldByName(QStringLiteral("PRICE"))->SetAsFloat(price);
      dataSet->FieldByName(QStringLiteral("Unit Price"))->SetAsFloat(price / 10);
      dataSet->Post();
    }
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
