// Fields: declared and default fields, lookup by name, value conversions, texts and BLOB contents.
#include "dataset_probe.h"
#include "tests/platform/raises.h"
#include <QTemporaryDir>

namespace {

class DataSetFields : public test::DataSetTest {
protected:
  // One record with a field of each kind, in edit state.
  TMemoryDataSet *AllKinds() {
    auto *ds = new TMemoryDataSet(owner.get());
    ds->SetName(QStringLiteral("KINDS"));
    TFieldDefs *defs = ds->FieldDefs();
    defs->Add(QStringLiteral("S"), ftString, 5);
    defs->Add(QStringLiteral("SI"), ftSmallint);
    defs->Add(QStringLiteral("I"), ftInteger);
    defs->Add(QStringLiteral("W"), ftWord);
    defs->Add(QStringLiteral("A"), ftAutoInc);
    defs->Add(QStringLiteral("B"), ftBoolean);
    defs->Add(QStringLiteral("F"), ftFloat);
    defs->Add(QStringLiteral("C"), ftCurrency);
    defs->Add(QStringLiteral("D"), ftDate);
    defs->Add(QStringLiteral("T"), ftTime);
    defs->Add(QStringLiteral("DT"), ftDateTime);
    defs->Add(QStringLiteral("BL"), ftBlob);
    defs->Add(QStringLiteral("G"), ftGraphic);
    defs->Add(QStringLiteral("M"), ftMemo);
    ds->CreateDataSet();
    ds->Append();
    return ds;
  }
};

TEST_F(DataSetFields, DefaultFieldsAreMadeFromTheDefinitionsFoundByNameAndFreedAtClose) {
  auto *ds = AllKinds();
  ASSERT_EQ(ds->FieldCount(), 14);
  // One field class per kind, numbered from one in the definitions' order.
  for (const auto &[name, className, number] :
       {std::tuple("SI", "TSmallintField", 2), std::tuple("C", "TCurrencyField", 8),
        std::tuple("G", "TGraphicField", 13)}) {
    TField *field = ds->FieldByName(QString::fromLatin1(name));
    EXPECT_EQ(std::pair(field->ClassName(), field->FieldNo()),
              std::pair(QString::fromLatin1(className), number));
  }

  // Lookup by name ignores case; FieldByName raises where FindField answers nil.
  EXPECT_EQ(ds->FieldByName(QStringLiteral("dt")), ds->FindField(QStringLiteral("DT")));
  EXPECT_EQ(ds->FindField(QStringLiteral("NOPE")), nullptr);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->FieldByName(QStringLiteral("NOPE")); }),
            "KINDS: Field 'NOPE' not found");
  EXPECT_EQ(ds->GetFieldList(QStringLiteral("I; F")),
            QList<TField *>({ds->FieldByName(QStringLiteral("I")), ds->FieldByName(QStringLiteral("F"))}));
  ds->Cancel();
  ds->Close();
  EXPECT_EQ(ds->FieldCount(), 0);
  EXPECT_EQ(ds->ComponentCount(), 0);
}

TEST_F(DataSetFields, DeclaredFieldsSurviveCloseAndAreCheckedAgainstTheDefinitions) {
  auto *ds = new TMemoryDataSet(owner.get());
  ds->SetName(QStringLiteral("LINES"));
  ds->FieldDefs()->Add(QStringLiteral("QUANTITY"), ftFloat);
  ds->FieldDefs()->Add(QStringLiteral("DESCRIPTION"), ftString, 1000);
  ds->FieldDefs()->Add(QStringLiteral("ITEMTOTAL"), ftFloat);
  auto *quantity = new TFloatField(owner.get());
  quantity->SetFieldName(QStringLiteral("QUANTITY"));
  quantity->SetDataSet(ds);
  auto *total = new TFloatField(owner.get());
  total->SetFieldName(QStringLiteral("ITEMTOTAL"));
  total->SetDataSet(ds);
  ds->Open();
  EXPECT_EQ(ds->FieldCount(), 2); // only the declared ones
  EXPECT_EQ(total->FieldNo(), 3);
  auto *extra = new TStringField(owner.get());
  extra->SetFieldName(QStringLiteral("DESCRIPTION"));
  EXPECT_THROW(extra->SetDataSet(ds), EDatabaseError) << "attaching needs a closed dataset";
  ds->Close();
  EXPECT_EQ(ds->FieldByName(QStringLiteral("itemtotal")), total);

  // A declared field with no definition, or of another type, fails the open and leaves it closed.
  extra->SetFieldName(QStringLiteral("MISSING"));
  extra->SetDataSet(ds);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Open(); }), "LINES: Field 'MISSING' not found");
  EXPECT_FALSE(ds->Active());
  EXPECT_THROW(extra->SetFieldName(QStringLiteral("QUANTITY")), EDatabaseError); // a name used twice
  extra->SetFieldName(QStringLiteral("ITEMTOTAL2"));
  ds->FieldDefs()->Add(QStringLiteral("ITEMTOTAL2"), ftInteger);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { ds->Open(); }),
            "LINES: Type mismatch for field 'ITEMTOTAL2', expecting: String actual: Integer");

  // Freeing a declared field of an open dataset closes it first.
  extra->Free();
  ds->Open();
  quantity->Free();
  EXPECT_FALSE(ds->Active());
}

