// The elements of the XML report format that the objects of a template page write: the element name made
// from the object's class, and its attributes in their fixed order. The document around them is written by
// SaveReportAsXml (xml_export.h).
#pragma once
#include <QString>

class TComponent;
class TfrValues;
class TfrView;
class TfrXmlWriter;

// What an object's element depends on beyond the object itself.
struct TfrXmlContext {
  // The component that owns the report: a dataset on it is named without its form.
  TComponent *ReportOwner = nullptr;
  // Added to each object's Left (minus the page's left edge, so positions count from the printable area).
  int OffsetX = 0;
  // The report's values: a picture showing a value bound to a dataset field names that field.
  const TfrValues *Values = nullptr;
};

// "Tfr..." becomes "Tfrx..." ("TfrxSubreport" for the subreport object); other class names stay.
QString frXmlElementName(const QString &ClassName);
// The element of a band type (0 to 17); an empty text for the cross bands and "None" (18 to 21).
QString frXmlBandElementName(int BandType);

// The name of the procedure made from the object's script.
QString frXmlScriptProcName(const TfrView *View);

// A dataset component as the document names it: "Form.Component" when it belongs to another form than the
// report's owner, else its name alone.
QString frXmlDatasetName(const TComponent *Component, const TComponent *ReportOwner);

// TfrView.SaveToXml: writes the opening part of the object's element up to and including its last attribute
// (the caller closes it). Returns false when the object has no element (a cross band or a "None" band), in
// which case nothing was written.
bool frSaveViewToXml(const TfrView *View, TfrXmlWriter &Writer, const TfrXmlContext &Context);
