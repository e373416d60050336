// The client components: owners opened first by name, closing what depends on an item, settings that need a
// closed item, creating tables, engine results as exceptions, bad files, and a table reopened by new
// components.
#include "client_fixture.h"
#include <sqlite3.h>

using test::AppendRecord;

namespace {

using ClientComponents = ClientTest;

TEST_F(ClientComponents, OpeningATableOpensItsOwnersFirstAndClosingAnOwnerClosesWhatDependsOnIt) {
  BuildCustomers();
  client->Close();
  EXPECT_FALSE(database->Active() || session->Active());
  TffTable *customers = Table("CUSTOMERS", "CUSTOMER");
  customers->Open();
  EXPECT_TRUE(client->Active() && session->Active() && database->Active());
  EXPECT_EQ(customers->Database(), database);

  session->Close();
  EXPECT_FALSE(customers->Active() || database->Active());
  EXPECT_TRUE(client->Active());
  database->Open();
  EXPECT_TRUE(session->Active());
  customers->Open();
  client->Close();
  EXPECT_FALSE(customers->Active() || session->Active());

  // Freeing a database closes its tables.
  customers->Open();
  database->Free();
  database = nullptr;
  EXPECT_FALSE(customers->Active());
  EXPECT_EQ(customers->Database(), nullptr);
}

TEST_F(ClientComponents, MissingOwnersAndEngineAreReportedAndSettingsChangeOnlyWhileClosed) {
  TffTable *table = Table("CUSTOMERS");
  table->SetDatabaseName("nodb");
  EXPECT_EQ(Failure([&] { table->Open(); }),
            std::pair(int(DBIERR_NOSUCHOWNER), QStringLiteral("No database named \"nodb\" exists in session "
                                                              "\"session1\"")));
  EXPECT_FALSE(table->Active());
  database->SetSessionName("other");
  EXPECT_EQ(Failure([&] { database->Open(); }).second, "No session named \"other\" exists");
  session->SetClientName("nobody");
  database->SetSessionName("session1");
  EXPECT_EQ(Failure([&] { database->Open(); }).second, "No client named \"nobody\" exists");
  session->SetClientName("client1");

  database->Open();
  EXPECT_EQ(
      Failure([&] { database->SetAliasName("/elsewhere"); }),
      std::pair(int(DBIERR_MUSTBECLOSED), QString("Cannot perform this operation on an open database")));
  EXPECT_EQ(database->AliasName(), folder.path());
  EXPECT_EQ(Failure([&] { session->SetSessionName("x"); }).first, DBIERR_MUSTBECLOSED);
  BuildCustomers();
  table->SetDatabaseName("database1");
  table->Open();
  EXPECT_THROW(table->SetTableName("MINV1"), EDatabaseError);
  database->Close();
  database->SetAliasName(folder.path() + u'/'); // the program's folder, with its trailing separator
  table->Open();
  EXPECT_EQ(database->FilePath(), FilePath());

  client->Close();
  client->SetServerEngine(nullptr);
  EXPECT_EQ(Failure([&] { client->Open(); }).first, DBIERR_NOSERVERENGINE);
}

TEST_F(ClientComponents, CreateTableWithAndWithoutOverwriteAndEngineResultsAsExceptions) {
  const TffDataDictionary lines = Schema({{"QUANTITY", fftDouble}, {"DESCRIPTION", fftNullString, 1000}});
  EXPECT_EQ(database->CreateTable(true, "INV2", &lines), DBIERR_NONE);
  EXPECT_TRUE(database->Active()); // opened for the purpose
  const auto failure = Failure([&] { CheckEngineResult(database->CreateTable(false, "INV2", &lines)); });
  EXPECT_EQ(failure.first, DBIERR_TABLEEXISTS);
  EXPECT_TRUE(failure.second.contains("INV2") && failure.second.contains(FilePath()))
      << failure.second.toStdString();
  EXPECT_EQ(Failure([&] { database->CreateTable(true, "X", nullptr); }).first, DBIERR_NODICTIONARY);

  EXPECT_EQ(Failure([] { CheckEngineResult(DBIERR_KEYVIOL); }),
            std::pair(int(DBIERR_KEYVIOL), QString("Key violation")));
  EXPECT_THROW(CheckEngineResult(DBIERR_EOF), EDatabaseError); // the family belongs to the database errors
}

TEST_F(ClientComponents, BadFilesGiveDatabaseErrorsThatNameTheFile) {
  BuildCustomers();
  TffTable *missing = Table("NOSUCH");
  auto failure = Failure([&] { missing->Open(); });
  EXPECT_EQ(failure.first, DBIERR_NOSUCHTABLE);
  EXPECT_TRUE(failure.second.contains(FilePath())) << failure.second.toStdString();

  // A file another program holds locked: the post fails, the edit stays, and it goes through later.
  TffTable *customers = Table("CUSTOMERS");
  customers->Open();
  customers->Append();
  SetText(customers, "CUSTOMER", "Ann");
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
  EXPECT_EQ(Column(customers, "CUSTOMER"), "Ann");
}

TEST_F(ClientComponents, AReopenedTableHasItsRowsTypesAndIndexes) {
  TffTable *headers = Open("MINV1", HeadersSchema(), "INVNUM");
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
  headers = Table("MINV1", "INVNUM");
  headers->Open();
  QStringList names;
  std::vector<TFieldType> types;
  for (int i = 0; i < headers->FieldCount(); ++i) {
    names << (*headers->Fields())[i]->FieldName();
    types.push_back((*headers->Fields())[i]->DataType());
  }
  EXPECT_EQ(names.join(u','), "REC,CUSTNO,InvNUM,NET,CANC,CUSTOMER,InvDATE");
  EXPECT_EQ(types, (std::vector{ftAutoInc, ftInteger, ftFloat, ftFloat, ftBoolean, ftString, ftDateTime}));
  EXPECT_EQ(Column(headers, "InvNUM"), "3,2,1"); // newest first
  headers->First();
  headers->Next();
  EXPECT_EQ(Text(headers, "CANC") + u' ' + Text(headers, "NET"), "True 3");
  EXPECT_EQ(headers->FieldByName("InvDATE")->AsDateTime(), EncodeDate(2024, 1, 2));
  AppendRecord(headers, {{"InvNUM", Variant(4.0)}});
  EXPECT_EQ(Text(headers, "REC"), "4");
  FreeComponents();
}

} // namespace
