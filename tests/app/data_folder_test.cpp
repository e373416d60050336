// Where the data lives and how a data folder gets its first database: a copy of the first source that
// exists, never over a database the folder holds, and a refusal that says how to get a fresh one.
#include "app/data_folder.h"
#include "tests/app/app_fixture.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

class DataFolder : public AppFolderTest {
protected:
  // A database with its company's name, written as a file of the sources folder.
  QString Source(const QString &name, const QString &company) {
    TShippedSettings settings;
    settings.Company = company;
    const QString file = sources.filePath(name);
    EXPECT_EQ(WriteShippedDatabase(file, {}, settings).Outcome, TSeedOutcome::Created);
    return file;
  }
  // The company's name in a database file.
  static std::string Company(const QString &file) {
    TffServerEngine engine;
    TffDatabaseID db = 0;
    TffCursorID cursor = 0;
    TffRecord record;
    if (engine.DatabaseOpenFile(file, db) != DBIERR_NONE ||
        engine.CursorOpen(db, QStringLiteral("CONTROL"), QString(), cursor) != DBIERR_NONE ||
        engine.RecordGetNext(cursor, record) != DBIERR_NONE)
      return engine.LastError().Message.toStdString();
    return record.Values[1].toString().toStdString();
  }
  QString Refusal(const QString &folder, const QStringList &from) {
    try {
      PrepareDataFolder(folder, from);
    } catch (const EDatabaseError &e) {
      return e.Message();
    }
    return QString();
  }

  QTemporaryDir sources;
};

TEST_F(DataFolder, ANewFolderGetsACopyOfTheFirstSourceThatExists) {
  const QString missing = sources.filePath(QStringLiteral("missing.db"));
  const QString earlier = Source(QStringLiteral("earlier.db"), QStringLiteral("Earlier build's data"));
  const QString shipped = Source(QStringLiteral("shipped.db"), QStringLiteral("Shipped"));
  struct Case {
    const char *folder;
    QStringList from;
    const char *company;
  };
  const Case cases[] = {
      {"fresh", {missing, shipped}, "Shipped"},
      {"carried/over", {earlier, shipped}, "Earlier build's data"},
  };
  for (const Case &c : cases) {
    const QString folder = data.filePath(QString::fromUtf8(c.folder));
    PrepareDataFolder(folder, c.from);
    EXPECT_EQ(Company(QDir(folder).filePath(QStringLiteral("tallyrook.db"))), c.company) << c.folder;
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("tallyrook.db")})
        << c.folder;
  }
  EXPECT_EQ(Company(shipped), "Shipped") << "the source is kept";
}

TEST_F(DataFolder, ADatabaseTheFolderHoldsIsNeverReplaced) {
  Seed();
  SetFirst(QStringLiteral("CONTROL"), 1, QStringLiteral("My own company"));
  PrepareDataFolder(data.path(), {Source(QStringLiteral("shipped.db"), QStringLiteral("Shipped"))});
  EXPECT_EQ(Company(data.filePath(QStringLiteral("tallyrook.db"))), "My own company");
}

TEST_F(DataFolder, RefusalsNameTheFilesAndSayHowToGetAFreshDatabase) {
  const QString shipped = sources.filePath(QStringLiteral("tallyrook-shipped.db"));
  const QString noFresh = Refusal(data.path(), {shipped});
  EXPECT_TRUE(noFresh.contains(data.filePath(QStringLiteral("tallyrook.db")))) << noFresh.toStdString();
  EXPECT_TRUE(noFresh.contains(shipped)) << noFresh.toStdString();
  EXPECT_TRUE(noFresh.contains(QStringLiteral("to get a fresh database"))) << noFresh.toStdString();
  EXPECT_FALSE(QFile::exists(data.filePath(QStringLiteral("tallyrook.db"))));

  QFile blocker(data.filePath(QStringLiteral("a file")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString folder = data.filePath(QStringLiteral("a file/data/"));
  EXPECT_EQ(Refusal(folder, {shipped}),
            QStringLiteral("Cannot create the data folder ") + data.filePath(QStringLiteral("a file/data")));
}

TEST(DataFolderChoice, IsTheDataVariableElseTheUsersDataLocation) {
  // The test program runs in its build folder: no database beside it is ever taken for a portable one.
  const QString name = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(QStringLiteral("Tallyrook"));
  qputenv("XDG_DATA_HOME", "/tmp/home/.local/share");
  qputenv("TALLYROOK_DATA", "/tmp/some/../data");
  EXPECT_EQ(AppDataFolder(), QStringLiteral("/tmp/data/"));
  qunsetenv("TALLYROOK_DATA");
  EXPECT_EQ(AppDataFolder(), QStringLiteral("/tmp/home/.local/share/Tallyrook/"));
  qunsetenv("XDG_DATA_HOME");
  QCoreApplication::setApplicationName(name);
}

} // namespace
