// Templates saved as documents of the XML report format: whole documents compared with golden texts, the
// object elements attribute by attribute, and every document parsed back with QXmlStreamReader.
#include "platform/core/component.h"
#include "platform/core/streams.h"
#include "platform/data/memory_dataset.h"
#include "report/band_view.h"
#include "report/db_dataset.h"
#include "report/engine.h"
#include "report/memo_view.h"
#include "report/picture_view.h"
#include "report/report.h"
#include "report/report_model.h"
#include "report/shape_view.h"
#include "report/xml_elements.h"
#include "report/xml_export.h"
#include "report/xml_writer.h"
#include "tests/report/report_model_fixture.h"
#include <QXmlStreamReader>

namespace {

class XmlExportTest : public test::ReportModelTest {
protected:
  TfrPage *AddPage() { return model_.Pages.Add(); }

  QByteArray Document(TComponent *owner = nullptr) {
    TMemoryStream stream;
    SaveReportAsXml(model_, owner, &stream);
    return stream.Bytes();
  }

  // The opening part of one object's element, as the converter writes it (without the closing "/>").
  static QString Element(const TfrView *view, int offsetX = 0, TComponent *owner = nullptr) {
    TMemoryStream stream;
    TfrXmlWriter writer(&stream);
    if (!frSaveViewToXml(view, writer, TfrXmlContext{owner, offsetX})) return QString();
    return QString::fromUtf8(stream.Bytes());
  }

  // The attributes of the first element of that name in a document, read back by an XML reader.
  static QXmlStreamAttributes Attributes(const QByteArray &document, const QString &element) {
    QXmlStreamReader reader(document);
    while (!reader.atEnd()) {
      if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == element)
        return reader.attributes();
    }
    return {};
  }

  static QString Attr(const QByteArray &document, const char *element, const char *name) {
    return Attributes(document, QLatin1String(element)).value(QLatin1String(name)).toString();
  }
  TfrBandView *AddBand(TfrPage *page, const char *name, int type, int top, const char *source = "") {
    auto *band = test::AddView<TfrBandView>(page, QLatin1String(name), 0, top, 0, 20);
    band->SetBandType(type);
    band->FormatStr = QLatin1String(source);
    return band;
  }

  static void ExpectWellFormed(const QByteArray &document) {
    QXmlStreamReader reader(document);
    ASSERT_EQ(reader.readNext(), QXmlStreamReader::StartDocument);
    EXPECT_EQ(reader.documentEncoding(), QStringLiteral("utf-8"));
    while (!reader.atEnd()) reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n" << document.toStdString();
  }

  TfrReportModel model_;
};

// The property stream of a report with no datasets and no variables: "Datasets" and "Variables", each an
// empty collection.
const char kEmptyPropdata[] = "084461746173657473"
                              "0E00"
                              "095661726961626C6573"
                              "0E00";

