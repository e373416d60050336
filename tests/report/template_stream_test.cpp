// The template stream, byte for byte: golden streams, round trips of every object class, the older versions,
// and refusal of damaged streams.
#include "platform/graphics/printer.h"
#include "report/band_view.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/report_model.h"
#include "report/view_stream.h"
#include "tests/report/report_model_fixture.h"

namespace {

using test::Bytes;

class TemplateStreamTest : public test::ReportModelTest {
protected:
  static QByteArray Save(TfrReportModel &model) {
    TMemoryStream stream;
    model.SaveToStream(&stream);
    return stream.Bytes();
  }
  static void Load(TfrReportModel &model, const QByteArray &bytes) {
    TMemoryStream stream(bytes);
    model.LoadFromStream(&stream);
  }
};

TfrPage *AddPage(TfrReportModel &model) { return model.Pages.Add(); }

// The version-23 header and one A4 page record of that many columns.
Bytes Head(int columns = 1) {
  Bytes b;
  b.u8(23).u16(0).u16(0).str(QString()).u8(0xFF).i32s({9, 2100, 2970, 0, 0, 0, 0}).u8(0).u16(0).u16(0);
  return b.i32(columns).i32(0);
}

// An object's own part of the stream.
QByteArray Stored(TfrView &view) {
  TMemoryStream stream;
  view.SaveToStream(&stream);
  return stream.Bytes();
}

using test::AddView;

// ---- golden bytes ----

TEST_F(TemplateStreamTest, GoldenStreamOfAPageWithATextObject) {
  TfrReportModel model;
  model.DoublePass = true;
  TfrPage *page = AddPage(model);
  page->pgMargins = Rect(10, 20, 30, 40);
  page->UseMargins = true;
  auto *memo = AddView<TfrMemoView>(page, QStringLiteral("Memo1"), 10, 20, 100, 30);
  memo->FrameTyp = frbAll;
  memo->FrameWidth = 0.5;
  memo->FrameColor = clRed;
  memo->Memo.Add(QStringLiteral("a"));
  memo->Memo.Add(QStringLiteral("b"));
  memo->Font.SetStyle(fsBold);
  memo->Adjust = frtaCenter;
  const int value = model.Values.AddValue(QStringLiteral("Qty"));
  model.Values[value].Typ = 1;
  model.Values[value].DataSet = QStringLiteral("dsLines");
  model.Values[value].Field = QStringLiteral("QTY");
  model.Variables.Add(QStringLiteral("SINV=123"));

  Bytes expected;
  expected.u8(23).u16(0).u16(0xFFFF).str(TfrPrinter::VirtualPrinterName());
  expected.u8(0xFF).i32s({9, 2100, 2970, 10, 20, 30, 40}).u8(0).u16(0).u16(0xFFFF).i32(1).i32(0);
  expected.u8(0).u8(0).str(QStringLiteral("Memo1")).i32s({10, 20, 100, 30}).u16(3).u16(15);
  expected.i32(500).i32(0xFF).u16(0).i32(0x1FFFFFFF).i32(0x22E).str(QString());
  expected.raw(QByteArray::fromHex("02000100610D01006200")); // the memo's two one-letter lines
  expected.raw(QByteArray::fromHex("000000"));               // an empty script
  expected.u16(0xFFFF);
  expected.str(QStringLiteral("Arial")).i32(10).u16(2).i32(0).i32(frtaCenter).u16(0);
  expected.u16(2).i32(0).i32(0xFFFFFF).str(QString());
  expected.u8(0xFE).i32(1).u8(1).i32(0).shortStr(QStringLiteral("dsLines")).shortStr(QStringLiteral("QTY"));
  expected.shortStr(QStringLiteral("Qty")).lines({QStringLiteral("SINV=123")});
  EXPECT_EQ(Save(model).toHex(' '), expected.data().toHex(' '));
}

TEST_F(TemplateStreamTest, FrameWidthsAreCodedSoThatEveryReaderGetsThemBack) {
  struct Case {
    float width;
    qint32 coded;
    float read;
  };
  for (const Case c : {Case{0.5f, 500, 0.5f}, Case{10, 10, 10}, Case{0.008f, 11, 0.011f}, Case{-3, 0, 0},
                       Case{1e12f, 2147483647, 2147483.647f}}) {
    EXPECT_EQ(frEncodeFrameWidth(c.width), c.coded) << c.width;
    // Readers divide values above 10 by 1000 and take the others as they are.
    EXPECT_FLOAT_EQ(frDecodeFrameWidth(frEncodeFrameWidth(c.width)), c.read) << c.width;
  }
}

// ---- round trips ----

// A template with every object class, flag, frame style, value kind, a shape and pictures of each kind.
void BuildFullTemplate(TfrReportModel &model) {
  model.PrintToDefault = true;
  TfrPage *first = AddPage(model);
  first->ColCount = 2;
  first->ColGap = 15;
  first->PrintToPrevPage = true;
  TfrPage *second = AddPage(model);
  second->ChangePaper(frCustomPaperSize, 1500, 1000, frLandscape);

  for (int type = 0; type < frBandTypeCount; ++type) {
    auto *band = AddView<TfrBandView>(first, QStringLiteral("Band%1").arg(type + 1));
    band->SetBandType(type);
    band->Top = 40 * type;
    band->Width = 700;
    band->Height = 30;
    band->Flags = quint16(type * 5 & 127);
    if (type == btMasterData) band->FormatStr = QStringLiteral("dsLines");
    if (type == btGroupHeader) band->FormatStr = QStringLiteral("[CUSTNO]");
  }
  for (int style = 0; style <= 6; ++style) {
    auto *memo =
        AddView<TfrMemoView>(first, QStringLiteral("Memo%1").arg(style + 1), 5 + style, 12 * style, 80, 12);
    memo->Flags = quint16(style * 3 & 15);
    memo->FrameTyp = quint16(style * 7 & 15);
    memo->FrameStyle = quint16(style);
    memo->FrameWidth = style == 0 ? 0.25f : float(style);
    memo->FillColor = style % 2 ? clNone : clYellow;
    memo->Format = 0x1000 * style + 0x22E;
    memo->FormatStr = style == 3 ? QStringLiteral("#,##0.00") : QString();
    memo->Memo.Add(QStringLiteral("[Qty] x [Price #N10.2]"));
    memo->Memo.Add(QStringLiteral("Grüße € — ") + QString::number(style));
    memo->Script.Add(QStringLiteral("if [Qty] > 0 then"));
    memo->Script.Add(QStringLiteral("  FontStyle := 2"));
    memo->Visible = style != 4;
    memo->Font.SetName(style % 2 ? QStringLiteral("Courier New") : QStringLiteral("Arial"));
    memo->Font.SetSize(8 + style);
    memo->Font.SetStyle(TFontStyles(style & 7));
    memo->Font.SetColor(RGB(style * 30, 0, 0));
    memo->Font.SetCharset(style == 5 ? RUSSIAN_CHARSET : ANSI_CHARSET);
    memo->Adjust = style * 5 & 31;
    memo->Highlight = {quint16(style & 7), clRed, clAqua};
    memo->HighlightStr = style == 2 ? QStringLiteral("[Qty] < 0") : QString();
    memo->LineSpacing = 2;
  }
  const QList<QByteArray> pictures = {QByteArray(), test::BitmapBytes(), test::EnhancedMetafileBytes(),
                                      test::IconBytes(), test::JpegBytes()};
  for (int kind = 0; kind < pictures.size(); ++kind) {
    auto *picture = AddView<TfrPictureView>(second, QStringLiteral("Picture%1").arg(kind + 1));
    picture->Left = 100 * kind;
    picture->Width = 90;
    picture->Height = 60;
    picture->Flags = quint16(kind);
    if (!pictures[kind].isEmpty()) picture->Picture.LoadFromBytes(pictures[kind]);
  }
  auto *subReport = AddView<TfrSubReportView>(second, QStringLiteral("SubReport1"));
  subReport->SubPage = 1;
  auto *line = AddView<TfrLineView>(second, QStringLiteral("Line1"));
  line->Width = 300;
  line->FrameWidth = 20;
  for (quint8 kind : {skRectangle, skRoundRectangle, skEllipse, skTriangle}) {
    auto *shape = AddView<TfrShapeView>(second, QStringLiteral("Shape%1").arg(kind + 1));
    shape->ShapeType = kind;
    shape->FillColor = kind == skTriangle ? clNone : clLime;
  }
  for (int kind = 0; kind <= 3; ++kind) {
    TfrValue &value = model.Values[model.Values.AddValue(QStringLiteral("Value%1").arg(kind))];
    value.Typ = quint8(kind);
    value.OtherKind = kind * 11;
    value.DataSet = kind == 1 ? QStringLiteral("dsLines") : QString();
    value.Field = kind == 1 ? QStringLiteral("PRICE") : QStringLiteral("[Qty] * 2");
  }
  model.Variables.Add(QStringLiteral("SINV=[INVNO]"));
  model.Variables.Add(QStringLiteral("CURRSYM='€'"));
}

// Every page and object of a template as text lines, what a load must give back.
QStringList Describe(TfrReportModel &model) {
  QStringList out{QString::asprintf("to default %d", model.PrintToDefault)};
  for (int p = 0; p < model.Pages.Count(); ++p) {
    const TfrPage *page = model.Pages[p];
    out << QString::asprintf("page %d %d %d %d %d %d", page->pgSize, page->pgOr, page->ColCount, page->ColGap,
                             page->PrnInfo.Pgw, page->PrintToPrevPage);
    for (int i = 0; i < page->ObjectCount(); ++i) {
      TfrView *v = page->Object(i);
      QString d = v->ClassName() +
                  QString::asprintf(" %d,%d %dx%d f%d t%d w%g s%d c%d v%d x%x ", v->Left, v->Top, v->Width,
                                    v->Height, v->Flags, v->FrameTyp, double(v->FrameWidth), v->FrameStyle,
                                    v->FillColor, v->Visible, v->Format) +
                  v->Name + '|' + v->Memo.Text() + '|' + v->Script.Text() + '|' + v->FormatStr;
      if (auto *m = dynamic_cast<TfrMemoView *>(v))
        d += QString::asprintf(" %d %d %d %d %d %d ", m->Font.Size(), int(m->Font.Style()),
                               int(m->Font.Charset()), m->Font.Color(), m->Adjust, m->Highlight.FontStyle) +
             m->Font.Name() + '|' + m->HighlightStr;
      if (auto *shape = dynamic_cast<TfrShapeView *>(v))
        d += QString::asprintf(" shape %d", shape->ShapeType);
      if (auto *pic = dynamic_cast<TfrPictureView *>(v))
        d += QString::asprintf(" kind %d", int(KindOf(pic->Picture.Graphic())));
      if (auto *band = dynamic_cast<TfrBandView *>(v)) d += QString::asprintf(" band %d", band->BandType());
      if (auto *sub = dynamic_cast<TfrSubReportView *>(v)) d += QString::asprintf(" page %d", sub->SubPage);
      out << d;
    }
  }
  return out;
}

TEST_F(TemplateStreamTest, EveryClassSavesLoadsAndSavesAgainToTheSameBytes) {
  TfrReportModel model;
  BuildFullTemplate(model);
  const QByteArray first = Save(model);
  TfrReportModel loaded;
  Load(loaded, first);
  EXPECT_EQ(Save(loaded), first);
  // What was read is what was built, not merely what writes back the same.
  EXPECT_EQ(Describe(loaded).join(QLatin1Char('\n')).toStdString(),
            Describe(model).join(QLatin1Char('\n')).toStdString());
  EXPECT_EQ(loaded.Values, model.Values);
  EXPECT_TRUE(loaded.Variables.Equals(&model.Variables));
}

TEST_F(TemplateStreamTest, TextTooLongForItsLengthFieldIsRefusedAndNothingIsWritten) {
  TfrReportModel model;
  auto *memo = AddView<TfrMemoView>(AddPage(model), QStringLiteral("Memo1"));
  memo->Memo.Add(QString(70000, QLatin1Char('x')));
  TMemoryStream stream;
  EXPECT_THROW(model.SaveToStream(&stream), EWriteError);
  EXPECT_EQ(stream.Size(), 0);

  memo->Memo.Clear();
  model.Values.AddValue(QString(300, QLatin1Char('n')));
  EXPECT_THROW(model.SaveToStream(&stream), EWriteError);
  EXPECT_EQ(stream.Size(), 0);
}

TEST_F(TemplateStreamTest, WritesFromTheStreamsPositionWithOffsetsOfThatStream) {
  TfrReportModel model;
  BuildFullTemplate(model);
  const QByteArray alone = Save(model);
  TMemoryStream stream;
  stream.WriteBytes("prefix");
  model.SaveToStream(&stream);
  stream.SetPosition(6);
  TfrReportModel loaded;
  loaded.LoadFromStream(&stream);
  EXPECT_EQ(Save(loaded), alone);
}

// ---- older versions ----

// The same small template in the layout of a version: a text object, a master data band and a line.
QByteArray SmallTemplate(int version, bool versionByte, int memoFlags) {
  const bool current = version >= 23;
  Bytes b;
  auto str = [&](const QString &s) { current ? b.str(s) : b.oldStr(s); };
  auto lines = [&](const QStringList &l) { current ? b.lines(l) : b.oldLines(l); };
  if (versionByte) b.u8(version);
  b.u16(current ? 0 : 0).u16(0);
  str(TfrPrinter::VirtualPrinterName());
  b.u8(0xFF).i32s({9, 2100, 2970, 0, 0, 0, 0}).u8(0);
  if (!current) b.raw(QByteArray(6, '\x55'));
  b.u16(0).u16(0).i32(1).i32(0);
  auto common = [&](const QString &name, int flags, int frameTyp, int format, const QString &formatStr,
                    const QStringList &memo) {
    if (current) str(name);
    b.i32s({10, 20, 100, 30}).u16(flags).u16(frameTyp).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    b.i32(format);
    str(formatStr);
    lines(memo);
    if (current) b.lines({}).u16(0xFFFF);
  };
  b.u8(gtMemo).u8(0);
  common(QStringLiteral("Memo1"), memoFlags, 0, 0x22E, QString(),
         {QStringLiteral("Hello"), QStringLiteral("World")});
  str(QStringLiteral("Arial"));
  b.i32(10).u16(0).i32(0).i32(0).u16(current ? 0 : 204);
  b.u16(2).i32(0).i32(0xFFFFFF);
  str(QString());
  b.u8(gtBand).u8(0);
  common(QStringLiteral("Band1"), 48, btMasterData, 0, QStringLiteral("dsLines"), {});
  b.u8(gtLine).u8(0);
  common(QStringLiteral("Line1"), 0, frbLeft, 0x22E, QString(), {});
  b.u8(0xFE).i32(0);
  lines({QStringLiteral("SINV=1")});
  return b.data();
}

TEST_F(TemplateStreamTest, OlderVersionsLoadAndSaveAsVersion23) {
  struct Case {
    const char *name;
    QByteArray stream;
    int flagsAfterLoading;
  };
  const QList<Case> cases = {{"version 22", SmallTemplate(22, true, 1), 1},
                             {"version 21 turns word wrap on", SmallTemplate(21, true, 1), 3},
                             {"no version byte reads as version 21", SmallTemplate(21, false, 1), 3}};
  // Names are generated from the class's base name; visibility and charset take their defaults; the reader's
  // version does not outlive the load.
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TfrReportModel model;
    Load(model, c.stream);
    ASSERT_EQ(model.Pages.Count(), 1);
    ASSERT_EQ(model.Pages[0]->ObjectCount(), 3);
    auto *memo = dynamic_cast<TfrMemoView *>(model.Pages[0]->Object(0));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                  .arg(memo->Name, model.Pages[0]->Object(1)->Name, model.Pages[0]->Object(2)->Name,
                       model.Variables.Strings(0))
                  .arg(memo->Font.Charset())
                  .arg(memo->Visible)
                  .arg(memo->Flags)
                  .arg(memo->Memo.Count()),
              QStringLiteral("Memo1 Band1 Line1 SINV=1 0 1 %1 2").arg(c.flagsAfterLoading));
    EXPECT_EQ(frModel().StreamVersion, frCurrentVersion);
    EXPECT_EQ(Save(model).toHex(' '), SmallTemplate(23, true, c.flagsAfterLoading).toHex(' '));
  }
}

