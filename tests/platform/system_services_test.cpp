#include "gui_test_helpers.h"
#include "platform/graphics/printer.h"
#include "platform/graphics/resources.h"
#include "platform/windowing/application.h"
#include "platform/windowing/single_instance.h"
#include "platform/windowing/system_services.h"
#include "platform/windowing/window_timer.h"
#include "std_test_helpers.h"
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Runs Qt's loop until Done says so (or, should that never happen, for a generous while, so that a broken
// build fails instead of hanging).
template <typename F>
void RunUntil(F done) {
  QEventLoop loop;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  guard.start(10000);
  while (!done() && guard.isActive()) loop.processEvents(QEventLoop::WaitForMoreEvents);
}

TEST(UrlService, OpensOnlyWebAndMailAddresses) {
  ScopedScriptedServices services;
  struct Case {
    const char *address;
    bool allowed;
  };
  const Case cases[] = {
      {"mailto:sales@example.com", true}, {"HTTP://EXAMPLE.COM", true},   {"file:///etc/passwd", false},
      {"/usr/bin/xterm", false},          {"javascript:alert(1)", false}, {"http://", false},
  };
  for (const Case &c : cases) EXPECT_EQ(OpenUrl(QString::fromLatin1(c.address)), c.allowed) << c.address;
  EXPECT_EQ(services->OpenedUrls().size(), 2);

  EXPECT_EQ(ShellExecute(0, QStringLiteral("print"), QStringLiteral("https://example.com")),
            SE_ERR_ACCESSDENIED);
  services->SetUrlOpens(false);
  EXPECT_EQ(ShellExecute(0, QStringLiteral("open"), QStringLiteral("mailto:a@b.c")), SE_ERR_NOASSOC);
}

TEST(FileDialogs, FiltersIndexAndAnswer) {
  EXPECT_EQ(
      ParseFileFilter(QStringLiteral("Reports (*.frf)|*.frf|Pictures|*.bmp;*.jpg|All files (*.*)|*.*")),
      QList<TFileFilter>({{QStringLiteral("Reports (*.frf)"), {QStringLiteral("*.frf")}},
                          {QStringLiteral("Pictures"), {QStringLiteral("*.bmp"), QStringLiteral("*.jpg")}},
                          {QStringLiteral("All files (*.*)"), {QStringLiteral("*.*")}}}));
  // A description that does not name its patterns gets them.
  EXPECT_EQ(FileFilterName({QStringLiteral("Pictures"), {QStringLiteral("*.bmp"), QStringLiteral("*.jpg")}}),
            QStringLiteral("Pictures (*.bmp *.jpg)"));

  ScopedScriptedServices services;
  TSaveDialog dialog(nullptr);
  dialog.Filter = QStringLiteral("Text (*.txt)|*.txt|All|*.*");
  dialog.FilterIndex = 2;
  dialog.DefaultExt = QStringLiteral("txt");
  dialog.Options.Include(ofOverwritePrompt);
  EXPECT_FALSE(dialog.Execute()) << "unanswered: cancelled";
  services->AnswerFileDialog(TFileDialogResult{QStringLiteral("/tmp/out.txt"), 1});
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FilterIndex, 1);
  const TFileDialogRequest &request = services->FileDialogs().value(0);
  EXPECT_EQ(std::tuple(request.Save, request.FilterIndex, request.Options.Contains(ofOverwritePrompt)),
            std::tuple(true, 2, true));
}

