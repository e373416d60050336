#include "app/table_definitions.h"

namespace {

TffDataDictionary NewDictionary() {
  TffDataDictionary dictionary(AppTableBlockSize);
  dictionary.SetIsEncrypted(false);
  dictionary.GetFileDesc(0).fdDesc.clear();
  return dictionary;
}

void String(TffDataDictionary &d, const QString &name, int size) {
  d.AddField(name, QString(), fftNullString, size, 0, false);
}
void Field(TffDataDictionary &d, const QString &name, TffFieldType type) {
  d.AddField(name, QString(), type, 0, 0, false);
}

// Indexes are case-insensitive, as the data module's tables declare them.
void Index(TffDataDictionary &d, const QString &name, const QString &fields, bool descending,
           bool unique = false) {
  d.AddIndex(name, QString(), 0, fields, descending, true, !unique);
}

void CustomerAndAddress(TffDataDictionary &d) {
  for (const char *name : {"CUSTOMER", "ADDR1", "ADDR2", "ADDR3", "ADDR4", "ADDR5"})
    String(d, QString::fromLatin1(name), 50);
}

// The totals, date and number of an invoice, stored and being edited alike.
void InvoiceTotals(TffDataDictionary &d) {
  Field(d, QStringLiteral("NET"), fftDouble);
  Field(d, QStringLiteral("TAX"), fftDouble);
  Field(d, QStringLiteral("GROSS"), fftDouble);
  Field(d, QStringLiteral("InvDATE"), fftDateTime);
  Field(d, QStringLiteral("InvNUM"), fftDouble);
}

// The fields of an invoice line, stored and being edited alike.
void InvoiceLine(TffDataDictionary &d) {
  Field(d, QStringLiteral("QUANTITY"), fftDouble);
  String(d, QStringLiteral("DESCRIPTION"), 1000);
  Field(d, QStringLiteral("ITEMPRICE"), fftDouble);
  Field(d, QStringLiteral("ITEMTOTAL"), fftDouble);
}

TffDataDictionary ControlDictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("LOGO"), fftBLOBGraphic);
  String(d, QStringLiteral("COMPANY"), 50);
  String(d, QStringLiteral("ADDRESS"), 250);
  String(d, QStringLiteral("PHONE"), 25);
  String(d, QStringLiteral("FAX"), 25);
  String(d, QStringLiteral("EMAIL"), 100);
  String(d, QStringLiteral("WEBSITE"), 100);
  Field(d, QStringLiteral("LastINV"), fftInt32);
  Field(d, QStringLiteral("TaxPCT"), fftDouble);
  Field(d, QStringLiteral("INVTYPE"), fftInt32);
  String(d, QStringLiteral("FootNote"), 100);
  return d;
}

TffDataDictionary INV1Dictionary() {
  TffDataDictionary d = NewDictionary();
  CustomerAndAddress(d);
  InvoiceTotals(d);
  return d;
}

TffDataDictionary ReportsDictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("rec"), fftAutoInc);
  Field(d, QStringLiteral("File"), fftBLOB);
  String(d, QStringLiteral("FileName"), 100);
  String(d, QStringLiteral("Description"), 100);
  Field(d, QStringLiteral("Updated"), fftDateTime);
  Field(d, QStringLiteral("Level"), fftInt16);
  Field(d, QStringLiteral("GlobIdx"), fftInt16);
  Field(d, QStringLiteral("Copies"), fftInt16);
  Field(d, QStringLiteral("Auto"), fftBoolean);
  Index(d, QStringLiteral("rec"), QStringLiteral("rec"), false);
  Index(d, QStringLiteral("description"), QStringLiteral("Level;Description"), false);
  return d;
}

} // namespace

TffDataDictionary MINV1Dictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("REC"), fftAutoInc);
  Field(d, QStringLiteral("TYPE"), fftInt32);
  Field(d, QStringLiteral("CANC"), fftBoolean);
  Field(d, QStringLiteral("CUSTNO"), fftInt32);
  CustomerAndAddress(d);
  InvoiceTotals(d);
  Index(d, QStringLiteral("CUST"), QStringLiteral("CUSTNO;InvNUM"), true);
  // An invoice number is used once.
  Index(d, QStringLiteral("INVNUM"), QStringLiteral("InvNUM"), true, true);
  return d;
}

namespace {

TffDataDictionary MINV2Dictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("REC"), fftInt32);
  InvoiceLine(d);
  Index(d, QStringLiteral("REC"), QStringLiteral("REC"), true);
  return d;
}

TffDataDictionary CustomersDictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("CUSTNO"), fftAutoInc);
  CustomerAndAddress(d);
  Index(d, QStringLiteral("CUSTOMER"), QStringLiteral("CUSTOMER"), false);
  return d;
}

TffDataDictionary ProductsDictionary() {
  TffDataDictionary d = NewDictionary();
  Field(d, QStringLiteral("TYPE"), fftInt32);
  String(d, QStringLiteral("DESCRIPTION"), 1000);
  Field(d, QStringLiteral("ITEMPRICE"), fftDouble);
  Index(d, QStringLiteral("TYPE"), QStringLiteral("TYPE;DESCRIPTION"), false);
  return d;
}

} // namespace

TffDataDictionary INV2Dictionary() {
  TffDataDictionary d = NewDictionary();
  InvoiceLine(d);
  return d;
}

QList<TAppTableDefinition> AppTableDefinitions() {
  return {
      {QStringLiteral("CONTROL"), ControlDictionary()},
      {QStringLiteral("INV1"), INV1Dictionary()},
      {QStringLiteral("INV2"), INV2Dictionary()},
      {QStringLiteral("Reports"), ReportsDictionary()},
      {QStringLiteral("MINV1"), MINV1Dictionary()},
      {QStringLiteral("MINV2"), MINV2Dictionary()},
      {QStringLiteral("CUSTOMERS"), CustomersDictionary()},
      {QStringLiteral("PRODUCTS"), ProductsDictionary()},
  };
}
