#include "app/invoice_storage.h"
#include "app/data_module.h"
#include "app/engine_cursor.h"
#include "app/invoice_lines.h"
#include <cmath>
#include <limits>

namespace {

TInvoiceTotals TotalsOf(const QList<TInvoiceLine> &lines, double taxPercent) {
  QList<TCents> totals;
  for (const TInvoiceLine &line : lines) totals.append(line.Total);
  return InvoiceTotals(totals, taxPercent);
}

// A record of the cursor's table with the named fields set and every other field null.
class RecordValues {
public:
  explicit RecordValues(const TEngineCursor &cursor) : cursor_(cursor), values_(cursor.FieldCount()) {}
  RecordValues &Set(const char *field, const QVariant &value) {
    values_[cursor_.Field(QString::fromLatin1(field))] = value;
    return *this;
  }
  const QList<QVariant> &Values() const { return values_; }

private:
  const TEngineCursor &cursor_;
  QList<QVariant> values_;
};

const char *const kAddressFields[] = {"ADDR1", "ADDR2", "ADDR3", "ADDR4", "ADDR5"};

// Undoes the transaction after a failure; a failure of the undoing itself adds nothing to what the caller
// reports.
void RollbackQuietly(TffDatabase *database) {
  try {
    database->Rollback();
  } catch (...) {
  }
}

// Shows what was committed in the tables the program keeps open; returns why it could not, or nothing.
QString ShowCommitted(std::initializer_list<TffTable *> tables) {
  try {
    for (TffTable *table : tables)
      if (table->Active() && table->State() == dsBrowse) table->Refresh();
  } catch (const std::exception &e) {
    return QString::fromUtf8(e.what());
  }
  return QString();
}

} // namespace

double HighestInvoiceNumber(TDD &Data) {
  // The INVNUM index runs from the highest number down.
  TEngineCursor headers(Data.ffDatabase1, Data.MINV1->TableName(), QStringLiteral("INVNUM"));
  TffRecord record;
  return headers.Next(record) ? record.Values[headers.Field(QStringLiteral("InvNUM"))].toDouble() : 0.0;
}

int NextInvoiceNumber(TDD &Data) {
  double highest = HighestInvoiceNumber(Data);
  {
    TEngineCursor settings(Data.ffDatabase1, Data.CONTROL->TableName());
    TffRecord record;
    if (settings.Next(record))
      highest = std::max(highest, record.Values[settings.Field(QStringLiteral("LastINV"))].toDouble());
  }
  const double next = std::floor(highest) + 1;
  if (next > std::numeric_limits<qint32>::max())
    throw EInvoiceNotStored(QStringLiteral("The invoice numbers are used up: the last one was %1.")
                                .arg(QString::number(highest, 'f', 0)));
  return int(next);
}

void WriteInvoiceHeader(TDD &Data, const TInvoiceDraft &Draft, const TInvoiceTotals &Totals, int Number) {
  TffTable *header = Data.INV1;
  header->Open();
  header->First();
  if (header->IsEmpty())
    header->Append();
  else
    header->Edit();
  PostOrCancel(header, [&] {
    header->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(Draft.Customer);
    for (int i = 0; i < 5; ++i)
      header->FieldByName(QString::fromLatin1(kAddressFields[i]))->SetAsString(Draft.Address[i]);
    header->FieldByName(QStringLiteral("NET"))->SetAsFloat(CentsToAmount(Totals.Net));
    header->FieldByName(QStringLiteral("TAX"))->SetAsFloat(CentsToAmount(Totals.Tax));
    header->FieldByName(QStringLiteral("GROSS"))->SetAsFloat(CentsToAmount(Totals.Gross));
    header->FieldByName(QStringLiteral("InvDATE"))->SetAsDateTime(Draft.Date);
    header->FieldByName(QStringLiteral("InvNUM"))->SetAsFloat(Number);
  });
}

TStoredInvoice StoreInvoice(TDD &Data, const TInvoiceDraft &Draft) {
  const QList<TInvoiceLine> lines = InvoiceLines(Data);
  TStoredInvoice stored;
  stored.Totals = TotalsOf(lines, Draft.TaxPercent);

  TffDatabase *database = Data.ffDatabase1;
  database->StartTransaction();
  try {
    stored.Number = NextInvoiceNumber(Data);

    TEngineCursor settings(database, Data.CONTROL->TableName());
    TffRecord record;
    if (!settings.Next(record)) throw EInvoiceNotStored(QStringLiteral("the settings are missing"));
    settings.ModifyField(settings.Field(QStringLiteral("LastINV")), stored.Number);

    TEngineCursor headers(database, Data.MINV1->TableName());
    RecordValues header(headers);
    header.Set("TYPE", Draft.Items ? 1 : 0)
        .Set("CANC", false)
        .Set("CUSTNO", Draft.CustNo)
        .Set("CUSTOMER", Draft.Customer)
        .Set("NET", CentsToAmount(stored.Totals.Net))
        .Set("TAX", CentsToAmount(stored.Totals.Tax))
        .Set("GROSS", CentsToAmount(stored.Totals.Gross))
        .Set("InvDATE", Draft.Date)
        .Set("InvNUM", double(stored.Number));
    for (int i = 0; i < 5; ++i) header.Set(kAddressFields[i], Draft.Address[i]);
    const TffRecord inserted = headers.Insert(header.Values());
    stored.Rec = inserted.Values[headers.Field(QStringLiteral("REC"))].toInt();

    TEngineCursor storedLines(database, Data.MINV2->TableName());
    for (const TInvoiceLine &line : lines) {
      RecordValues values(storedLines);
      values.Set("REC", stored.Rec)
          .Set("QUANTITY", line.Quantity)
          .Set("DESCRIPTION", line.Description)
          .Set("ITEMPRICE", line.Price)
          .Set("ITEMTOTAL", CentsToAmount(line.Total));
      storedLines.Insert(values.Values());
    }

    WriteInvoiceHeader(Data, Draft, stored.Totals, stored.Number);
    database->Commit();
  } catch (const Exception &e) {
    RollbackQuietly(database);
    throw EInvoiceNotStored(
        QStringLiteral(
            "The invoice was not stored: %1\n\nNothing of it was saved; it is still on the screen.")
            .arg(e.Message()));
  } catch (...) {
    RollbackQuietly(database);
    throw;
  }
  stored.RefreshProblem = ShowCommitted({Data.CONTROL, Data.MINV1, Data.MINV2});
  return stored;
}

int PreviewInvoiceHeader(TDD &Data, const TInvoiceDraft &Draft) {
  const TInvoiceTotals totals = TotalsOf(InvoiceLines(Data), Draft.TaxPercent);
  const int number = NextInvoiceNumber(Data);
  WriteInvoiceHeader(Data, Draft, totals, number);
  return number;
}

void WipeAllData(TDD &Data) {
  TffDatabase *database = Data.ffDatabase1;
  database->StartTransaction();
  try {
    for (TffTable *table : {Data.PRODUCTS, Data.CUST, Data.MINV2, Data.MINV1}) table->EmptyTable();
    database->Commit();
  } catch (const Exception &e) {
    RollbackQuietly(database);
    throw EDatabaseError(QStringLiteral("Nothing was deleted: %1").arg(e.Message()));
  } catch (...) {
    RollbackQuietly(database);
    throw;
  }
}
