// The settings dialog on a real data folder, driven by typed keys and mouse clicks: every row and the logo
// stored and shown again, the refusals of SAVE and of "Change", and a save the database refuses.
#include "app/invoice_storage.h"
#include "tests/app/dialog_fixture.h"
#include <QFile>
#include <QFileInfo>
#include <QWindow>

namespace {

using stdtest::TypeText;

enum { kLogo, kCompany, kLastINV = 7 };

class Settings : public DialogTest {
protected:
  QList<QVariant> Stored() { return Records(QStringLiteral("CONTROL")).value(0); }

  // A file in the test's folder holding the bytes, or a bitmap of the given size and colour; returns its
  // path.
  QString WriteFile(const QString &name, const QByteArray &bytes) {
    QFile file(files.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
  }
  QString WriteBitmap(const QString &name, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = files.filePath(name);
    EXPECT_TRUE(image.save(path, "BMP"));
    return path;
  }

  // Clicks a button as the window system delivers a click, through the dialog's window, which gives the
  // button the focus when it takes the focus on a click.
  static void Press(TControl *button) {
    QWidget *window = button->Widget()->window();
    const QPointF at = button->Widget()->mapTo(window, button->Widget()->rect().center());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, window->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(window->windowHandle(), &event);
    }
    guitest::ProcessEvents();
  }
  // Clicks the value cell of a row, which opens its editor.
  void ClickRow(int row) {
    const TRect cell = SETTINGS->EGrid1->CellRect(1, row);
    guitest::Click(SETTINGS->EGrid1, QPoint(cell.Left + 20, (cell.Top + cell.Bottom) / 2));
    guitest::ProcessEvents();
  }
  // "Change", answered with a file (nothing: cancelled).
  void ChooseLogo(std::optional<QString> path) {
    services->AnswerFileDialog(path ? std::optional(TFileDialogResult{*path, 1}) : std::nullopt);
    Press(SETTINGS->CorelGlyphButton1);
  }