TEST_F(DataSetFields, ConversionsBetweenKinds) {
  auto *ds = AllKinds();
  auto f = [ds](const char *name) { return ds->FieldByName(QString::fromLatin1(name)); };

  f("I")->SetAsFloat(2.5); // rounds half to even
  EXPECT_EQ(f("I")->AsInteger(), 2);
  EXPECT_THROW(f("I")->AsBoolean(), EDatabaseError);

  f("S")->SetAsString(QStringLiteral("yes"));
  EXPECT_TRUE(f("S")->AsBoolean());
  f("S")->SetAsBoolean(false);
  EXPECT_EQ(f("S")->AsString(), "F");

  f("B")->SetAsString(QStringLiteral("f"));
  EXPECT_EQ(f("B")->AsString(), "False");

  const TDateTime moment = EncodeDate(2024, 3, 15) + EncodeTime(13, 45, 30, 0);
  f("DT")->SetAsDateTime(moment);
  EXPECT_EQ(f("DT")->AsString(), "3/15/2024 1:45:30 PM");
  f("D")->SetAsDateTime(moment);
  EXPECT_EQ(f("D")->AsString(), "3/15/2024"); // the date part only
  f("T")->SetAsDateTime(moment);
  EXPECT_NEAR(f("T")->AsDateTime(), EncodeTime(13, 45, 30, 0), 1e-9);

  // Empty text clears a number, a date or a boolean.
  for (const char *name : {"I", "F", "D", "B"}) {
    f(name)->SetAsString(QString());
    EXPECT_TRUE(f(name)->IsNull()) << name;
  }
}

