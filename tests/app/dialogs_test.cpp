// The settings dialog, the product editor, the customer editor and the about box on a real data folder,
// driven by typed keys and mouse clicks in the formats of the process's locale: what they store and show
// again, the fields' limits, what SAVE refuses, Enter and Escape, saves the database refuses, and the about
// box's links and help.
#include "app/invoice_storage.h"
#include "tests/app/dialog_fixture.h"
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace {

enum { kLogo, kCompany, kLastINV = 7 };

class Dialogs : public DialogTest {
protected:
  // The type, text and price of every product, in insertion order.
  QList<QStringList> Products() {
    QList<QStringList> rows;
    for (const TRow &record : Records(QStringLiteral("PRODUCTS")))
      rows << QStringList({record[0].toString(), record[1].toString(), record[2].toString()});
    return rows;
  }
  TRow Settings() { return Records(QStringLiteral("CONTROL")).value(0); }
  // Limits the database file to its size now, so that it refuses to grow (0: no limit).
  void LimitDatabase(bool limit = true) {
    const qint64 size = limit ? QFileInfo(DatabaseFile()).size() : 0;
    ASSERT_EQ(DD->ffServerEngine1()->DatabaseSetSizeLimit(DD->ffDatabase1->DatabaseID(), size), DBIERR_NONE);
  }
  // A bitmap of the given size and colour in the test's folder; returns its path.
  QString WriteBitmap(const QString &name, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(files.filePath(name), "BMP"));
    return files.filePath(name);
  }
  // The settings' "Change", answered with a file (nothing: cancelled).
  void ChooseLogo(std::optional<QString> path) {
    services->AnswerFileDialog(path ? std::optional(TFileDialogResult{*path, 1}) : std::nullopt);
    Click(SETTINGS->CorelGlyphButton1);
  }

  QTemporaryDir files;
};

TEST_F(Dialogs, EverySettingAndTheLogoAreStoredAndShownAgain) {
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
                  for (int i = 0; i < 6; ++i) Paste(typed[i]), Enter();
                  for (const char *text : {"10001", "17.5"})
                    TypeText(Local(QString::fromLatin1(text))), Enter();
                  TypeText(QStringLiteral("S"));
                  Key(Qt::Key_Down);
                  Paste(typed[6]);
                  ChooseLogo(logo);
                  Click(SETTINGS->Button1);
                }),
            mrOk);
  QFile logoFile(logo);
  ASSERT_TRUE(logoFile.open(QIODevice::ReadOnly));
  const TRow stored = Settings();
  EXPECT_EQ(stored,
            (TRow{logoFile.readAll(), typed[0].left(50), typed[1].left(250), typed[2], typed[3].left(25),
                  typed[4].left(100).toLower(), typed[5].toLower(), 10000, 17.5, 1, typed[6].left(100)}));
  EXPECT_EQ(DD->DefaultTaxPCT, 17.5);
  EXPECT_EQ(NextInvoiceNumber(*DD), 10001) << "the counter ahead of the stored invoices";
  EXPECT_TRUE(services->MessageBoxes().isEmpty());
  ASSERT_EQ(services->FileDialogs().size(), 1);
  EXPECT_EQ(services->FileDialogs()[0].InitialDir, QDir::homePath());

  // Shown again as stored. A file that is no bitmap, and what is chosen or typed and then cancelled, change
  // nothing.
  QFile notABitmap(files.filePath(QStringLiteral("notes.bmp")));
  ASSERT_TRUE(notABitmap.open(QIODevice::WriteOnly) && notABitmap.write("BM not really a picture") > 0);
  notABitmap.close();
  SETTINGS->Setup();
  Run(SETTINGS, [&] {
    EXPECT_EQ(SETTINGS->EGrid1->ItemAt(0)->DisplayText(), typed[0].left(50));
    EXPECT_EQ(SETTINGS->EGrid1->ItemAt(8)->DisplayText(), QStringLiteral("SERVICES"));
    // Stretched over the whole frame.
    const QImage frame = GrabControl(SETTINGS->Panel1);
    for (QPoint at : {QPoint(3, 3), QPoint(245, 149)}) EXPECT_EQ(frame.pixel(at), qRgb(200, 30, 30));
    ChooseLogo(notABitmap.fileName());
    ASSERT_EQ(services->MessageBoxes().size(), 1);
    EXPECT_TRUE(services->MessageBoxes().last().Text.contains(QStringLiteral("notes.bmp")));
    ChooseLogo(WriteBitmap(QStringLiteral("other.bmp"), 40, 40, 0));
    TypeText(QStringLiteral("lost"));
    Click(SETTINGS->Button2);
  });
  EXPECT_EQ(Settings(), stored);
}

