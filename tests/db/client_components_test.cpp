// The client components: owners opened first by name, closing what depends on an item, settings that need a
// closed item, creating tables, engine results as exceptions, bad files, and a table reopened by new
// components.
#include "client_fixture.h"
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

using test::AppendRecord;
using test::Column;

namespace {

using ClientComponents = ClientTest;

TEST_F(ClientComponents, OpeningATableOpensItsOwnersFirstAndClosingAnOwnerClosesWhatDependsOnIt) {
  BuildCustomers();
  client->Close();
  EXPECT_FALSE(database->Active());
  EXPECT_FALSE(session->Active());

  TffTable *customers = Table(QStringLiteral("CUSTOMERS"), QStringLiteral("CUSTOMER"));
  customers->Open();
  EXPECT_TRUE(client->Active());
  EXPECT_TRUE(session->Active());
  EXPECT_TRUE(database->Active());
  EXPECT_EQ(customers->Database(), database);
  EXPECT_EQ(database->Session(), session);
  EXPECT_EQ(session->Client(), client);
  EXPECT_EQ(database->FilePath(), FilePath());

  session->Close();
  EXPECT_FALSE(customers->Active());
  EXPECT_FALSE(database->Active());
  EXPECT_TRUE(client->Active());
  database->Open();
  EXPECT_TRUE(session->Active());
  customers->Open();
  client->Close();
  EXPECT_FALSE(customers->Active());
  EXPECT_FALSE(session->Active());

  // Freeing a database closes its tables.
  customers->Open();
  database->Free();
  database = nullptr;
  EXPECT_FALSE(customers->Active());
  EXPECT_EQ(customers->Database(), nullptr);
}

TEST_F(ClientComponents, MissingOwnersAndAMissingEngineAreReported) {
  TffTable *table = Table(QStringLiteral("CUSTOMERS"));
  table->SetDatabaseName(QStringLiteral("nodb"));
  EXPECT_EQ(
      Failure([&] { table->Open(); }),
      std::make_pair(int(DBIERR_NOSUCHOWNER), QStringLiteral("No database named \"nodb\" exists in session "
                                                             "\"session1\"")));
  EXPECT_FALSE(table->Active());

  database->SetSessionName(QStringLiteral("other"));
  EXPECT_EQ(Failure([&] { database->Open(); }).second, "No session named \"other\" exists");
  session->SetClientName(QStringLiteral("nobody"));
  database->SetSessionName(QStringLiteral("session1"));
  EXPECT_EQ(Failure([&] { database->Open(); }).second, "No client named \"nobody\" exists");
  EXPECT_FALSE(database->Active());

  client->SetServerEngine(nullptr);
  EXPECT_EQ(Failure([&] { client->Open(); }).first, DBIERR_NOSERVERENGINE);
  EXPECT_FALSE(client->Active());
}

TEST_F(ClientComponents, SettingsChangeOnlyWhileClosed) {
  database->Open();
  const auto failure = Failure([&] { database->SetAliasName(QStringLiteral("/elsewhere")); });
  EXPECT_EQ(failure.first, DBIERR_MUSTBECLOSED);
  EXPECT_EQ(failure.second, "Cannot perform this operation on an open database");
  EXPECT_EQ(database->AliasName(), folder.path());
  EXPECT_EQ(Failure([&] { client->SetServerEngine(nullptr); }).first, DBIERR_MUSTBECLOSED);
  EXPECT_EQ(Failure([&] { session->SetSessionName(QStringLiteral("x")); }).first, DBIERR_MUSTBECLOSED);

  BuildCustomers();
  TffTable *customers = Table(QStringLiteral("CUSTOMERS"));
  customers->Open();
  EXPECT_THROW(customers->SetTableName(QStringLiteral("MINV1")), EDatabaseError);
  database->Close();
  database->SetAliasName(folder.path() + u'/'); // the program's folder, with its trailing separator
  customers->Open();
  EXPECT_EQ(database->FilePath(), FilePath());
}

TEST_F(ClientComponents, CreateTableWithAndWithoutOverwrite) {
  TffDataDictionary lines(4096);
  lines.SetIsEncrypted(false);
  lines.GetFileDesc(0).fdDesc.clear();
  lines.AddField(QStringLiteral("QUANTITY"), QString(), fftDouble, 0, 0, false);
  lines.AddField(QStringLiteral("DESCRIPTION"), QString(), fftNullString, 1000, 0, false);
  EXPECT_EQ(database->CreateTable(true, QStringLiteral("INV2"), &lines), DBIERR_NONE);
  EXPECT_TRUE(database->Active()); // opened for the purpose

  TffTable *inv2 = Table(QStringLiteral("INV2"));
  inv2->Open();
  AppendRecord(inv2, {{"DESCRIPTION", Variant("a line")}});
  inv2->Close();

  const TffResult refused = database->CreateTable(false, QStringLiteral("INV2"), &lines);
  EXPECT_EQ(refused, DBIERR_TABLEEXISTS);
  const auto failure = Failure([&] { CheckEngineResult(refused); });
  EXPECT_EQ(failure.first, DBIERR_TABLEEXISTS);
  EXPECT_TRUE(failure.second.contains(QStringLiteral("INV2"))) << failure.second.toStdString();
  EXPECT_TRUE(failure.second.contains(FilePath())) << failure.second.toStdString();

  EXPECT_EQ(database->CreateTable(true, QStringLiteral("INV2"), &lines), DBIERR_NONE);
  inv2->Open();
  EXPECT_TRUE(inv2->IsEmpty());
  EXPECT_EQ(database->CreateTable(true, QStringLiteral("INV2"), &lines), DBIERR_TABLEINUSE);
  inv2->Close();

  EXPECT_EQ(Failure([&] { database->CreateTable(true, QString(), &lines); }).first, DBIERR_NOTABLENAME);
  EXPECT_EQ(Failure([&] { database->CreateTable(true, QStringLiteral("X"), nullptr); }).first,
            DBIERR_NODICTIONARY);
}

TEST_F(ClientComponents, CheckEngineResultRaisesTheCodeWithItsText) {
  EXPECT_NO_THROW(CheckEngineResult(DBIERR_NONE));
  const auto failure = Failure([] { CheckEngineResult(DBIERR_KEYVIOL); });
  EXPECT_EQ(failure, std::make_pair(int(DBIERR_KEYVIOL), QStringLiteral("Key violation")));
  try {
    CheckEngineResult(DBIERR_EOF);
    FAIL() << "no exception";
  } catch (const EDatabaseError &e) { // the family belongs to the database errors
    EXPECT_EQ(e.ClassName(), "EffDatabaseError");
  }
}

TEST_F(ClientComponents, BadFilesGiveDatabaseErrorsThatNameTheFile) {
  BuildCustomers();
  // A missing table.
  TffTable *missing = Table(QStringLiteral("NOSUCH"));
  auto failure = Failure([&] { missing->Open(); });
  EXPECT_EQ(failure.first, DBIERR_NOSUCHTABLE);
  EXPECT_TRUE(failure.second.contains(FilePath())) << failure.second.toStdString();
  EXPECT_FALSE(missing->Active());

  // A folder without a database file, and a file that is not a database.
  QTemporaryDir other;
  database->Close();
  database->SetAliasName(other.path());
  failure = Failure([&] { database->Open(); });
  EXPECT_EQ(failure.first, DBIERR_NOSUCHDATABASE);
  EXPECT_TRUE(failure.second.contains(other.path())) << failure.second.toStdString();
  EXPECT_FALSE(database->Active());
  QFile junk(other.filePath(QStringLiteral("tallyrook.db")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(8192, 'x'));
  junk.close();
  failure = Failure([&] { database->Open(); });
  EXPECT_EQ(failure.first, DBIERR_NOTADATABASE);
  EXPECT_TRUE(failure.second.contains(other.filePath(QStringLiteral("tallyrook.db"))))
      << failure.second.toStdString();
  EXPECT_EQ(QFileInfo(junk).size(), 8192);

  // A file another program holds locked: the post fails, the edit stays, and it goes through later.
  database->SetAliasName(folder.path());
  TffTable *customers = Table(QStringLiteral("CUSTOMERS"));
  customers->Open();
  customers->Append();
  customers->FieldByName(QStringLiteral("CUSTOMER"))->SetAsString(QStringLiteral("Ann"));
  sqlite3 *otherProgram = nullptr;
  ASSERT_EQ(sqlite3_open(FilePath().toUtf8().constData(), &otherProgram), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(otherProgram, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  failure = Failure([&] { customers->Post(); });
  EXPECT_EQ(failure.first, DBIERR_FILELOCKED);
  EXPECT_TRUE(failure.second.contains(FilePath())) << failure.second.toStdString();
  EXPECT_EQ(customers->State(), dsInsert);
  sqlite3_exec(otherProgram, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(otherProgram);
  customers->Post();
  EXPECT_EQ(Column(customers, QStringLiteral("CUSTOMER")), QStringList({"Ann"}));
}

TEST_F(ClientComponents, AReopenedTableHasItsRowsTypesAndIndexes) {
  BuildHeaders();
  TffTable *headers = Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  headers->Open();
  for (int i = 1; i <= 3; ++i)
    AppendRecord(headers, {{"CUSTNO", Variant(10 * i)},
                           {"CUSTOMER", Variant(QStringLiteral("Customer %1").arg(i))},
                           {"CANC", Variant(i == 2)},
                           {"NET", Variant(i * 1.5)},
                           {"InvDATE", Variant::FromDateTime(EncodeDate(2024, 1, i))},
                           {"InvNUM", Variant(double(i))}});
  FreeComponents();

  // New components (and a new engine) on the same folder.
  TffServerEngine fresh;
  MakeComponents();
  client->SetServerEngine(&fresh);
  headers = Table(QStringLiteral("MINV1"), QStringLiteral("INVNUM"));
  headers->Open();
  const struct {
    const char *name;
    TFieldType type;
    int size;
  } fields[] = {{"REC", ftAutoInc, 0},      {"CANC", ftBoolean, 0}, {"CUSTNO", ftInteger, 0},
                {"CUSTOMER", ftString, 50}, {"NET", ftFloat, 0},    {"InvDATE", ftDateTime, 0},
                {"InvNUM", ftFloat, 0}};
  ASSERT_EQ(headers->FieldCount(), 7);
  for (int i = 0; i < 7; ++i) {
    TField *field = (*headers->Fields())[i];
    EXPECT_EQ(field->FieldName(), fields[i].name);
    EXPECT_EQ(field->DataType(), fields[i].type) << fields[i].name;
    if (fields[i].size) {
      EXPECT_EQ(field->Size(), fields[i].size);
    }
  }
  EXPECT_EQ(Column(headers, QStringLiteral("InvNUM")), QStringList({"3", "2", "1"})); // newest first
  headers->First();
  headers->Next();
  EXPECT_TRUE(headers->FieldByName(QStringLiteral("CANC"))->AsBoolean());
  EXPECT_EQ(headers->FieldByName(QStringLiteral("InvDATE"))->AsDateTime(), EncodeDate(2024, 1, 2));
  EXPECT_EQ(headers->FieldByName(QStringLiteral("NET"))->AsFloat(), 3.0);
  headers->SetIndexName(QStringLiteral("CUST"));
  EXPECT_EQ(Column(headers, QStringLiteral("CUSTNO")), QStringList({"30", "20", "10"}));
  AppendRecord(headers, {{"InvNUM", Variant(4.0)}});
  EXPECT_EQ(headers->FieldByName(QStringLiteral("REC"))->AsInteger(), 4);
  FreeComponents();
}

} // namespace