TEST_F(TemplateStreamTest, GeneratedNamesSkipNamesInUse) {
  TfrReportModel twice;
  Bytes b;
  b.u8(22).u16(0).u16(0).oldStr(QString());
  b.u8(0xFF).i32s({9, 2100, 2970, 0, 0, 0, 0}).u8(0).raw(QByteArray(6, 0)).u16(0).u16(0);
  b.i32(1).i32(0);
  for (int i = 0; i < 3; ++i) {
    b.u8(gtLine).u8(0).i32s({0, 0, 10, 0}).u16(0).u16(frbTop).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    b.i32(0).oldStr(QString()).oldLines({});
  }
  Load(twice, b.data());
  ASSERT_EQ(twice.Pages[0]->ObjectCount(), 3);
  EXPECT_EQ(twice.Pages[0]->Object(2)->Name, QStringLiteral("Line3"));
}

TEST_F(TemplateStreamTest, MarkersAndOldClassNames) {
  // A 0xFD marker ends the load, whatever follows.
  QByteArray stream = SmallTemplate(23, true, 3);
  stream.append('\xFD');
  stream.append("data of an add-in this program does not have");
  TfrReportModel model;
  Load(model, stream);
  EXPECT_EQ(model.Pages[0]->ObjectCount(), 3);

  // A stream that ends right after the header is a report without pages.
  Bytes header;
  header.u8(23).u16(0).u16(0).str(QStringLiteral("Some printer"));
  Load(model, header.data());
  EXPECT_EQ(model.Pages.Count(), 0);

  // A text object stored under the old framed-memo class name, followed by 8 bytes of its own; a shape
  // stored under its class name.
  TfrMemoView memo;
  memo.Memo.Add(QStringLiteral("kept"));
  TfrShapeView shape;
  shape.ShapeType = skTriangle;
  Bytes framed = Head();
  framed.u8(gtAddIn).str(QStringLiteral("TfrFramedMemoView")).u8(0).raw(Stored(memo)).raw(QByteArray(8, 'x'));
  framed.u8(gtAddIn).str(QStringLiteral("TfrShapeView")).u8(0).raw(Stored(shape));
  Load(model, framed.data());
  ASSERT_EQ(model.Pages[0]->ObjectCount(), 2);
  EXPECT_EQ(model.Pages[0]->Object(0)->Typ, gtMemo);
  EXPECT_EQ(model.Pages[0]->Object(0)->Memo.Strings(0), QStringLiteral("kept"));
  EXPECT_EQ(dynamic_cast<TfrShapeView *>(model.Pages[0]->Object(1))->ShapeType, skTriangle);
}