TEST_F(Dialogs, SettingsRefuseWhatCannotBeStoredAndKeepTheDialogOpen) {
  Insert(QStringLiteral("MINV1"), HeaderRow(57)); // invoice 57 is stored
  const QString mustBeAbove =
      QStringLiteral("The next invoice number must be above 57, the highest number of a stored invoice.");
  const QString taxPercent =
      QStringLiteral("The default tax percent must be a number from 0 to %1 with at most 1 decimal.")
          .arg(Local("99999999.9"));
  const struct {
    int row;
    QString text;
    QString message;
  } cases[] = {
      {7, Local("-0.5"), taxPercent},
      // One precision for the tax percent, the main window's.
      {7, Local("17.55"), taxPercent},
      {6, "0", "The next invoice number must be 1 or more."},
      {6, "57", mustBeAbove},
      {6, "12x", "Next Invoice Number: '12x' is not a valid integer value."},
  };
  // A stored logo that is no picture shows as none, and stays stored.
  SetFirst(QStringLiteral("CONTROL"), kLogo, QByteArray("BM damaged"));
  DD->CONTROL->Refresh();
  const TRow before = Settings();
  SETTINGS->Setup();
  Run(SETTINGS, [&] {
    EXPECT_TRUE(SETTINGS->Image1->Picture()->Empty());
    // The counter fell behind the stored invoices: the next number shown is the one an invoice would get.
    EXPECT_EQ(SETTINGS->EGrid1->ItemAt(6)->DisplayText(), QStringLiteral("58"));
    for (const auto &c : cases) {
      ClickRow(SETTINGS->EGrid1, SETTINGS->EGrid1->CellRect(1, c.row));
      SelectAll();
      TypeText(c.text);
      const qsizetype messages = services->MessageBoxes().size();
      Click(SETTINGS->Button1);
      ASSERT_EQ(services->MessageBoxes().size(), messages + 1) << c.text.toStdString();
      EXPECT_EQ(services->MessageBoxes().last().Text.toStdString(), c.message.toStdString());
      EXPECT_EQ(SETTINGS->ModalResult(), mrNone);
      EXPECT_EQ(SETTINGS->EGrid1->Row(), c.row);
      EXPECT_EQ(Settings(), before);
    }
    // Mended where it stands, it is saved.
    TypeText(QStringLiteral("58"));
    ClickRow(SETTINGS->EGrid1, SETTINGS->EGrid1->CellRect(1, 7));
    TypeText(QStringLiteral("0"));
    Click(SETTINGS->Button1);
  });
  EXPECT_EQ(Settings().value(kLastINV).toInt(), 57);
  EXPECT_EQ(Settings().value(kLogo).toByteArray(), QByteArray("BM damaged"));
  EXPECT_EQ(NextInvoiceNumber(*DD), 58);
}

