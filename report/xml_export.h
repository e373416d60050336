// Saving a report template as a document of the XML report format (only writing exists):
//
//   <?xml version="1.0" encoding="utf-8"?>
//   <TfrxReport ScriptLanguage="PascalScript" ScriptText.text="..." Propdata="...">
//   <TfrxReportPage Name="Page1" Orientation=... PaperWidth=... ...>      (or "/>" for a page without
//   objects) <TfrxMemoView Name=... .../>                                          (one element per object)
//   </TfrxReportPage>
//   </TfrxReport>
//
// Every line ends with CR LF; the document is UTF-8. The objects' scripts become one procedure each in the
// script text; the report's datasets and variables go into Propdata, the hexadecimal form of a property
// stream of the platform's filer.
#pragma once
#include <QByteArray>
#include <QStringList>

class TComponent;
class TStream;
class TfrPage;
class TfrReport;
class TfrReportModel;

// The script text: for each object of each page that has a script (page order, then object order) its
// procedure, then the main block "begin", "", "end.".
QStringList frXmlScriptLines(const TfrReportModel &Model);

// The property stream behind Propdata: "Datasets" (every report dataset component of the application's forms
// and data modules, named as frXmlDatasetName does) and "Variables" (the report's name=value lines), each a
// collection.
QByteArray frXmlReportProperties(const TfrReportModel &Model, TComponent *ReportOwner);

// The edges of a page's printable area in report units: its margins when it uses them (a margin of 0 taking
// the printer's offset), else the whole sheet.
struct TfrPageEdges {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};
TfrPageEdges frPageEdges(const TfrPage &Page);

// SaveReportAsXml: writes the whole document of the report's template at the stream's position, the report
// made current. Datasets on the report's owner (the form it lies on) are named without their form.
void SaveReportAsXml(TfrReport *Report, TStream *Stream);
// The same for a template on its own, with the component that stands for the report's owner.
void SaveReportAsXml(const TfrReportModel &Model, TComponent *ReportOwner, TStream *Stream);