QString Crlf(QStringList lines) { return lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"); }

TEST_F(XmlExportTest, AReportWithoutScriptsIsAGoldenDocument) {
  TfrPage *page = AddPage();
  page->UseMargins = true;
  page->pgMargins = Rect(91, 91, 91, 91);
  auto *header = test::AddView<TfrBandView>(page, QStringLiteral("PageHeader1"), 0, 91, 0, 40);
  header->SetBandType(btPageHeader);
  header->Flags = flBandOnFirstPage | flBandOnLastPage;
  test::AddView<TfrMemoView>(page, QStringLiteral("Title"), 101, 100, 300, 20)
      ->Memo.Add(QStringLiteral("Invoice"));
  TfrPage *landscape = AddPage();
  landscape->ChangePaper(frDefaultPaperSize, 0, 0, frLandscape);
  landscape->PrintToPrevPage = true;
  landscape->ColCount = 2;
  auto *box = test::AddView<TfrShapeView>(landscape, QStringLiteral("Box"), 30, 40, 200, 80);
  box->ShapeType = skRoundRectangle;
  box->FillColor = clSilver;
  box->FrameTyp = frbAll;
  box->FrameWidth = 2;
  box->FrameColor = clNavy;
  box->Visible = false;
  AddPage();

  const QByteArray document = Document();
  // The paper and the margins in millimetres: widths at the horizontal units per inch, heights at the
  // vertical ones (A4 is 752 x 1071 units); the memo counts from the printable area's left edge. A page
  // without objects is one empty element.
  const QString paper =
      QStringLiteral("PaperSize=\"9\" LeftMargin=\"%1\" RightMargin=\"%1\" TopMargin=\"%1\" "
                     "BottomMargin=\"%1\" Columns=\"%2\" ColumnWidth=\"0\"");
  EXPECT_EQ(
      QString::fromUtf8(document),
      Crlf({QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"),
            QStringLiteral(
                "<TfrxReport ScriptLanguage=\"PascalScript\" ScriptText.text=\"begin&#13;&#10;&#13;&#10;"
                "end.\" Propdata=\"%1\">")
                .arg(QLatin1String(kEmptyPropdata)),
            QStringLiteral("<TfrxReportPage Name=\"Page1\" Orientation=\"poPortrait\" PaperWidth=\"210\" "
                           "PaperHeight=\"297\" ") +
                paper.arg(25).arg(1) + QStringLiteral(">"),
            QStringLiteral("<TfrxPageHeader Name=\"PageHeader1\" Top=\"91\" Height=\"40\"/>"),
            QStringLiteral("<TfrxMemoView Name=\"Title\" Left=\"10\" Top=\"100\" Width=\"300\" Height=\"20\" "
                           "Color=\"536870911\" Frame.Typ=\"0\" Frame.Width=\"1\" Frame.Color=\"0\" "
                           "Frame.Style=\"0\" GapX=\"0\" GapY=\"0\" Memo.text=\"Invoice\" "
                           "StretchMode=\"smMaxHeight\" Font.Name=\"Arial\" Font.Height=\"-13\" "
                           "Font.Color=\"0\" Font.Style=\"0\" LineSpacing=\"2\" CharSpacing=\"0\"/>"),
            QStringLiteral("</TfrxReportPage>"),
            QStringLiteral("<TfrxReportPage Name=\"Page2\" Orientation=\"poLandscape\" PaperWidth=\"297\" "
                           "PaperHeight=\"210\" ") +
                paper.arg(0).arg(2) + QStringLiteral(" PrintOnPreviousPage=\"True\">"),
            QStringLiteral("<TfrxShapeView Name=\"Box\" Left=\"30\" Top=\"40\" Width=\"200\" Height=\"80\" "
                           "Color=\"12632256\" "
                           "Visible=\"False\" Frame.Typ=\"15\" Frame.Width=\"2\" Frame.Color=\"8388608\" "
                           "Frame.Style=\"0\" "
                           "GapX=\"0\" GapY=\"0\" Memo.text=\"\" Shape=\"1\"/>"),
            QStringLiteral("</TfrxReportPage>"),
            QStringLiteral("<TfrxReportPage Name=\"Page3\" Orientation=\"poPortrait\" PaperWidth=\"210\" "
                           "PaperHeight=\"297\" ") +
                paper.arg(0).arg(1) + QStringLiteral("/>"),
            QStringLiteral("</TfrxReport>")}));
  ExpectWellFormed(document);
  EXPECT_EQ(Attr(document, "TfrxReport", "ScriptText.text"), "begin\r\n\r\nend.");
}

TEST_F(XmlExportTest, AMemoEscapesEveryValueAndWritesUtf8WhateverTheLocale) {
  FormatSettings german = FormatSettings::USEnglish();
  german.DecimalSeparator = QLatin1Char(',');
  FormatSettingsGuard guard(german);
  const QLocale savedLocale;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

  TfrPage *page = AddPage();
  auto *memo = test::AddView<TfrMemoView>(page, QStringLiteral("Fish & \"Chips\" <1>"), 40, 50, 120, 18);
  memo->Memo.Add(QStringLiteral("Fish & Chips \"large\" <2>"));
  memo->Memo.Add(QStringLiteral("Müller € 5 ½"));
  memo->Flags = flAutoSize;
  memo->FrameTyp = frbLeft | frbTop;
  memo->FrameWidth = 0.5f;
  memo->Font.SetStyle(fsBold | fsItalic);
  memo->Format = 0x01010200 + ','; // number, fixed, 2 decimals, ','
  memo->HighlightStr = QStringLiteral("[Value] > 100 & <5>");
  memo->Highlight.FontStyle = 1; // italic, as stored
  memo->Highlight.FontColor = clRed;
  memo->Highlight.FillColor = clYellow;

  const QByteArray document = Document();
  QLocale::setDefault(savedLocale);
  const QString element = QStringLiteral(
      "<TfrxMemoView Name=\"Fish &amp; &#34;Chips&#34; &#60;1&#62;\" Left=\"40\" Top=\"50\" "
      "Width=\"120\" Height=\"18\" Color=\"536870911\" Frame.Typ=\"5\" Frame.Width=\"0.5\" "
      "Frame.Color=\"0\" Frame.Style=\"0\" GapX=\"0\" GapY=\"0\" "
      "Memo.text=\"Fish &amp; Chips &#34;large&#34; &#60;2&#62;&#13;&#10;Müller € 5 ½\" "
      "WordWrap=\"False\" AutoWidth=\"True\" Font.Name=\"Arial\" Font.Height=\"-13\" "
      "Font.Color=\"0\" Font.Style=\"3\" LineSpacing=\"2\" CharSpacing=\"0\" "
      "Highlight.Condition=\"[Value] &#62; 100 &amp; &#60;5&#62;\" Highlight.Font.Style=\"2\" "
      "Highlight.Font.Color=\"255\" Highlight.Color=\"65535\" DisplayFormat.Kind=\"fkNumeric\" "
      "DisplayFormat.DecimalSeparator=\",\" DisplayFormat.FormatStr=\"%2.2f\"/>\r\n");
  // The text is UTF-8, as declared.
  EXPECT_TRUE(QString::fromUtf8(document).contains(element)) << document.toStdString();
  EXPECT_EQ(Attr(document, "TfrxMemoView", "Memo.text"), "Fish & Chips \"large\" <2>\r\nMüller € 5 ½");
}

// A picture carries its graphic as the stored property "Data" (a binary value holding the class name, and
// the file, with its length for a bitmap or a JPEG image), its flags, and the field it shows: named directly,
// through a value of the report bound to it, or on the report's own form without the form.
TEST_F(XmlExportTest, APictureCarriesItsGraphicItsFlagsAndItsField) {
  TComponent form(nullptr);
  form.SetName(QStringLiteral("InvoiceForm"));
  test::MemoryTable(&form, QStringLiteral("Company"), {{"LOGO", ftGraphic}});
  frSetTopLevelComponents([&form] { return QList<TComponent *>{&form}; });
  TfrValue &bound = model_.Values[model_.Values.AddValue(QStringLiteral("COMPANYLOGO"))];
  bound.Typ = 1;
  bound.DataSet = QStringLiteral("InvoiceForm.Company");
  bound.Field = QStringLiteral("LOGO");
  TfrPage *page = AddPage();
  const QByteArray bmp = test::BitmapBytes(), jpeg = test::JpegBytes(), icon = test::IconBytes();
  const struct {
    const char *memo;
    QByteArray file, stored;
    int flags;
  } cases[] = {
      {"[InvoiceForm.Company.LOGO]", bmp, test::Bytes().u8(7).raw("TBitmap").i32(bmp.size()).raw(bmp).data(),
       5},
      {"[COMPANYLOGO]", jpeg, test::Bytes().u8(10).raw("TJPEGImage").i32(jpeg.size()).raw(jpeg).data(), 0},
      {"[Company.LOGO]", icon, test::Bytes().u8(5).raw("TIcon").raw(icon).data(), flPictCenter},
      {"[Nowhere.LOGO]", {}, {}, flStretched | flPictRatio}};
  for (const auto &c : cases) {
    auto *picture = test::AddView<TfrPictureView>(page, QStringLiteral("Logo"), 20, 20, 150, 60);
    picture->Flags = quint16(c.flags);
    if (!c.file.isEmpty()) picture->Picture.LoadFromBytes(c.file);
    picture->Memo.Add(QLatin1String(c.memo));
  }
  const QByteArray document = Document(&form);
  frSetTopLevelComponents(nullptr);
  ExpectWellFormed(document);
  QXmlStreamReader reader(document);
  for (const auto &c : cases) {
    while (!reader.atEnd() && !(reader.readNext() == QXmlStreamReader::StartElement &&
                                reader.name() == QLatin1String("TfrxPictureView"))) {
    }
    const QXmlStreamAttributes read = reader.attributes();
    const QString memo = QLatin1String(c.memo);
    SCOPED_TRACE(memo.toStdString());
    EXPECT_EQ(read.value(QLatin1String("Memo.text")), memo);
    const QByteArray data = test::Bytes().u8(4).raw("Data").u8(10).i32(c.stored.size()).raw(c.stored).data();
    EXPECT_EQ(read.value(QLatin1String("Picture.Propdata")).toString(),
              c.stored.isEmpty() ? QString() : QString::fromLatin1(data.toHex().toUpper()));
    const bool known = memo != QLatin1String("[Nowhere.LOGO]");
    EXPECT_EQ(read.value(QLatin1String("DataSet")).toString(), known ? "InvoiceForm.Company" : "");
    EXPECT_EQ(read.value(QLatin1String("DataField")).toString(), known ? "LOGO" : "");
    EXPECT_EQ(read.value(QLatin1String("Stretched")) == QLatin1String("False"), !(c.flags & flStretched));
    EXPECT_EQ(read.value(QLatin1String("Center")) == QLatin1String("True"), bool(c.flags & flPictCenter));
    EXPECT_EQ(read.value(QLatin1String("KeepAspectRatio")) == QLatin1String("False"),
              !(c.flags & flPictRatio));
  }
}

TEST_F(XmlExportTest, ScriptsBecomeProceduresAndEventAttributes) {
  TfrPage *page = AddPage();
  auto *memo = test::AddView<TfrMemoView>(page, QStringLiteral("Memo1"), 0, 0, 100, 20);
  memo->Script.Add(QStringLiteral("if [Total] > 0 then"));
  memo->Script.Add(QStringLiteral("  Text := \"due\""));
  auto *band = AddBand(page, "Band1", btMasterData, 100);
  band->Script.Add(QStringLiteral("begin"));
  band->Script.Add(QStringLiteral("  Height := 0;"));
  band->Script.Add(QStringLiteral("end"));
  test::AddView<TfrMemoView>(page, QStringLiteral("Memo2"), 0, 0, 100, 20)
      ->Script.Add(QStringLiteral("Visible := False;"));

  // Each script becomes a procedure run with its object; the band's own begin and end are left out.
  const QStringList lines = frXmlScriptLines(model_);
  EXPECT_EQ(lines.mid(0, 9), QStringList({"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin",
                                          "  with Memo1, Engine do", "  begin", "if [Total] > 0 then",
                                          "  Text := \"due\"", "  end", "end;", ""}));
  EXPECT_EQ(lines.mid(9, 6).join(QLatin1Char('|')),
            "procedure Band1OnBeforePrint(Sender: TfrxComponent);|begin|  with Band1, Engine do|  begin|"
            "  Height := 0;|  end");
  EXPECT_EQ(lines.size(), 9 + 8 + 8 + 3);
  const QByteArray document = Document();
  // The double quote of the script stands as its character reference.
  EXPECT_TRUE(document.contains("Text := &#34;due&#34;&#13;&#10;  end&#13;&#10;end;"));
  for (const char *event : {"OnBeforePrint", "OnClick", "OnActivate"})
    EXPECT_EQ(Attr(document, "TfrxMemoView", event), "Memo1OnBeforePrint") << event;
  EXPECT_EQ(Attr(document, "TfrxMasterData", "OnBeforePrint"), "Band1OnBeforePrint");
  EXPECT_FALSE(
      Attributes(document, QStringLiteral("TfrxMasterData")).hasAttribute(QStringLiteral("OnClick")));
}

TEST_F(XmlExportTest, ASubreportNamesThePageElementItPrints) {
  auto *sub = test::AddView<TfrSubReportView>(AddPage(), QStringLiteral("SubReport1"), 10, 10, 100, 50);
  sub->SubPage = 1;
  AddPage();
  EXPECT_TRUE(Element(sub).endsWith(QLatin1String(R"( Page="Page2")")));
}

// A band's element by its type and flags; cross bands and bands of no type write nothing, not even a closing
// tag, and the document stays well formed.
TEST_F(XmlExportTest, BandsByTypeAndFlags) {
  const struct {
    int type, flags;
    const char *element, *attributes;
  } cases[] = {{btReportTitle, 48, "ReportTitle", ""},
               {btPageFooter, 0, "PageFooter", R"( PrintOnFirstPage="False" PrintOnLastPage="False")"},
               {btMasterData, 48 | 1 | 2 | 4 | 8, "MasterData",
                R"( Stretched="True" StartNewPage="True" PrintIfDetailEmpty="True" AllowSplit="True")"},
               {btGroupHeader, 48, "GroupHeader", R"( Condition="[A] &#62; 1")"}};
  for (const auto &c : cases) {
    TfrBandView band;
    band.Name = QStringLiteral("B");
    band.Top = 5;
    band.Height = 30;
    band.SetBandType(c.type);
    band.Flags = quint16(c.flags);
    band.FormatStr = c.type == btGroupHeader ? QStringLiteral("[A] > 1") : QString();
    EXPECT_EQ(Element(&band, 500), QStringLiteral(R"(<Tfrx%1 Name="B" Top="5" Height="30"%2)")
                                       .arg(QLatin1String(c.element), QLatin1String(c.attributes)));
  }
  test::AddView<TfrBandView>(AddPage(), QStringLiteral("Cross"), 0, 0, 0, 10)->SetBandType(btCrossData);
  const QByteArray document = Document();
  ExpectWellFormed(document);
  EXPECT_FALSE(document.contains("Cross"));
}

TEST_F(XmlExportTest, DatasetsAndVariablesGoIntoPropdataAndDataBandsNameTheirSource) {
  TComponent form(nullptr), dataModule(nullptr);
  form.SetName(QStringLiteral("HARD"));
  dataModule.SetName(QStringLiteral("DD"));
  (new TfrDBDataSet(&form))->SetName(QStringLiteral("frLocal"));
  (new TfrDBDataSet(&dataModule))->SetName(QStringLiteral("frLines"));
  frSetTopLevelComponents([&] { return QList<TComponent *>{&dataModule, &form}; });
  model_.Variables.Add(QStringLiteral("CURRSYM=\"£\""));
  TfrPage *page = AddPage();
  AddBand(page, "MasterData1", btMasterData, 100, "DD.frLines");
  AddBand(page, "DetailData1", btDetailData, 130, "frLocal");
  AddBand(page, "MasterData2", btMasterData, 160, "5"); // a counted source names no dataset
  const QByteArray document = Document(&form);
  frSetTopLevelComponents(nullptr);
  ExpectWellFormed(document);
  EXPECT_EQ(Attr(document, "TfrxMasterData", "DataSetName"), "DD.frLines");
  EXPECT_EQ(Attr(document, "TfrxDetailData", "DataSetName"), "frLocal");
  EXPECT_TRUE(document.contains(R"(<TfrxMasterData Name="MasterData2" Top="160" Height="20"/>)"));
  test::Bytes expected;
  expected.u8(8).raw("Datasets").u8(14);
  for (const char *name : {"DD.frLines", "frLocal"}) {
    expected.u8(1).u8(7).raw("DataSet").u8(13).u8(11).raw("DataSetName");
    expected.u8(6).u8(int(qstrlen(name))).raw(name).u8(0);
  }
  expected.u8(0).u8(9).raw("Variables").u8(14).u8(1).u8(4).raw("Name").u8(6).u8(7).raw("CURRSYM");
  expected.u8(5).raw("Value").u8(6).u8(3).raw("\"\xA3\"").u8(0).u8(0);
  EXPECT_EQ(Attr(document, "TfrxReport", "Propdata"), QString::fromLatin1(expected.data().toHex().toUpper()));
}

// A text's display format by category and variant: "kind separator format", "-" for an attribute not
// written. A variant beyond the table (damaged data) writes the kind alone; a separator of 0 formats with the
// user's own separator (US English here).
TEST_F(XmlExportTest, DisplayFormatsByCategoryAndVariant) {
  const struct {
    qint32 format;
    const char *formatStr, *expected;
  } cases[] = {{0x00000200 + '.', "", "- - -"},
               {0x01010200 + '.', "", "fkNumeric . %2.2f"},
               {0x01040000 + '.', "#,##0.00 \"€\"", "fkNumeric . #,##0.00 \"€\""},
               {0x02000000, "", "fkDateTime - mm.dd.yy"},
               {0x04010000, "", "fkBoolean - No;Yes"},
               {0x02090000, "", "fkDateTime - -"},
               {0x01010200, "", "fkNumeric . %2.2f"}};
  for (const auto &c : cases) {
    model_.Pages.Clear();
    auto *memo = test::AddView<TfrMemoView>(AddPage(), QStringLiteral("M"), 0, 0, 10, 10);
    memo->Format = c.format;
    memo->FormatStr = QString::fromUtf8(c.formatStr);
    const QXmlStreamAttributes read = Attributes(Document(), QStringLiteral("TfrxMemoView"));
    QStringList got;
    for (const char *name :
         {"DisplayFormat.Kind", "DisplayFormat.DecimalSeparator", "DisplayFormat.FormatStr"})
      got << (read.hasAttribute(QLatin1String(name)) ? read.value(QLatin1String(name)).toString() : "-");
    EXPECT_EQ(got.join(QLatin1Char(' ')), QString::fromUtf8(c.expected)) << std::hex << c.format;
  }
}

TEST(XmlWriter, EscapesWhatXmlCannotCarryAndWritesFloatsShort) {
  EXPECT_EQ(frXmlEscape(QStringLiteral("a&b\"c<d>e\r\nf\tg'h")),
            QStringLiteral("a&amp;b&#34;c&#60;d&#62;e&#13;&#10;f&#9;g'h"));
  // Characters XML cannot carry at all become U+FFFD; pairs of surrogates stay.
  EXPECT_EQ(frXmlEscape(QString(QChar(1)) + QChar(0xFFFE) + QChar(0xD800) + QStringLiteral("\U0001F600")),
            QString(QChar(0xFFFD)) + QChar(0xFFFD) + QChar(0xFFFD) + QStringLiteral("\U0001F600"));
  EXPECT_EQ(frXmlFloat(0.1f), QLatin1String("0.1"));
}

TEST_F(XmlExportTest, AReportInXmlModeSavesItsTemplateAsADocument) {
  ReportEngineScope engine;
  TComponent form(nullptr);
  form.SetName(QStringLiteral("HARD"));
  auto *report = new TfrReport(&form);
  report->SetName(QStringLiteral("frReport1"));
  auto *lines = new TfrDBDataSet(&form);
  lines->SetName(QStringLiteral("frLines"));
  TfrPage *page = report->Pages().Add();
  AddBand(page, "MasterData1", btMasterData, 0, "frLines");

  report->XmlMode = true;
  TMemoryStream xml;
  report->SaveToStream(&xml);
  EXPECT_TRUE(xml.Bytes().startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport "));
  // The report is made current, so a plain dataset name is found on its form.
  EXPECT_EQ(Attr(xml.Bytes(), "TfrxMasterData", "DataSetName"), "frLines");
}

} // namespace