// ---- damaged streams ----

TEST_F(TemplateStreamTest, DamagedStreamsAreRefusedAndTheReportKeepsWhatItHad) {
  const QByteArray valid = SmallTemplate(23, true, 3);
  const Bytes head = Head();
  auto withObject = [&](const QByteArray &tail) { return head.data() + tail; };
  // A picture whose end offset lies that far from the end of the offset itself.
  TfrPictureView probe;
  TMemoryStream common;
  probe.TfrView::SaveToStream(&common);
  auto picture = [&](qint64 fromOffset, const QByteArray &data) {
    const qint64 afterOffset = head.size() + 2 + common.Size() + 1 + 4;
    return withObject(
        Bytes().u8(gtPicture).u8(0).raw(common.Bytes()).u8(1).i32(afterOffset + fromOffset).raw(data).data());
  };
  struct Case {
    const char *name;
    QByteArray stream;
    QString message; // a part of the message
  };
  const QList<Case> cases = {
      {"empty", QByteArray(), "empty"},
      {"newer version", QByteArray("\x18\0\0\0\0\0", 6), "Unsupported FRF format"},
      {"object type 5", withObject(QByteArray("\x05\x00", 2)), "Unknown object type 5"},
      {"record type 11", withObject(QByteArray("\x0B", 1)), "Unknown record type 11"},
      {"page index past the last page", withObject(QByteArray("\x04\x01", 2) + QByteArray(40, 0)), "page 2"},
      {"picture ends before its data", picture(-1, QByteArray()), "picture"},
      {"damaged picture", picture(10, QByteArray(10, 'x')), "damaged"},
      {"value count past the data", head.data() + QByteArray("\xFE\xFF\xFF\x00\x00", 5), "value list"},
      {"no columns", Head(0).data(), "columns"},
      {"ends inside a record", valid.left(valid.size() - 3), "ends inside"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    TfrReportModel model;
    Load(model, valid);
    EXPECT_TRUE(test::Refusal<EfrStreamError>([&] { Load(model, c.stream); }).contains(c.message));
    ASSERT_EQ(model.Pages.Count(), 1);
    EXPECT_EQ(model.Pages[0]->ObjectCount(), 3);
    EXPECT_EQ(model.Variables.Strings(0), QStringLiteral("SINV=1"));
  }

  TfrReportModel model;
  EXPECT_EQ(test::Refusal<EClassNotFound>([&] {
              Load(model, withObject(Bytes().u8(gtAddIn).str(QStringLiteral("TfrNoSuchView")).u8(0).data()));
            }),
            QStringLiteral("Не найден класс TfrNoSuchView"));
}

// ---- the printer stored with a template ----

TEST_F(TemplateStreamTest, TheStoredPrinterIsSelectedUnlessTheReportPrintsToTheDefault) {
  test::ScriptedPrinters printers;
  TfrReportModel model;
  AddPage(model);
  ReportPrinter()->SelectPrinterByName(QStringLiteral("Labels"));
  const QByteArray stored = Save(model);
  model.PrintToDefault = true;
  const QByteArray storedToDefault = Save(model);
  ReportPrinter()->SelectPrinterByName(QStringLiteral("Office"));
  Load(model, storedToDefault);
  EXPECT_EQ(printers.Printer()->PrinterName(), QStringLiteral("Office"));
  Load(model, stored);
  EXPECT_EQ(printers.Printer()->PrinterName(), QStringLiteral("Labels"));
  EXPECT_GT(model.Pages[0]->PrnInfo.PPgw, 0) << "the page's metrics come from the selected printer";
  // A refused template changes no selection.
  ReportPrinter()->SelectPrinterByName(QStringLiteral("Office"));
  EXPECT_THROW(Load(model, stored.left(stored.size() - 1)), EfrStreamError);
  EXPECT_EQ(printers.Printer()->PrinterName(), QStringLiteral("Office"));
}

TEST_F(TemplateStreamTest, StoredReportFormCarriesTheTemplateOnlyWhenAsked) {
  TfrReportModel model;
  AddView<TfrMemoView>(AddPage(model), QStringLiteral("Memo1"));
  const QByteArray stream = Save(model);

  TMemoryStream with;
  model.WriteReportForm(&with, true);
  EXPECT_EQ(with.Bytes(), Bytes().i32(23).i32(stream.size()).raw(stream).data());

  TfrReportModel read;
  with.SetPosition(0);
  read.ReadReportForm(&with, true);
  EXPECT_EQ(Save(read), stream);
  // A length that does not fit the stream is refused.
  TMemoryStream damaged(Bytes().i32(23).i32(stream.size() + 1).raw(stream).data());
  EXPECT_THROW(read.ReadReportForm(&damaged, true), EfrStreamError);
  EXPECT_EQ(read.Pages.Count(), 1);
}

} // namespace