TEST_F(Dialogs, AProductKeepsItsTypeAndNeedsADescriptionAndAPriceItCanStore) {
  const QString refused = QStringLiteral("ITEMPRICE must be a number from 0 to %1 with at most 2 decimals.")
                              .arg(Local("99999999.9"));
  const QString noDescription = QStringLiteral("Error:  Type the DESCRIPTION of the product or service.");
  const struct {
    QString description, price;
    bool paste;
    bool leave;     // Shift+Tab out of the price before SAVE
    QString stored; // description and price stored, if any
    QStringList messages;
  } cases[] = {
      {"Window cleaning\rfront and back", "12.5", false, false, "Window cleaning\r\nfront and back 12.5", {}},
      {QString(), "5", false, false, {}, {noDescription}},
      {"  ", "5", false, false, {}, {noDescription}},
      // Typed past the maximum, or pasted past the key filter: never stored as another price.
      {"Ladder", "123456789", false, false, {}, {refused}},
      {"Ladder", "12abc", true, false, {}, {refused}},
      {"Ladder", "1.999", true, false, {}, {refused}},
      // Leaving it out of range says so and keeps what was typed to be mended: SAVE refuses it again.
      {"Ladder", "123456789", false, true, {}, {refused, refused}},
  };
  for (const auto &c : cases) {
    const qsizetype products = Products().size(), messages = services->MessageBoxes().size();
    PRODEDIT->ProductType = 1;
    PRODEDIT->SetUp(1);
    Run(PRODEDIT, [&] {
      const QStringList lines = c.description.split(u'\r'); // Enter starts a new line
      for (int i = 0; i < lines.size(); ++i) {
        if (i) Enter();
        TypeText(lines[i]);
      }
      Tab();
      c.paste ? Paste(Local(c.price)) : TypeText(Local(c.price));
      if (c.leave) BackTab();
      Click(PRODEDIT->ButtonSAVE);
    });
    const QList<QStringList> stored = Products();
    ASSERT_EQ(stored.size(), products + !c.stored.isEmpty()) << c.price.toStdString();
    if (!c.stored.isEmpty()) {
      EXPECT_EQ(stored.last(), QStringList({"1", c.stored.section(' ', 0, -2), c.stored.section(' ', -1)}));
    }
    EXPECT_EQ(Messages().mid(messages), c.messages);
  }
  // Edited as from the items list (the first one stored current): the type stays; a price of 0 is accepted.
  DD->PRODUCTS->First();
  while (!DD->PRODUCTS->Eof() && !DD->PRODUCTSDESCRIPTION->AsString().startsWith(QStringLiteral("Window")))
    DD->PRODUCTS->Next();
  PRODEDIT->ProductType = 0;
  PRODEDIT->SetUp(0);
  EXPECT_EQ(Run(PRODEDIT,
                [&] {
                  EXPECT_EQ(PRODEDIT->FE1->Text(), Local(QStringLiteral("12.50")));
                  Key(Qt::Key_End, QString(), Qt::ControlModifier);
                  TypeText(QStringLiteral(", monthly")), Tab(), TypeText(QStringLiteral("0"));
                  Click(PRODEDIT->ButtonSAVE);
                }),
            mrOk);
  EXPECT_EQ(Products().first(), QStringList({"1", "Window cleaning\r\nfront and back, monthly", "0"}));
}

