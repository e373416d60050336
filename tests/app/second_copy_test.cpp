// Two real copies of the program: a second copy started while the first runs ends by itself at once, before
// it opens any database, and the first copy's invoice lines in INV2 survive it.
#include "tests/app/app_fixture.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#ifndef TALLYROOK_PROGRAM
#error "the tests of the program need its path"
#endif

namespace {

// Hang guards only: every wait ends as soon as its condition holds.
constexpr int kGenerousWait = 30000;

class SecondCopy : public AppFolderTest {
protected:
  void SetUp() override {
    AppFolderTest::SetUp();
    Seed();
    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TALLYROOK_DATA"), data.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
  }
  void TearDown() override {
    if (first.state() != QProcess::NotRunning) {
      first.kill();
      first.waitForFinished(kGenerousWait);
    }
    AppFolderTest::TearDown();
  }

  void Start(QProcess &process, const QProcessEnvironment &env) {
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TALLYROOK_PROGRAM), {});
    ASSERT_TRUE(process.waitForStarted(kGenerousWait)) << process.errorString().toStdString();
  }

  // Starts the first copy and waits until it has re-created INV2 (its start-up is done).
  void StartFirstCopy() {
    Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("From an earlier run"), 1.0, 1.0});
    Start(first, environment);
    QDeadlineTimer deadline(kGenerousWait);
    while (!Records(QStringLiteral("INV2")).isEmpty() && !deadline.hasExpired() &&
           first.state() == QProcess::Running)
      QThread::msleep(20);
    ASSERT_EQ(first.state(), QProcess::Running);
    ASSERT_TRUE(Records(QStringLiteral("INV2")).isEmpty()) << "the first copy did not finish starting";
  }

  QProcessEnvironment environment;
  QProcess first;
};

TEST_F(SecondCopy, EndsAtOnceAndLeavesTheFirstCopysLinesAlone) {
  StartFirstCopy();
  // The user adds two lines in the running copy.
  Insert(QStringLiteral("INV2"), {2.0, QStringLiteral("Chairs"), 40.0, 80.0});
  Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("Table"), 120.0, 120.0});

  QProcess second;
  QElapsedTimer clock;
  clock.start();
  Start(second, environment);
  ASSERT_TRUE(second.waitForFinished(kGenerousWait));
  RecordProperty("second_copy_ms", int(clock.elapsed()));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);

  const auto lines = Records(QStringLiteral("INV2"));
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0][1].toString(), QStringLiteral("Chairs"));
  EXPECT_EQ(lines[1][1].toString(), QStringLiteral("Table"));
  EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SecondCopy, NeverLooksForADatabase) {
  StartFirstCopy();
  // Pointed at a folder with no database: a copy that tried to open one would report it and end with 1.
  QTemporaryDir empty;
  ASSERT_TRUE(empty.isValid());
  QProcessEnvironment env = environment;
  env.insert(QStringLiteral("TALLYROOK_DATA"), empty.path());
  QProcess second;
  Start(second, env);
  ASSERT_TRUE(second.waitForFinished(kGenerousWait));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(QDir(empty.path()).isEmpty());
  EXPECT_EQ(first.state(), QProcess::Running);
}

TEST_F(SecondCopy, RunsAgainOnceTheFirstCopyHasEnded) {
  StartFirstCopy();
  first.kill();
  ASSERT_TRUE(first.waitForFinished(kGenerousWait));
  Insert(QStringLiteral("INV2"), {1.0, QStringLiteral("Left by the ended copy"), 1.0, 1.0});
  // The lock left by a copy that did not end cleanly is taken over: the next start is a first copy again.
  StartFirstCopy();
}

} // namespace
