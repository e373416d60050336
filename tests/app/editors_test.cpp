// The customer and product editors on a real data folder, driven by typed keys and mouse clicks: adding and
// editing, what SAVE refuses, the fields' limits, and a save that the database refuses.
#include "tests/app/dialog_fixture.h"
#include <QFileInfo>

namespace {

using stdtest::TypeText;

class Editors : public DialogTest {
protected:
  // The given fields of every record of a table, as text, in insertion order.
  QList<QStringList> Stored(const QString &table, QList<int> fields) {
    QList<QStringList> rows;
    for (const QList<QVariant> &record : Records(table)) {
      rows << QStringList();
      for (int field : fields) rows.last() << record.value(field).toString();
    }
    return rows;
  }
  QList<QStringList> Customers() { return Stored(QStringLiteral("CUSTOMERS"), {1, 2, 3, 4, 5, 6}); }
  QList<QStringList> Products() { return Stored(QStringLiteral("PRODUCTS"), {0, 1, 2}); } // type, text, price

  // Limits the database file to its size now and adds rows to `table` until the database refuses one.
  void FillDatabase(TffTable *table, const std::function<void(int)> &fill) {
    const qint64 size = QFileInfo(data.filePath(QStringLiteral("tallyrook.db"))).size();
    ASSERT_EQ(DD->ffServerEngine1()->DatabaseSetSizeLimit(DD->ffDatabase1->DatabaseID(), size), DBIERR_NONE);
    for (int i = 0; i < 1000; ++i) {
      table->Append();
      fill(i);
      try {
        table->Post();
      } catch (const std::exception &) {
        table->Cancel();
        return;
      }
    }
    FAIL() << "the database never filled up";
  }
};

TEST_F(Editors, AddsACustomerAndEditsIt) {
  CUSTEDIT->FillBlank();
  EXPECT_EQ(Run(CUSTEDIT,
                [&] {
                  EXPECT_EQ(CUSTEDIT->Caption(), QStringLiteral("  Add Customer"));
                  // Without a name, or with spaces only, SAVE does nothing and says nothing.
                  for (const char *name : {"", "   "}) {
                    TypeText(QString::fromLatin1(name));
                    ClickOn(CUSTEDIT->ButtonSAVE);
                    EXPECT_EQ(CUSTEDIT->ModalResult(), mrNone);
                  }
                  guitest::PressKey(Qt::Key_Home, Qt::ShiftModifier);
                  // Longer than the field: its first 50 characters.
                  Paste(QStringLiteral("Harbour Bakery Ltd") + QString(40, QLatin1Char('!')));
                  Tab();
                  TypeText(QStringLiteral("12 Quay Street"));
                  ClickOn(CUSTEDIT->ButtonSAVE);
                }),
            mrOk);
  const QString name = QStringLiteral("Harbour Bakery Ltd") + QString(32, QLatin1Char('!'));
  EXPECT_EQ(Customers(), (QList<QStringList>{{name, QStringLiteral("12 Quay Street"), {}, {}, {}, {}}}));
  EXPECT_TRUE(services->MessageBoxes().isEmpty());

  // Edited: the name typed over (the edit selects it on entry), the second address line added.
  CUSTEDIT->FillCurrent();
  EXPECT_EQ(Run(CUSTEDIT,
                [&] {
                  EXPECT_EQ(CUSTEDIT->Caption(), QStringLiteral("  Edit Customer"));
                  EXPECT_EQ(CUSTEDIT->Edit2->Text(), QStringLiteral("12 Quay Street"));
                  TypeText(QStringLiteral("Harbour Bakeries"));
                  Tab();
                  Tab();
                  TypeText(QStringLiteral("Southsea"));
                  ClickOn(CUSTEDIT->ButtonSAVE);
                }),
            mrOk);
  const QList<QStringList> edited{{QStringLiteral("Harbour Bakeries"),
                                   QStringLiteral("12 Quay Street"),
                                   QStringLiteral("Southsea"),
                                   {},
                                   {},
                                   {}}};
  EXPECT_EQ(Customers(), edited);

  // Cancel keeps nothing of what was typed.
  CUSTEDIT->FillCurrent();
  EXPECT_EQ(Run(CUSTEDIT,
                [&] {
                  TypeText(QStringLiteral("Somebody else"));
                  ClickOn(CUSTEDIT->ButtonCANCEL);
                }),
            mrCancel);
  EXPECT_EQ(Customers(), edited);
}

TEST_F(Editors, AddsAProductOfTheListedTypeAndEditsItKeepingItsType) {
  PRODEDIT->ProductType = 1;
  PRODEDIT->SetUp(1);
  EXPECT_EQ(Run(PRODEDIT,
                [&] {
                  TypeText(QStringLiteral("Window cleaning"));
                  Enter();
                  TypeText(QStringLiteral("front and back"));
                  Tab();
                  TypeText(QStringLiteral("12.5"));
                  ClickOn(PRODEDIT->ButtonSAVE);
                }),
            mrOk);
  const QString text = QStringLiteral("Window cleaning\r\nfront and back");
  EXPECT_EQ(Products(), (QList<QStringList>{{QStringLiteral("1"), text, QStringLiteral("12.5")}}));

  // Edited as from the items list: the type stays; a price of 0 is accepted.
  PRODEDIT->ProductType = 0;
  PRODEDIT->SetUp(0);
  EXPECT_EQ(Run(PRODEDIT,
                [&] {
                  EXPECT_EQ(PRODEDIT->FE1->Text(), QStringLiteral("12.50"));
                  guitest::PressKey(Qt::Key_End, Qt::ControlModifier);
                  TypeText(QStringLiteral(", monthly"));
                  Tab();
                  TypeText(QStringLiteral("0"));
                  ClickOn(PRODEDIT->ButtonSAVE);
                }),
            mrOk);
  const QList<QStringList> edited{
      {QStringLiteral("1"), text + QStringLiteral(", monthly"), QStringLiteral("0")}};
  EXPECT_EQ(Products(), edited);

  // Escape leaves it as it was.
  PRODEDIT->SetUp(0);
  EXPECT_EQ(Run(PRODEDIT,
                [&] {
                  TypeText(QStringLiteral("lost"));
                  Escape();
                }),
            mrCancel);
  EXPECT_EQ(Products(), edited);
}

TEST_F(Editors, AProductNeedsADescriptionAndAPriceItCanStore) {
  const QString refused = QStringLiteral("The item price must be a number from 0.00 to 99999999.90.");
  struct Case {
    QString description;
    QString price;
    bool paste;
    bool leave; // Shift+Tab out of the price before SAVE
    int saved;  // records added
    QString message;
  };
  const Case cases[] = {
      {QString(), QStringLiteral("5"), false, false, 0, QString()},
      {QStringLiteral("  "), QStringLiteral("5"), false, false, 0, QString()},
      // Typed past the maximum, or pasted past the key filter: never stored as another price.
      {QStringLiteral("Ladder"), QStringLiteral("123456789"), false, false, 0, refused},
      {QStringLiteral("Ladder"), QStringLiteral("12abc"), true, false, 0, refused},
      // Leaving it out of range says so and puts back the price it had (0).
      {QStringLiteral("Ladder"), QStringLiteral("123456789"), false, true, 1, refused},
      // Longer than the field: its first 1000 characters.
      {QString(1200, QLatin1Char('d')), QStringLiteral("99999999.9"), true, false, 1, QString()},
  };
  for (const Case &c : cases) {
    const qsizetype products = Products().size();
    const qsizetype messages = services->MessageBoxes().size();
    PRODEDIT->SetUp(1);
    Run(PRODEDIT, [&] {
      c.description.size() > 100 ? Paste(c.description) : TypeText(c.description);
      Tab();
      c.paste ? Paste(c.price) : TypeText(c.price);
      if (c.leave) guitest::PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
      ClickOn(PRODEDIT->ButtonSAVE);
    });
    const QList<QStringList> stored = Products();
    ASSERT_EQ(stored.size(), products + c.saved) << c.price.toStdString();
    if (c.saved) {
      EXPECT_EQ(stored.last().value(1), c.description.left(1000));
    }
    EXPECT_EQ(services->MessageBoxes().size(), messages + (c.message.isEmpty() ? 0 : 1));
    EXPECT_EQ(services->MessageBoxes().value(messages).Text, c.message);
  }
}

TEST_F(Editors, ASaveTheDatabaseRefusesIsReportedAndKeepsWhatWasTyped) {
  const QString euros(50, QChar(0x20AC));
  struct Case {
    TCustomForm *form;
    TControl *save;
    TffTable *table;
    std::function<void(int)> fill;
    std::function<void()> type; // into the prepared dialog
  };
  const Case cases[] = {
      {CUSTEDIT, CUSTEDIT->ButtonSAVE, DD->CUST,
       [&](int i) {
         for (const char *field : {"CUSTOMER", "ADDR1", "ADDR2", "ADDR3", "ADDR4", "ADDR5"})
           DD->CUST->FieldByName(QString::fromLatin1(field))
               ->SetAsString(QString::number(i) + euros.left(45));
       },
       [&] {
         CUSTEDIT->FillBlank();
         for (int i = 0; i < 6; ++i) Paste(euros), Tab();
       }},
      {PRODEDIT, PRODEDIT->ButtonSAVE, DD->PRODUCTS,
       [&](int i) { DD->PRODUCTSDESCRIPTION->SetAsString(QString::number(i) + euros.repeated(19)); },
       [&] {
         PRODEDIT->SetUp(1);
         Paste(euros.repeated(20));
       }},
  };
  for (const Case &c : cases) {
    FillDatabase(c.table, c.fill);
    const int stored = c.table->RecordCount();
    const qsizetype messages = services->MessageBoxes().size();
    EXPECT_EQ(Run(c.form,
                  [&] {
                    c.type();
                    ClickOn(c.save);
                    ASSERT_EQ(services->MessageBoxes().size(), messages + 1);
                    EXPECT_TRUE(services->MessageBoxes().last().Text.contains(QStringLiteral("disk")));
                    EXPECT_EQ(c.table->State(), dsBrowse);
                    EXPECT_EQ(c.table->RecordCount(), stored);
                    // With room made, the same text is saved.
                    DD->ffServerEngine1()->DatabaseSetSizeLimit(DD->ffDatabase1->DatabaseID(), 0);
                    ClickOn(c.save);
                  }),
              mrOk)
        << c.form->Name().toStdString();
    EXPECT_EQ(c.table->RecordCount(), stored + 1);
  }
}

} // namespace