// Every editor saves on Enter (Ctrl+Enter where Enter has a use of its own: a new line of a description, the
// next row of the settings) and closes on Escape without a change.
TEST_F(Dialogs, EveryEditorSavesOnEnterAndCancelsOnEscape) {
  const auto customers = [this] { return Records(QStringLiteral("CUSTOMERS")).size(); };
  const auto products = [this] { return Products().size(); };
  const auto company = [this] { return Settings().value(kCompany).toString(); };
  const QKeyCombination ctrlEnter(Qt::ControlModifier, Qt::Key_Return);
  const struct {
    const char *what;
    TCustomForm *form;
    std::function<void()> prepare, type;
    QKeyCombination key;
    TModalResult result;
    std::function<qsizetype()> count; // of what the editor stores
    qsizetype stored;                 // how many more there are afterwards
  } cases[] = {
      {"customer, Enter in the name", CUSTEDIT, [] { CUSTEDIT->FillBlank(); },
       [] { TypeText(QStringLiteral("Harbour Bakery")); }, Qt::Key_Return, mrOk, customers, 1},
      {"customer, Enter in an address", CUSTEDIT, [] { CUSTEDIT->FillBlank(); },
       [] { TypeText(QStringLiteral("Mill")), Tab(), Tab(), TypeText(QStringLiteral("Quay")); },
       Qt::Key_Return, mrOk, customers, 1},
      {"customer, Escape", CUSTEDIT, [] { CUSTEDIT->FillBlank(); }, [] { TypeText(QStringLiteral("Lost")); },
       Qt::Key_Escape, mrCancel, customers, 0},
      {"product, Enter in the price", PRODEDIT, [] { PRODEDIT->SetUp(1); },
       [] { TypeText(QStringLiteral("Brush")), Tab(), TypeText(QStringLiteral("3")); }, Qt::Key_Return, mrOk,
       products, 1},
      {"product, Ctrl+Enter in the description", PRODEDIT, [] { PRODEDIT->SetUp(1); },
       [] { TypeText(QStringLiteral("Paint")), Enter(), TypeText(QStringLiteral("white")); }, ctrlEnter, mrOk,
       products, 1},
      {"product, Escape", PRODEDIT, [] { PRODEDIT->SetUp(1); }, [] { TypeText(QStringLiteral("Lost")); },
       Qt::Key_Escape, mrCancel, products, 0},
      {"settings, Ctrl+Enter", SETTINGS, [] { SETTINGS->Setup(); },
       [] { TypeText(QStringLiteral("New Co")); }, ctrlEnter, mrOk,
       [&] { return qsizetype(company() == QStringLiteral("New Co")); }, 1},
      {"settings, Escape", SETTINGS, [] { SETTINGS->Setup(); }, [] { TypeText(QStringLiteral("Lost Co")); },
       Qt::Key_Escape, mrCancel, [&] { return qsizetype(company() == QStringLiteral("Lost Co")); }, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const qsizetype before = c.count();
    c.prepare();
    EXPECT_EQ(Run(c.form,
                  [&] {
                    c.type();
                    const QString text =
                        c.key.key() == Qt::Key_Escape ? QStringLiteral("\x1b") : QStringLiteral("\r");
                    Key(c.key.key(), text, c.key.keyboardModifiers());
                    EXPECT_EQ(c.form->ModalResult(), c.result);
                  }),
              c.result);
    EXPECT_EQ(c.count(), before + c.stored);
  }
  EXPECT_EQ(Products().last(), QStringList({"0", "Paint\r\nwhite", "0"}));
  EXPECT_TRUE(Messages().isEmpty());
  // Without a name, Enter says so and the editor stays open.
  CUSTEDIT->FillBlank();
  Run(CUSTEDIT, [&] {
    TypeText(QStringLiteral("  "));
    Enter();
    EXPECT_EQ(CUSTEDIT->ModalResult(), mrNone);
    EXPECT_EQ(CUSTEDIT->ActiveControl(), CUSTEDIT->Edit1);
  });
  EXPECT_EQ(Messages(), QStringList({"Error:  You must supply a Customer Name."}));
}

// A logo too large for the room the disk has left: said so, nothing changed, and saved once there is room.
TEST_F(Dialogs, ASaveTheDatabaseRefusesIsReportedAndKeepsWhatWasTyped) {
  const QString euros(50, QChar(0x20AC));
  const struct {
    TCustomForm *form;
    TControl *save;
    TffTable *table;            // what the save adds to, or none (the settings)
    std::function<void()> type; // into the prepared dialog
  } cases[] = {
      {CUSTEDIT, CUSTEDIT->ButtonSAVE, DD->CUST,
       [&] {
         CUSTEDIT->FillBlank();
         for (int i = 0; i < 6; ++i) Paste(euros), Tab();
       }},
      {PRODEDIT, PRODEDIT->ButtonSAVE, DD->PRODUCTS, [&] { PRODEDIT->SetUp(1), Paste(euros.repeated(20)); }},
      {SETTINGS, SETTINGS->Button1, nullptr,
       [&] {
         SETTINGS->Setup();
         TypeText(QStringLiteral("New name"));
         ChooseLogo(WriteBitmap(QStringLiteral("large.bmp"), 1200, 800, qRgb(1, 2, 3)));
       }},
  };
  for (const auto &c : cases) {
    // Rows in the table file until it is full.
    LimitDatabase();
    for (int i = 0; c.table; ++i) {
      ASSERT_LT(i, 1000) << "the database never filled up";
      c.table->Append();
      c.table->Fields()->Fields(1)->SetAsString(QString::number(i) + euros.left(45));
      try {
        c.table->Post();
      } catch (const std::exception &) {
        c.table->Cancel();
        break;
      }
    }
    const int stored = c.table ? c.table->RecordCount() : 0;
    const TRow settings = Settings();
    const qsizetype messages = services->MessageBoxes().size();
    EXPECT_EQ(Run(c.form,
                  [&] {
                    c.type();
                    Click(c.save);
                    ASSERT_EQ(services->MessageBoxes().size(), messages + 1);
                    EXPECT_TRUE(services->MessageBoxes().last().Text.contains(QStringLiteral("disk")));
                    EXPECT_EQ((c.table ? c.table : DD->CONTROL)->State(), dsBrowse);
                    EXPECT_EQ(c.table ? c.table->RecordCount() : 0, stored);
                    EXPECT_EQ(Settings(), settings);
                    // With room made, the same text is saved.
                    LimitDatabase(false);
                    Click(c.save);
                  }),
              mrOk)
        << c.form->Name().toStdString();
    if (c.table) {
      EXPECT_EQ(c.table->RecordCount(), stored + 1);
    }
  }
  EXPECT_EQ(Settings().value(kCompany).toString(), QStringLiteral("New name"));
}

// The about box's links open only an address the build gives (none: nothing opens); its quick help cannot be
// changed, and tells Create Invoice as it goes: the question first, then the invoice shown.
TEST_F(Dialogs, TheAboutBoxsLinksOpenOnlyAnAddressTheBuildGives) {
  const QString help = AboutBox->Memo1->Text();
  const qsizetype asks = help.indexOf(QStringLiteral("first asks whether to confirm the invoice"));
  EXPECT_TRUE(asks > 0 && asks < help.indexOf(QStringLiteral("then shows it"))) << help.toStdString();
  for (const QString &site : {QString(), QStringLiteral("www.example.com")}) {
    AboutBox->ShowPublisher(site, site.isEmpty() ? QString() : QStringLiteral("help@example.com"));
    AboutBox->SetActiveControl(AboutBox->Memo1);
    const qsizetype before = services->OpenedUrls().size();
    EXPECT_EQ(Run(AboutBox,
                  [&] {
                    TypeText(QStringLiteral("xyz")), Key(Qt::Key_Delete);
                    EXPECT_EQ(AboutBox->Memo1->Text(), help);
                    for (TControl *link : std::initializer_list<TControl *>{
                             AboutBox->ProductName, AboutBox->KNGURLLabel1, AboutBox->KNGURLLabel2})
                      Click(link);
                    AboutBox->OKButton->SetFocus();
                    Enter();
                  }),
              mrOk);
    QStringList opened;
    for (const QUrl &url : services->OpenedUrls().mid(before)) opened << url.toString();
    EXPECT_EQ(opened, site.isEmpty() ? QStringList()
                                     : QStringList({"http://www.example.com", "mailto:help@example.com",
                                                    "http://www.example.com"}));
  }
}

} // namespace
