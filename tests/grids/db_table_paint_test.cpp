// The data-aware table's pictures: a picture field shown as its bitmap or as its text, the row indicator of
// the active record in each state, and colours and grid pens given to the table as a whole.
#include "cell_pictures.h"
#include "db_table_fixture.h"
#include "grids/cells/bitmap_cells.h"
#include "grids/table/table_pictures.h"
#include "platform/graphics/resources.h"
#include <QBuffer>
#include <QPainter>

namespace {

QByteArray RedBitmap(int Side) {
  QImage image(Side, Side, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

class DbTablePaintTest : public DbTableTest {};

// Without pictures the field's text shows, unless every cell paints its own value: a bitmap cell takes none
// from the table and paints only its colour.
TEST_F(DbTablePaintTest, APictureShowsAsItsBitmapWhenAskedElseAsItsText) {
  auto *data = new TMemoryDataSet(module);
  data->FieldDefs()->Add("P", ftGraphic);
  data->CreateDataSet();
  for (int i = 0; i < 2; ++i) {
    data->Append();
    static_cast<TBlobField *>(data->FieldByName("P"))->SetAsBytes(RedBitmap(4));
    data->Post();
  }
  data->First();
  Show(data);
  auto *bitmap = new TOvcTCBitMap(form);
  table->Column(0)->SetDefaultCell(bitmap);
  struct Case {
    const char *what;
    TOvcDbTableOptionSet options;
    const char *text; // shown without a picture
    QRect red;        // in the content rectangle, without a text
  };
  const Case cases[] = {
      {"text", {}, "(GRAPHIC)", {}},
      {"every cell painting", {dtoCellsPaintText}, "", {}},
      {"at its size", {dtoShowPictures}, nullptr, {0, 0, 4, 4}},
      {"stretched", {dtoShowPictures, dtoStretch, dtoCellsPaintText}, nullptr, {0, 0, -1, -1}}};
  const TOvcDbTableOptionSet mine{dtoShowPictures, dtoStretch, dtoCellsPaintText};
  for (const Case &c : cases) {
    table->SetOptions(table->Options() - mine + c.options);
    guitest::ProcessEvents();
    const QImage picture = GrabControl(table);
    const TRect content = table->CellContentRect(1, 0);
    const GatheredAttributes cell(bitmap, 1, 0);
    QImage expected = picture;
    if (c.text) {
      expected = WithText(picture, content, cell.attr, c.text, bitmap->Margin());
    } else {
      QPainter painter(&expected);
      const QRect area = content.ToQRect();
      painter.fillRect(area, ColorToQColor(cell.attr.Color));
      painter.fillRect(c.red.isValid() ? c.red.translated(area.topLeft()) : area, Qt::red);
    }
    EXPECT_EQ(Part(picture, content), Part(expected, content)) << c.what;
  }
}

// The active row's indicator shows an arrow while browsing, a pencil while editing and a star while
// inserting; the other rows show a plain button face.
TEST_F(DbTablePaintTest, TheIndicatorShowsTheActiveRecordsState) {
  TMemoryDataSet *lines = MemoryLines(3);
  Show(lines);
  RegisterTablePictures();
  TImageList images(nullptr);
  const QImage arrow = LoadBitmapImage(QString::fromLatin1(IndicatorArrowResource));
  images.SetWidth(arrow.width());
  images.SetHeight(arrow.height());
  images.SetBkColor(clBtnFace);
  for (const char *name : {IndicatorArrowResource, IndicatorEditResource, IndicatorInsertResource})
    images.AddMasked(LoadBitmap(QString::fromLatin1(name)).get(), clWhite);
  struct Case {
    const char *what;
    std::function<void()> step;
    int image;
  };
  const Case cases[] = {{"browsing", [] {}, 0},
                        {"editing", [&] { lines->Edit(); }, 1},
                        {"inserting",
                         [&] {
                           lines->Cancel();
                           lines->Insert();
                         },
                         2}};
  for (const Case &c : cases) {
    c.step();
    guitest::ProcessEvents();
    const QImage picture = GrabControl(table);
    for (int row = 0; row < table->VisibleRowCount(); ++row) {
      const TRect indicator{0, table->RowTop(row), table->RowIndicatorWidth(), table->RowBottom(row)};
      QImage expected = picture;
      TCanvas canvas(&expected);
      DrawButtonFace(&canvas, indicator, 1, false, false);
      if (row == table->ActiveRow())
        images.Draw(&canvas, table->RowIndicatorWidth() - images.Width() - 3,
                    (indicator.Top + indicator.Bottom - images.Height()) / 2, c.image);
      canvas.SetDevice(nullptr);
      EXPECT_EQ(Part(picture, indicator), Part(expected, indicator)) << c.what << " " << row;
    }
  }
  lines->Cancel();
}

// Colours and pens given to the table are copied whole, announced once, and painted.
TEST_F(DbTablePaintTest, ColoursAndPensGivenToTheTableAreCopiedAndPainted) {
  TOvcTableColors colors;
  using Setter = void (TOvcTableColors::*)(TColor);
  using Getter = TColor (TOvcTableColors::*)() const;
  const std::pair<Getter, Setter> all[] = {
      {&TOvcTableColors::Locked, &TOvcTableColors::SetLocked},
      {&TOvcTableColors::LockedText, &TOvcTableColors::SetLockedText},
      {&TOvcTableColors::ActiveFocused, &TOvcTableColors::SetActiveFocused},
      {&TOvcTableColors::ActiveFocusedText, &TOvcTableColors::SetActiveFocusedText},
      {&TOvcTableColors::ActiveUnfocused, &TOvcTableColors::SetActiveUnfocused},
      {&TOvcTableColors::ActiveUnfocusedText, &TOvcTableColors::SetActiveUnfocusedText},
      {&TOvcTableColors::Editing, &TOvcTableColors::SetEditing},
      {&TOvcTableColors::EditingText, &TOvcTableColors::SetEditingText},
      {&TOvcTableColors::Selected, &TOvcTableColors::SetSelected},
      {&TOvcTableColors::SelectedText, &TOvcTableColors::SetSelectedText},
  };
  for (int i = 0; i < 10; ++i) (colors.*all[i].second)(TColor(0x010203 * (i + 1)));
  TOvcTableColors copy;
  int announced = 0;
  copy.OnColorChange = TNotifyEvent::From([&](TObject *) { ++announced; });
  copy.Assign(&colors);
  EXPECT_EQ(announced, 1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ((copy.*all[i].first)(), (colors.*all[i].first)()) << i;

  TOvcGridPenSet pens;
  pens.NormalGrid()->SetNormalColor(clRed);
  pens.NormalGrid()->SetSecondColor(clBlue);
  pens.NormalGrid()->SetEffect(geVertical);
  pens.NormalGrid()->SetStyle(psSolid);
  TOvcGridPen pen;
  announced = 0;
  pen.OnPenChange = TNotifyEvent::From([&](TObject *) { ++announced; });
  pen.Assign(pens.NormalGrid());
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(std::tuple(pen.NormalColor(), pen.SecondColor(), pen.Effect(), pen.Style()),
            std::tuple(clRed, clBlue, geVertical, psSolid));

  // Given to a table: its header takes the locked colour, the grid lines the pen.
  Show(MemoryLines(3));
  for (int c = 0; c < table->ColumnCount(); ++c) table->Column(c)->SetWidth(90);
  colors.SetLocked(clAqua);
  table->SetColors(&colors);
  table->SetGridPenSet(&pens);
  EXPECT_EQ(table->GridPenSet()->NormalGrid()->Effect(), geVertical);
  guitest::ProcessEvents();
  const QImage picture = GrabControl(table);
  TOvcDbTableColumn *column = table->Column(1);
  const int x = column->Left() + column->Width() - 1;
  const int y = table->RowTop(1) + 5;
  EXPECT_EQ(QColor(picture.pixel(x, y)), QColor(Qt::red));
  EXPECT_EQ(QColor(picture.pixel(column->Left() + 3, table->RowBottom(1) - 1)),
            ColorToQColor(table->Color())); // no horizontal line
  EXPECT_EQ(QColor(picture.pixel(x - 4, kRow / 2)), QColor(Qt::cyan));
}

} // namespace
