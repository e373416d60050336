#include "report/xml_export.h"
#include "platform/core/filer.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "report/component_lookup.h"
#include "report/engine.h"
#include "report/page.h"
#include "report/report.h"
#include "report/report_dataset.h"
#include "report/report_model.h"
#include "report/xml_elements.h"
#include "report/xml_writer.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The procedure made from one object's script.
void AppendProcedure(const TfrView *view, QStringList &out) {
  const TStringList &script = view->Script;
  const int k = script.Count() - 1;
  const bool blockScript = script.Strings(0) == QLatin1String("begin");
  out << QStringLiteral("procedure %1(Sender: TfrxComponent);").arg(frXmlScriptProcName(view))
      << QStringLiteral("begin") << QStringLiteral("  with %1, Engine do").arg(view->Name)
      << QStringLiteral("  begin");
  if (!blockScript) out << script.Strings(0);
  for (int i = 1; i < k; ++i) out << script.Strings(i);
  if (!blockScript) {
    if (k > 0) out << script.Strings(k);
    out << QStringLiteral("  end") << QStringLiteral("end;");
  } else {
    // The script's own "begin" opened the block; its last line closes the procedure.
    out << QStringLiteral("  end") << script.Strings(k) + QLatin1Char(';');
  }
  out << QString();
}

// Page names count from 1, as the subreport objects name the page they print ("Page" and the sub-page
// index plus 1), so that a subreport's Page attribute names the page element it means.
QString PageName(int index) { return QStringLiteral("Page%1").arg(index + 1); }

void WritePage(const TfrPage &page, int index, TfrXmlWriter &w, TComponent *reportOwner,
               const TfrValues *values) {
  const TfrPageEdges edges = frPageEdges(page);
  const TfrPrnInfo &info = page.PrnInfo;
  w.BeginElement(QStringLiteral("TfrxReportPage"));
  w.Attribute(QStringLiteral("Name"), PageName(index));
  w.Attribute(QStringLiteral("Orientation"),
              page.pgOr == frLandscape ? QStringLiteral("poLandscape") : QStringLiteral("poPortrait"));
  // Widths in the horizontal units per inch, heights in the vertical ones.
  w.Attribute(QStringLiteral("PaperWidth"), frUnitsToMillimetres(info.Pgw, frUnitsPerInchX));
  w.Attribute(QStringLiteral("PaperHeight"), frUnitsToMillimetres(info.Pgh, frUnitsPerInchY));
  w.Attribute(QStringLiteral("PaperSize"), page.pgSize);
  w.Attribute(QStringLiteral("LeftMargin"), frUnitsToMillimetres(edges.Left, frUnitsPerInchX));
  w.Attribute(QStringLiteral("RightMargin"), frUnitsToMillimetres(info.Pgw - edges.Right, frUnitsPerInchX));
  w.Attribute(QStringLiteral("TopMargin"), frUnitsToMillimetres(edges.Top, frUnitsPerInchY));
  w.Attribute(QStringLiteral("BottomMargin"), frUnitsToMillimetres(info.Pgh - edges.Bottom, frUnitsPerInchY));
  w.Attribute(QStringLiteral("Columns"), page.ColCount);
  w.Attribute(QStringLiteral("ColumnWidth"), page.ColWidth);
  if (page.PrintToPrevPage) w.Attribute(QStringLiteral("PrintOnPreviousPage"), QStringLiteral("True"));
  if (page.ObjectCount() == 0) {
    w.WriteLine(QStringLiteral("/>"));
    return;
  }
  w.WriteLine(QStringLiteral(">"));
  const TfrXmlContext context{reportOwner, -edges.Left, values};
  for (int i = 0; i < page.ObjectCount(); ++i) {
    // Objects write the opening part of their element; the closing is the empty-element form "/>" that the
    // format's readers take for an object, with its line break.
    if (frSaveViewToXml(page.Object(i), w, context)) w.WriteLine(QStringLiteral("/>"));
  }
  w.WriteLine(QStringLiteral("</TfrxReportPage>"));
}

} // namespace