TEST_F(DataSetFields, BadValuesAreRefusedWithTheFieldName) {
  auto *ds = AllKinds();
  const struct {
    const char *field;
    const char *text;
    const char *message;
  } cases[] = {
      {"S", "toolong", "Text too long for field 'S': at most 5 characters"},
      {"I", "x1", "'x1' is not a valid integer value for field 'I'"},
      {"SI", "40000", "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
      {"W", "-1", "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
      {"F", "1,5", "'1,5' is not a valid floating point value for field 'F'"},
      {"B", "maybe", "'maybe' is not a valid boolean value for field 'B'"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(MessageOf<EDatabaseError>([&] {
                ds->FieldByName(QString::fromLatin1(c.field))->SetAsString(QString::fromLatin1(c.text));
              }),
              c.message);
    EXPECT_TRUE(ds->FieldByName(QString::fromLatin1(c.field))->IsNull());
  }
  // Five characters fit, whatever their encoding.
  ds->FieldByName(QStringLiteral("S"))->SetAsString(QStringLiteral("\u00e9t\u00e9\U0001F600!"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("S"))->AsString().size(), 6);
  EXPECT_THROW(ds->FieldByName(QStringLiteral("D"))->SetAsString(QStringLiteral("31/31/2020")),
               EConvertError);
}

TEST_F(DataSetFields, DisplayFormatsAndDisplayValues) {
  auto *ds = AllKinds();
  auto *price = static_cast<TFloatField *>(ds->FieldByName(QStringLiteral("F")));
  price->SetDisplayFormat(QStringLiteral("0.00;-0.00"));
  price->SetAsFloat(0.175);
  EXPECT_EQ(price->Text(), "0.18"); // no edit format: the display format

  auto *money = static_cast<TFloatField *>(ds->FieldByName(QStringLiteral("C")));
  money->SetAsFloat(-1.5);
  EXPECT_EQ(money->DisplayText(), "($1.50)");
  EXPECT_EQ(money->Text(), "-1.50");

  auto *cancelled = static_cast<TBooleanField *>(ds->FieldByName(QStringLiteral("B")));
  cancelled->SetDisplayValues(QStringLiteral("Canc;"));
  cancelled->SetAsString(QStringLiteral("ca"));
  EXPECT_EQ(cancelled->AsString(), "Canc");

  auto *when = static_cast<TDateTimeField *>(ds->FieldByName(QStringLiteral("DT")));
  when->SetAsDateTime(EncodeDate(2024, 12, 1));
  EXPECT_EQ(when->DisplayText(), "12/1/2024"); // midnight: the date alone
  when->SetDisplayFormat(QStringLiteral("dd mmm yyyy"));
  EXPECT_EQ(when->DisplayText(), "01 Dec 2024");

  // OnGetText decides both texts when assigned.
  price->SetOnGetText(TFieldGetTextEvent::From(
      [](TField *, QString &text, bool display) { text = display ? "shown" : "edited"; }));
  EXPECT_EQ(std::pair(price->DisplayText(), price->Text()), std::pair(QString("shown"), QString("edited")));
  price->SetOnSetText(
      TFieldSetTextEvent::From([](TField *sender, const QString &) { sender->SetAsFloat(9); }));
  price->SetText(QStringLiteral("anything"));
  EXPECT_EQ(price->AsFloat(), 9.0);
}

TEST_F(DataSetFields, ValidationChangeEventsAndPresentation) {
  auto *ds = AllKinds();
  TField *amount = ds->FieldByName(QStringLiteral("F"));
  QStringList log;
  amount->SetOnValidate(TFieldNotifyEvent::From([&log](TField *sender) {
    log << QStringLiteral("validate %1").arg(sender->AsFloat());
    if (sender->AsFloat() < 0) throw EDatabaseError(QStringLiteral("negative"));
  }));
  amount->SetOnChange(TFieldNotifyEvent::From([&log](TField *) { log << QStringLiteral("change"); }));
  amount->SetAsFloat(3);
  EXPECT_THROW(amount->SetAsFloat(-1), EDatabaseError);
  EXPECT_EQ(amount->AsFloat(), 3.0); // the refused value is not kept
  EXPECT_EQ(log, QStringList({"validate 3", "change", "validate -1"}));

  TField *name = ds->FieldByName(QStringLiteral("S"));
  name->SetDisplayLabel(QStringLiteral("Name"));
  name->SetReadOnly(true);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { name->SetAsString(QStringLiteral("x")); }),
            "Field 'Name' cannot be modified");
  name->SetIndex(3);
  EXPECT_EQ((*ds->Fields())[3], name);
  EXPECT_EQ(name->FieldNo(), 1); // its place among the record's values does not change
}

// Blob contents in a database table are tested with its tables; here what the fields add.
TEST_F(DataSetFields, BlobContentsFromStreamsAndFiles) {
  auto *ds = AllKinds();
  auto *blob = static_cast<TBlobField *>(ds->FieldByName(QStringLiteral("BL")));
  auto *picture = static_cast<TBlobField *>(ds->FieldByName(QStringLiteral("G")));
  auto *memo = static_cast<TMemoField *>(ds->FieldByName(QStringLiteral("M")));
  EXPECT_EQ(blob->DisplayText(), "(Blob)"); // null
  blob->SetAsBytes("new content");
  memo->SetAsString(QStringLiteral("caf\u00e9"));
  EXPECT_EQ(std::pair(blob->DisplayText(), memo->DisplayText()),
            std::pair(QString("(BLOB)"), QString("(MEMO)")));
  TMemoryStream source(QByteArray("from a stream"));
  source.SetPosition(5);
  picture->LoadFromStream(&source); // the whole stream, from its start
  EXPECT_EQ(picture->AsBytes(), "from a stream");
  TMemoryStream saved;
  picture->SaveToStream(&saved);
  EXPECT_EQ(saved.Bytes(), "from a stream");

  // As files.
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("logo.bmp"));
  blob->SaveToFile(path);
  picture->LoadFromFile(path);
  EXPECT_EQ(picture->AsBytes(), "new content");
  EXPECT_THROW(picture->LoadFromFile(folder.filePath(QStringLiteral("missing.bmp"))), EFOpenError);
}

} // namespace