TEST(InputBox, TheTypedTextIsTheAnswerAndCancellingKeepsTheValue) {
  // The real dialog, typed into: its caption and prompt are the ones given.
  QString seen;
  stdtest::WhenFocused([&seen] {
    QWidget *dialog = QApplication::activeModalWidget();
    const QLabel *prompt = dialog ? dialog->findChild<QLabel *>() : nullptr;
    seen = dialog->windowTitle() + QLatin1Char('|') + (prompt ? prompt->text() : QString());
    stdtest::Type(QStringLiteral("{CtrlA}Acme & Sons{Return}"));
  });
  EXPECT_EQ(InputBox(QStringLiteral("Customer"), QStringLiteral("Name:"), QStringLiteral("old")),
            QStringLiteral("Acme & Sons"));
  EXPECT_EQ(seen, QStringLiteral("Customer|Name:"));
  stdtest::WhenFocused([] { stdtest::Type(QStringLiteral("{CtrlA}changed{Esc}")); });
  EXPECT_EQ(InputBox(QStringLiteral("Customer"), QStringLiteral("Name:"), QStringLiteral("old")),
            QStringLiteral("old"));

  ScopedScriptedServices services;
  services->AnswerInput(QStringLiteral("typed"));
  services->AnswerInput(std::nullopt);
  QString value = QStringLiteral("old");
  EXPECT_TRUE(InputQuery(QStringLiteral("C"), QStringLiteral("P"), value));
  EXPECT_EQ(value, QStringLiteral("typed"));
  EXPECT_FALSE(InputQuery(QStringLiteral("C"), QStringLiteral("P"), value));
  EXPECT_EQ(value, QStringLiteral("typed"));
  EXPECT_EQ(InputBox(QStringLiteral("C"), QStringLiteral("P"), QStringLiteral("unanswered")),
            QStringLiteral("unanswered"));
  ASSERT_EQ(services->Inputs().size(), 3);
  const TInputRequest &first = services->Inputs().first();
  EXPECT_EQ(QStringList({first.Caption, first.Prompt, first.Value}), QStringList({"C", "P", "old"}));
}

TEST(ScriptedServices, MessageDialogsAndPrinterSetup) {
  ScopedScriptedServices services;
  Application()->SetTitle(QStringLiteral("Tallyrook"));
  EXPECT_EQ(MessageDlg(QStringLiteral("Retry?"), mtError, {mbAbort, mbRetry, mbIgnore}), mrRetry);
  EXPECT_EQ(MessageDlg(QStringLiteral("Delete?"), mtWarning, {mbYes, mbNo}), mrYes);
  ShowMessage(QStringLiteral("Hello"));
  const QList<TMessageBoxRequest> &boxes = services->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_EQ(QStringList({boxes[0].Caption, boxes[1].Caption, boxes[2].Caption}),
            QStringList({"Error", "Warning", "Tallyrook"}));

  // The printer setup's scripted choice selects the printer.
  TPrinterSetupDialog dialog(nullptr);
  const QString pdf = TPrinter::PdfPrinterName();
  services->AnswerPrinterSetup(pdf);
  services->AnswerPrinterSetup(std::nullopt);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(Printer()->PrinterName(), pdf);
  EXPECT_FALSE(dialog.Execute());
}

TEST(WindowTimer, GivesWmTimerUntilKilledAndStopsWithItsWindowAndTheTickCountCanBePinned) {
  QList<WPARAM> ticks;
  HWND hidden = 0;
  hidden = AllocateHWnd([&](TMessage &m) {
    if (m.Msg != WM_TIMER) return;
    ticks.append(m.WParam);
    if (ticks.size() == 3) KillTimer(hidden, 7);
  });
  EXPECT_EQ(SetTimer(hidden, 7, 1), 7u);
  RunUntil([&] { return ticks.size() >= 3; });
  EXPECT_EQ(ticks, QList<WPARAM>({7, 7, 7}));
  EXPECT_FALSE(KillTimer(hidden, 7)) << "already killed by its handler";

  EXPECT_EQ(SetTimer(hidden, 8, 1), 8u);
  DeallocateHWnd(hidden);
  guitest::ProcessEvents();
  EXPECT_EQ(SetTimer(hidden, 9, 1), 0u) << "no such window";
}

TEST(WindowTimer, WindowlessTimerCallsItsProcedureAndExceptionsReachTheHandler) {
  ScopedScriptedServices services;
  int calls = 0;
  std::uintptr_t id = 0;
  id = SetTimer(0, 0, 1, [&](HWND, UINT msg, std::uintptr_t event, DWORD) {
    EXPECT_EQ(std::pair(msg, event), std::pair(UINT(WM_TIMER), id));
    if (++calls == 2) {
      KillTimer(0, id);
      throw Exception(QStringLiteral("Timer failed"));
    }
  });
  ASSERT_NE(id, 0u);
  RunUntil([&] { return calls >= 2; });
  guitest::ProcessEvents();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(services->MessageBoxes().value(0).Text, QStringLiteral("Timer failed."));
}

