#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "tests/platform/raises.h"
#include <gtest/gtest.h>

namespace {

// Key tables in the shape a command processor stores them: "TableList" holds tables, each a name, an active
// flag and a list of (key, command) pairs; "Logo" is a binary property.
struct KeyTable {
  QString name;
  bool active = false;
  QList<std::pair<int, int>> pairs;
  bool operator==(const KeyTable &) const = default;
};

struct Processor : TPersistent {
  QList<KeyTable> tables;
  QByteArray logo;

  void DefineProperties(TFiler *filer) override {
    filer->DefineProperty(
        QStringLiteral("TableList"), [this](TReader *r) { ReadTables(r); },
        [this](TWriter *w) { WriteTables(w); }, !tables.isEmpty());
    filer->DefineBinaryProperty(
        QStringLiteral("Logo"), [this](TStream *s) { logo = s->ReadBytes(s->Size()); },
        [this](TStream *s) { s->WriteBytes(logo); }, !logo.isEmpty());
  }
  void WriteTables(TWriter *w) {
    w->WriteListBegin();
    for (const KeyTable &t : tables) {
      w->WriteString(t.name);
      w->WriteBoolean(t.active);
      w->WriteListBegin();
      for (const auto &[key, command] : t.pairs) {
        w->WriteInteger(key);
        w->WriteInteger(command);
      }
      w->WriteListEnd();
    }
    w->WriteListEnd();
  }
  void ReadTables(TReader *r) {
    tables.clear();
    r->ReadListBegin();
    while (!r->EndOfList()) {
      KeyTable t;
      t.name = r->ReadString();
      t.active = r->ReadBoolean();
      r->ReadListBegin();
      while (!r->EndOfList()) {
        const int key = r->ReadInteger();
        t.pairs.append({key, r->ReadInteger()});
      }
      r->ReadListEnd();
      tables.append(t);
    }
    r->ReadListEnd();
  }
};

QByteArray Written(Processor &p) {
  TMemoryStream s;
  TWriter w(&s);
  w.WriteProperties(&p);
  return s.Bytes();
}

void FillSample(Processor &p) {
  p.tables = {{"Default", true, {{0x0125, 0}, {0x1C26, 77}}},
              {"Grid", false, {}},
              {"Mine", true, {{70000, -3}, {-40000, 300}}}};
  p.logo = QByteArray("\x00\x01\xFF", 3);
}

TEST(Filer, DefinedPropertiesRoundTripAndWithoutDataAreNotWritten) {
  Processor out;
  FillSample(out);
  TMemoryStream s(Written(out));
  Processor in;
  TReader r(&s);
  r.ReadProperties(&in);
  EXPECT_EQ(in.tables, out.tables);
  EXPECT_EQ(in.logo, out.logo);

  // Properties without data are not written.
  Processor empty;
  EXPECT_EQ(Written(empty), QByteArray(1, '\0'));
}

TEST(Filer, ValueTypeEncodingIsExact) {
  TMemoryStream s;
  TWriter w(&s);
  w.WritePropName("Datasets");
  w.WriteValue(vaCollection);
  w.WriteListBegin();
  w.WritePropName("DataSet");
  w.WriteValue(vaNil);
  w.WriteListEnd();
  w.WriteListEnd();
  w.WriteInteger(-128);
  w.WriteInteger(128);
  w.WriteInteger(-32769);
  w.WriteBoolean(true);
  w.WriteBoolean(false);
  w.WriteString("Ab€");
  const QByteArray expected = QByteArray("\x08"
                                         "Datasets\x0E\x01\x07"
                                         "DataSet\x0D\x00\x00",
                                         22) +
                              QByteArray("\x02\x80\x03\x80\x00\x04\xFF\x7F\xFF\xFF\x09\x08\x06\x03"
                                         "Ab\x80",
                                         17);
  EXPECT_EQ(s.Bytes().toHex(' ').toStdString(), expected.toHex(' ').toStdString());
}

struct StringCase {
  QString text;
  TValueType type;
};

// Integers of every width are in the sample and the exact encoding above.
TEST(Filer, StringsChooseTheirEncoding) {
  const StringCase cases[] = {
      {QString(255, u'x'), vaString},
      {QString(256, u'y'), vaLString},
      {QStringLiteral("日本 – ok"), vaUTF8String},
  };
  for (const StringCase &c : cases) {
    TMemoryStream s;
    TWriter(&s).WriteString(c.text);
    s.SetPosition(0);
    TReader r(&s);
    EXPECT_EQ(r.NextValue(), c.type);
    EXPECT_EQ(r.ReadString(), c.text);
  }
  // Wide strings of other writers are read too.
  TMemoryStream wide(QByteArray("\x12\x02\x00\x00\x00\xE5\x65\x41\x00", 9));
  EXPECT_EQ(TReader(&wide).ReadString(), QStringLiteral("日A"));
}

TEST(Filer, TypeMismatchesAreReadErrors) {
  const auto expectInvalid = [](const QByteArray &bytes, const std::function<void(TReader &)> &read) {
    TMemoryStream s(bytes);
    TReader r(&s);
    EXPECT_EQ(MessageOf<EReadError>([&] { read(r); }), "Invalid property value");
  };
  expectInvalid(QByteArray("\x09", 1), [](TReader &r) { r.ReadInteger(); });
  expectInvalid(QByteArray("\x02\x05", 2), [](TReader &r) { r.ReadString(); });
  expectInvalid(QByteArray("\x00", 1), [](TReader &r) { r.ReadListBegin(); });
  expectInvalid(QByteArray("\x15", 1), [](TReader &r) { r.ReadValue(); }); // no such value type
  expectInvalid(QByteArray("\x0C\xFF\xFF\xFF\xFF", 5), [](TReader &r) { r.ReadString(); });
  // A failed check consumes nothing.
  TMemoryStream s(QByteArray("\x08", 1));
  TReader r(&s);
  EXPECT_THROW(r.ReadInteger(), EReadError);
  EXPECT_FALSE(r.ReadBoolean());
}

TEST(Filer, EveryTruncationIsAReadError) {
  Processor out;
  FillSample(out);
  const QByteArray full = Written(out);
  for (int n = 0; n < full.size(); ++n) {
    TMemoryStream s(full.left(n));
    Processor in;
    TReader r(&s);
    try {
      r.ReadProperties(&in);
      ADD_FAILURE() << "read " << n << " of " << full.size() << " bytes without error";
    } catch (const EReadError &) {
    }
  }
  // A huge length in damaged data is refused without allocating it.
  TMemoryStream huge(QByteArray("\x0C\xFF\xFF\xFF\x7F", 5) + QByteArray(10, 'x'));
  EXPECT_EQ(MessageOf<EReadError>([&] { TReader(&huge).ReadString(); }), "Stream read error");
}

TEST(Filer, PropertyNamesMatchWithoutRegardToCaseAndUnknownOnesAreRefused) {
  Processor out;
  FillSample(out);
  QByteArray bytes = Written(out);
  bytes.replace("TableList", "TABLELIST");
  TMemoryStream s(bytes);
  Processor in;
  TReader(&s).ReadProperties(&in);
  EXPECT_EQ(in.tables, out.tables);

  // Unknown properties are refused.
  TMemoryStream unknown;
  TWriter w(&unknown);
  w.WritePropName("Missing");
  w.WriteInteger(1);
  w.WriteListEnd();
  unknown.SetPosition(0);
  Processor other;
  TReader r(&unknown);
  EXPECT_EQ(MessageOf<EReadError>([&] { r.ReadProperties(&other); }), "Property Missing does not exist");
}

} // namespace
