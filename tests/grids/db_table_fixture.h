// A data-aware table on a shown form, over invoice lines in a real data folder (or in memory), with the
// DESCRIPTION column painted by a string cell that records which text it painted in which row.
#pragma once
#include "../db/client_fixture.h"
#include "grids/cells/string_cells.h"
#include "grids/table/db_table.h"
#include "platform/widgets/std_edits.h"
#include "platform/windowing/control_grab.h"
#include "platform/windowing/system_services.h"
#include "tests/platform/gui_test_helpers.h"
#include <QMap>
#include <QScreen>

class DbTableTest : public ClientTest {
protected:
  static constexpr int kRow = 17;

  void SetUp() override {
    ClientTest::SetUp();
    form = TCustomForm::Create<TForm>(nullptr);
    form->SetName("Form");
    form->SetClientSize(400, 300);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(0, 260, 100, 24);
  }
  void TearDown() override {
    form->Free();
    guitest::ProcessEvents();
    ClientTest::TearDown();
  }

  // MINV2 in its sequential order with Count lines "Line 01", "Line 02", ...
  TffTable *Lines(int Count, const QString &IndexName = QString()) {
    BuildLines();
    TffTable *lines = Table("MINV2", IndexName);
    lines->Open();
    database->StartTransaction();
    for (int i = 1; i <= Count; ++i) AppendLine(lines, i);
    database->Commit();
    lines->First();
    return lines;
  }
  static void AppendLine(TDataSet *Lines, int Number) {
    Lines->Append();
    Lines->FieldByName("REC")->SetAsInteger(Number);
    Lines->FieldByName("DESCRIPTION")->SetAsString(LineText(Number));
    Lines->Post();
  }
  static QString LineText(int Number) { return QStringLiteral("Line %1").arg(Number, 2, 10, QChar(u'0')); }

  // The same lines in memory.
  TMemoryDataSet *MemoryLines(int Count) {
    auto *lines = new TMemoryDataSet(module);
    lines->FieldDefs()->Add("REC", ftInteger);
    lines->FieldDefs()->Add("QUANTITY", ftFloat);
    lines->FieldDefs()->Add("DESCRIPTION", ftString, 1000);
    lines->FieldDefs()->Add("ITEMPRICE", ftFloat);
    lines->CreateDataSet();
    for (int i = 1; i <= Count; ++i) AppendLine(lines, i);
    lines->First();
    return lines;
  }

  // A table showing Rows rows under its header, on the dataset, shown and focused.
  TOvcDbTable *Show(TDataSet *DataSet, int Rows = 5, TOvcDbTableOptionSet Options = {dtoShowIndicators}) {
    table = new TOvcDbTable(form);
    table->SetParent(form);
    table->SetScrollBars(ssNone);
    table->SetBorderStyle(bsNone);
    table->SetBounds(0, 0, 380, kRow + Rows * kRow);
    table->SetRowHeight(kRow);
    table->SetHeaderHeight(kRow);
    table->SetOptions(Options);
    table->SetColor(clWindow);
    table->SetColorUnused(clYellow);
    table->SetDataSource(SourceOf(DataSet));
    guitest::ShowAndActivate(form);
    table->SetLockedColumns(0);
    text = new TOvcTCString(form);
    table->SetOptions(table->Options() + TOvcDbTableOptionSet{dtoCellsPaintText});
    table->SetFocus();
    guitest::ProcessEvents();
    if (ColumnOf("DESCRIPTION") < 0) return table;
    text->OnOwnerDraw =
        TCellPaintNotifyEvent::From([this](TObject *, TCanvas *, const TRect &, int Row, int,
                                           const TOvcCellAttributes &, const void *Data, bool &) {
          painted[Row] = Data ? *static_cast<const QString *>(Data) : QString();
        });
    Description()->SetDefaultCell(text);
    guitest::ProcessEvents();
    return table;
  }
  void ToDescription() {
    Key(Qt::Key_Home);
    while (table->ActiveColumn() < ColumnOf("DESCRIPTION")) Key(Qt::Key_Right);
  }
  TOvcDbTableColumn *Description() const { return table->Column(ColumnOf("DESCRIPTION")); }
  int ColumnOf(const char *Name) const {
    for (int c = 0; c < table->ColumnCount(); ++c)
      if (table->Column(c)->DataField() == QLatin1String(Name)) return c;
    return -1;
  }

  // The descriptions the table paints, top to bottom, the active row marked "*"; and the picture.
  QStringList Shown() {
    painted.clear();
    picture = GrabControl(table);
    QStringList rows;
    for (auto it = painted.cbegin(); it != painted.cend(); ++it)
      rows << it.value() + (it.key() == table->ActiveRow() ? "*" : QString());
    return rows;
  }
  // The descriptions of the records the table should show: Count lines from First, the active one marked.
  static QStringList Expected(int First, int Count, int Active) {
    QStringList rows;
    for (int i = First; i < First + Count; ++i) rows << LineText(i) + (i == Active ? "*" : QString());
    return rows;
  }
  QString Current(TDataSet *DataSet) const { return DataSet->FieldByName("DESCRIPTION")->AsString(); }
  // Whether the table's client area on the screen (the window's pixels, partly repainted and scrolled as the
  // table chose) looks as it does painted afresh: nothing stale is left.
  bool OnScreenAsRepainted() const {
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(form->Widget()->winId()).toImage();
    const TPoint origin = table->ClientOrigin();
    const QPoint client = QPoint(origin.X, origin.Y) - table->Widget()->mapToGlobal(QPoint(0, 0));
    const QRect area(client, QSize(table->ClientWidth(), table->ClientHeight()));
    const QPoint widget = table->Widget()->mapTo(form->Widget(), QPoint(0, 0));
    return screen.copy(area.translated(widget)).convertToFormat(QImage::Format_RGB32) ==
           GrabControl(table).copy(area).convertToFormat(QImage::Format_RGB32);
  }
  // Whether the picture holds only the unused colour from y down (after Shown).
  bool UnusedFrom(int Y) const {
    for (int y = Y; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        if (QColor(picture.pixel(x, y)) != QColor(Qt::yellow)) return false;
    return true;
  }

  void Key(int QtKey, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    guitest::PressKey(QtKey, Modifiers);
    guitest::ProcessEvents();
  }
  void Type(const QString &Text) {
    for (QChar c : Text) {
      const bool letter = c.isLetter() && c.unicode() < 128;
      const int key = letter ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
      guitest::PressKey(key, letter && c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
      guitest::ProcessEvents();
    }
  }
  void Mouse(QEvent::Type Type, QPoint At, Qt::MouseButtons Buttons = Qt::LeftButton) {
    guitest::SendMouse(table, Type, Qt::LeftButton, At, Buttons);
    guitest::ProcessEvents();
  }
  void Click(QPoint At) {
    Mouse(QEvent::MouseMove, At, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, At);
    Mouse(QEvent::MouseButtonRelease, At, Qt::NoButton);
  }

  ScopedScriptedServices services;
  TForm *form = nullptr;
  TEdit *other = nullptr;
  TOvcDbTable *table = nullptr;
  TOvcTCString *text = nullptr;
  QMap<int, QString> painted;
  QImage picture;
};