  QTemporaryDir files;
};

TEST_F(Settings, EveryRowAndTheLogoAreStoredAndShownAgain) {
  DD->CONTROL->Edit();
  DD->CONTROLLastINV->SetAsInteger(41);
  DD->CONTROL->Post();
  const QString logo = WriteBitmap(QStringLiteral("logo.bmp"), 300, 120, qRgb(200, 30, 30));
  // Rows 0-5 and 9; texts longer than their fields are cut to them (50, 250, 25, 25, 100, 100, 100).
  const QString typed[] = {QStringLiteral("Harbour Bakery Łódź ").repeated(3),
                           QString(300, QLatin1Char('a')),
                           QStringLiteral("+44 23 9273 0000"),
                           QString(30, QLatin1Char('7')),
                           QStringLiteral("Orders@Harbour.example").repeated(5),
                           QStringLiteral("WWW.Harbour.UK"),
                           QStringLiteral("Thank you – €").repeated(9)};

  SETTINGS->Setup();
  EXPECT_EQ(Run(SETTINGS,
                [&] {
                  EXPECT_EQ(SETTINGS->EGrid1->ItemAt(6)->DisplayText(), QStringLiteral("42"));
                  EXPECT_EQ(SETTINGS->EGrid1->Row(), 0);
                  for (int i = 0; i < 6; ++i) Paste(typed[i]), Enter();
                  TypeText(QStringLiteral("10001"));
                  Enter();
                  TypeText(QStringLiteral("17.5"));
                  Enter();
                  TypeText(QStringLiteral("S"));
                  guitest::PressKey(Qt::Key_Down);
                  Paste(typed[6]);
                  ChooseLogo(logo);
                  Press(SETTINGS->Button1);
                }),
            mrOk);
  QFile logoFile(logo);
  ASSERT_TRUE(logoFile.open(QIODevice::ReadOnly));
  const QList<QVariant> stored = Stored();
  EXPECT_EQ(stored, (QList<QVariant>{logoFile.readAll(), typed[0].left(50), typed[1].left(250), typed[2],
                                     typed[3].left(25), typed[4].left(100).toLower(), typed[5].toLower(),
                                     10000, 17.5, 1, typed[6].left(100)}));
  EXPECT_EQ(DD->DefaultTaxPCT, 17.5);
  EXPECT_EQ(DD->DefaultINVTYPE, 1);
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
  ASSERT_EQ(services->FileDialogs().size(), 1);
  EXPECT_EQ(services->FileDialogs()[0].InitialDir, QDir::homePath());

  // Shown again as stored. A file that is no bitmap, and what is typed or chosen and then cancelled (even a
  // value that would be refused), change nothing.
  const QString notABitmap = WriteFile(QStringLiteral("notes.bmp"), "BM not really a picture");
  for (TControl *close : {SETTINGS->Button2, SETTINGS->Button1}) {
    const qsizetype messages = services->MessageBoxes().size();
    SETTINGS->Setup();
    Run(SETTINGS, [&] {
      EXPECT_EQ(SETTINGS->EGrid1->ItemAt(0)->DisplayText(), typed[0].left(50));
      EXPECT_EQ(SETTINGS->EGrid1->ItemAt(6)->DisplayText(), QStringLiteral("10001"));
      EXPECT_EQ(SETTINGS->EGrid1->ItemAt(7)->DisplayText(), QStringLiteral("17.5"));
      EXPECT_EQ(SETTINGS->EGrid1->ItemAt(8)->DisplayText(), QStringLiteral("SERVICES"));
      // Stretched over the whole frame.
      const QImage frame = GrabControl(SETTINGS->Panel1);
      for (QPoint at : {QPoint(3, 3), QPoint(245, 149)}) EXPECT_EQ(frame.pixel(at), qRgb(200, 30, 30));
      ChooseLogo(notABitmap);
      ASSERT_EQ(services->MessageBoxes().size(), messages + 1);
      EXPECT_TRUE(services->MessageBoxes().last().Text.contains(QStringLiteral("notes.bmp")));
      EXPECT_EQ(SETTINGS->Image1->Picture()->Width(), 300);
      if (close == SETTINGS->Button2) {
        ChooseLogo(WriteBitmap(QStringLiteral("other.bmp"), 40, 40, 0));
        TypeText(QStringLiteral("lost"));
        ClickRow(6);
        TypeText(QStringLiteral("12x"));
      }
      Press(close);
    });
    EXPECT_EQ(services->MessageBoxes().size(), messages + 1);
    EXPECT_EQ(Stored(), stored);
  }
}

TEST_F(Settings, SaveRefusesWhatCannotBeStoredAndKeepsTheDialogOpen) {
  // Invoice 57 is stored.
  QList<QVariant> invoice(15);
  invoice[14] = 57.0;
  Insert(QStringLiteral("MINV1"), invoice);
  const QString mustBeAbove =
      QStringLiteral("The next invoice number must be above 57, the highest number of a stored invoice.");
  struct Case {
    int row;
    QString text;
    QString message;
  };
  const Case cases[] = {
      {7, QStringLiteral("-0.5"),
       QStringLiteral("The default tax percent must be a number from 0 to 99999999.9.")},
      {6, QStringLiteral("0"), QStringLiteral("The next invoice number must be 1 or more.")},
      {6, QStringLiteral("-5"), QStringLiteral("The next invoice number must be 1 or more.")},
      {6, QStringLiteral("57"), mustBeAbove},
      {6, QStringLiteral("12"), mustBeAbove},
      {6, QStringLiteral("12x"), QStringLiteral("Next Invoice Number: '12x' is not a valid integer value.")},
  };
  // A stored logo that is no picture shows as none, and stays stored.
  const QByteArray damaged("BM damaged");
  DD->CONTROL->Edit();
  DD->CONTROLLOGO->SetAsBytes(damaged);
  DD->CONTROL->Post();
  const QList<QVariant> before = Stored();
  SETTINGS->Setup();
  Run(SETTINGS, [&] {
    EXPECT_TRUE(SETTINGS->Image1->Picture()->Empty());
    // The counter fell behind the stored invoices: the next number shown is the one an invoice would get.
    EXPECT_EQ(SETTINGS->EGrid1->ItemAt(6)->DisplayText(), QStringLiteral("58"));
    for (const Case &c : cases) {
      ClickRow(c.row);
      TypeText(c.text);
      const qsizetype messages = services->MessageBoxes().size();
      Press(SETTINGS->Button1);
      ASSERT_EQ(services->MessageBoxes().size(), messages + 1) << c.text.toStdString();
      EXPECT_EQ(services->MessageBoxes().last().Text.toStdString(), c.message.toStdString());
      EXPECT_EQ(SETTINGS->ModalResult(), mrNone);
      EXPECT_EQ(SETTINGS->EGrid1->Row(), c.row);
      EXPECT_EQ(Stored(), before);
    }
    // Mended where it stands, it is saved.
    TypeText(QStringLiteral("58"));
    ClickRow(7);
    TypeText(QStringLiteral("0"));
    Press(SETTINGS->Button1);
  });
  EXPECT_EQ(Stored().value(kLastINV).toInt(), 57);
  EXPECT_EQ(Stored().value(kLogo).toByteArray(), damaged);
  EXPECT_EQ(NextInvoiceNumber(*DD), 58);
}

TEST_F(Settings, ASaveTheDatabaseRefusesIsReportedAndChangesNothing) {
  const QString logo = WriteBitmap(QStringLiteral("large.bmp"), 1200, 800, qRgb(1, 2, 3));
  const QList<QVariant> before = Stored();
  const qint64 size = QFileInfo(data.filePath(QStringLiteral("tallyrook.db"))).size();
  ASSERT_EQ(DD->ffServerEngine1()->DatabaseSetSizeLimit(DD->ffDatabase1->DatabaseID(), size), DBIERR_NONE);
  SETTINGS->Setup();
  Run(SETTINGS, [&] {
    TypeText(QStringLiteral("New name"));
    ChooseLogo(logo);
    Press(SETTINGS->Button1);
    ASSERT_EQ(services->MessageBoxes().size(), 1);
    EXPECT_TRUE(services->MessageBoxes()[0].Text.contains(QStringLiteral("disk")));
    EXPECT_EQ(DD->CONTROL->State(), dsBrowse);
    EXPECT_EQ(Stored(), before);
    // With room made, what was typed and chosen is saved.
    DD->ffServerEngine1()->DatabaseSetSizeLimit(DD->ffDatabase1->DatabaseID(), 0);
    Press(SETTINGS->Button1);
  });
  EXPECT_EQ(Stored().value(kCompany).toString(), QStringLiteral("New name"));
}

} // namespace