TEST(SingleInstance, SecondGuardLearnsAtOnceAndAsksTheFirstToComeForwardAndAFailedOneIsNoSecondCopy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  TSingleInstanceGuard first(QStringLiteral("Tallyrook Test"), dir.path());
  int forwardRequests = 0;
  first.OnComeForward = [&] { ++forwardRequests; };
  ASSERT_EQ(first.Acquire(), TSingleInstanceGuard::TState::First);

  TSingleInstanceGuard second(QStringLiteral("Tallyrook Test"), dir.path());
  EXPECT_EQ(second.Acquire(), TSingleInstanceGuard::TState::Second);
  EXPECT_TRUE(second.AskFirstToComeForward());
  RunUntil([&] { return forwardRequests > 0; });
  EXPECT_EQ(forwardRequests, 1);

  first.Release();
  TSingleInstanceGuard third(QStringLiteral("Tallyrook Test"), dir.path());
  EXPECT_EQ(third.Acquire(), TSingleInstanceGuard::TState::First) << "the first copy has ended";

  // A guard that cannot be set up is not taken for a second copy.
  QFile blocker(dir.filePath(QStringLiteral("not-a-directory")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  TSingleInstanceGuard guard(QStringLiteral("Tallyrook Test"), blocker.fileName());
  EXPECT_EQ(guard.Acquire(), TSingleInstanceGuard::TState::Failed);
  EXPECT_FALSE(guard.ErrorString().isEmpty());
  EXPECT_FALSE(guard.AskFirstToComeForward());
}

TEST(SingleInstance, WithoutASessionRuntimeFolderTheGuardKeepsToAFolderOfTheUsersOwnAndSaysNothing) {
  QTemporaryDir temp;
  ASSERT_TRUE(temp.isValid());
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
  qunsetenv("XDG_RUNTIME_DIR");
  qputenv("TMPDIR", temp.path().toLocal8Bit());
  static QStringList said;
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext &, const QString &text) { said << text; });
  const QString own = temp.filePath(QStringLiteral("runtime-%1").arg(getuid()));
  {
    TSingleInstanceGuard guard(QStringLiteral("Tallyrook Test"));
    EXPECT_EQ(guard.Acquire(), TSingleInstanceGuard::TState::First);
    EXPECT_EQ(QFileInfo(guard.LockFileName()).absolutePath(), own);
    EXPECT_EQ(QFileInfo(own).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  // A folder of that name that others may enter is not the user's own.
  QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                 QFile::ExeOther);
  TSingleInstanceGuard exposed(QStringLiteral("Tallyrook Test"));
  EXPECT_EQ(exposed.Acquire(), TSingleInstanceGuard::TState::Failed);
  qInstallMessageHandler(previous);
  EXPECT_EQ(said, QStringList());
  for (const auto &[name, value] : {std::pair{"XDG_RUNTIME_DIR", runtime}, std::pair{"TMPDIR", tmp}})
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

// Grabbing a control is shown by every control test that checks pixels.
TEST(Resources, RegisteredPicturesAndCursorsLoadByNameAnyCase) {
  RegisterBitmapResource(QStringLiteral("TESTGLYPH"), [] {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::green);
    return image;
  });
  std::unique_ptr<TBitmap> bitmap = LoadBitmap(QStringLiteral("TestGlyph"));
  EXPECT_EQ(std::pair(bitmap->Width(), bitmap->Height()), std::pair(4, 3));
  EXPECT_THROW(LoadBitmap(QStringLiteral("NOSUCHPICTURE")), EResNotFound);
  EXPECT_EQ(LoadCursor(QStringLiteral("vrCursorHandPoint")).shape(), Qt::PointingHandCursor);
}

} // namespace