QStringList frXmlScriptLines(const TfrReportModel &Model) {
  QStringList lines;
  for (int p = 0; p < Model.Pages.Count(); ++p) {
    const TfrPage *page = Model.Pages[p];
    for (int i = 0; i < page->ObjectCount(); ++i)
      if (page->Object(i)->Script.Count() > 0) AppendProcedure(page->Object(i), lines);
  }
  lines << QStringLiteral("begin") << QString() << QStringLiteral("end.");
  return lines;
}

QByteArray frXmlReportProperties(const TfrReportModel &Model, TComponent *ReportOwner) {
  TMemoryStream stream;
  TWriter writer(&stream);
  TStringList datasets;
  ListComponentsOfClass<TfrDataset>(ReportOwner, &datasets, nullptr);
  writer.WritePropName(QStringLiteral("Datasets"));
  writer.WriteValue(vaCollection);
  for (int i = 0; i < datasets.Count(); ++i) {
    writer.WriteListBegin();
    writer.WritePropName(QStringLiteral("DataSet"));
    writer.WriteValue(vaNil);
    writer.WritePropName(QStringLiteral("DataSetName"));
    writer.WriteString(datasets.Strings(i));
    writer.WriteListEnd();
  }
  writer.WriteListEnd();
  writer.WritePropName(QStringLiteral("Variables"));
  writer.WriteValue(vaCollection);
  for (int i = 0; i < Model.Variables.Count(); ++i) {
    writer.WriteListBegin();
    writer.WritePropName(QStringLiteral("Name"));
    writer.WriteString(Model.Variables.Names(i));
    writer.WritePropName(QStringLiteral("Value"));
    writer.WriteString(Model.Variables.ValueFromIndex(i));
    writer.WriteListEnd();
  }
  writer.WriteListEnd();
  // The format's readers read properties until the data ends: no end-of-properties marker follows.
  return stream.Bytes();
}

TfrPageEdges frPageEdges(const TfrPage &Page) {
  const TfrPrnInfo &info = Page.PrnInfo;
  if (!Page.UseMargins) return {0, 0, info.Pgw, info.Pgh};
  const TRect &m = Page.pgMargins;
  return {m.Left ? m.Left : info.Ofx, m.Top ? m.Top : info.Ofy,
          m.Right ? info.Pgw - m.Right : info.Ofx + info.Pw,
          m.Bottom ? info.Pgh - m.Bottom : info.Ofy + info.Ph};
}

void SaveReportAsXml(TfrReport *Report, TStream *Stream) {
  if (ReportEngineStarted()) frEngine().CurReport = Report;
  SaveReportAsXml(Report->Model(), Report->Owner(), Stream);
}

void SaveReportAsXml(const TfrReportModel &Model, TComponent *ReportOwner, TStream *Stream) {
  // The document is built whole before it is written, so that a failure leaves the stream as it was.
  TMemoryStream document;
  TfrXmlWriter w(&document);
  w.Write(QStringLiteral("<?xml"));
  w.Attribute(QStringLiteral("version"), QStringLiteral("1.0"));
  w.Attribute(QStringLiteral("encoding"), QStringLiteral("utf-8"));
  w.WriteLine(QStringLiteral("?>"));
  w.BeginElement(QStringLiteral("TfrxReport"));
  w.Attribute(QStringLiteral("ScriptLanguage"), QStringLiteral("PascalScript"));
  w.Attribute(QStringLiteral("ScriptText.text"), frXmlScriptLines(Model).join(kCrLf));
  w.Attribute(QStringLiteral("Propdata"), frXmlHex(frXmlReportProperties(Model, ReportOwner)));
  w.WriteLine(QStringLiteral(">"));
  for (int p = 0; p < Model.Pages.Count(); ++p) WritePage(*Model.Pages[p], p, w, ReportOwner, &Model.Values);
  w.WriteLine(QStringLiteral("</TfrxReport>"));
  Stream->WriteBytes(document.Bytes());
}
