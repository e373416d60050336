#include "report/xml_elements.h"
#include "platform/core/filer.h"
#include "platform/core/format_settings.h"
#include "platform/core/streams.h"
#include "platform/core/text_encoding.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "report/band_view.h"
#include "report/component_lookup.h"
#include "report/font_style.h"
#include "report/memo_view.h"
#include "report/model_state.h"
#include "report/picture_view.h"
#include "report/report_dataset.h"
#include "report/shape_view.h"
#include "report/values.h"
#include "report/xml_writer.h"

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Display format categories and the custom variant of a format code.
constexpr int kText = 0, kNumber = 1, kDate = 2, kTime = 3, kBoolean = 4;
constexpr int kCustomVariant = 4;

// Frame sides as the document counts them: left 1, right 2, top 4, bottom 8.
int XmlFrameType(int frameTyp) {
  int typ = 0;
  if (frameTyp & frbLeft) typ += 1;
  if (frameTyp & frbRight) typ += 2;
  if (frameTyp & frbTop) typ += 4;
  if (frameTyp & frbBottom) typ += 8;
  return typ;
}

QString MemoText(const TStrings &memo) {
  QStringList lines;
  for (int i = 0; i < memo.Count(); ++i) lines.append(memo.Strings(i));
  return lines.join(QLatin1String("\r\n"));
}

void WriteCommon(const TfrView *view, TfrXmlWriter &w, const TfrXmlContext &context) {
  w.Attribute(QStringLiteral("Name"), view->Name);
  w.Attribute(QStringLiteral("Left"), qint64(view->Left) + context.OffsetX);
  w.Attribute(QStringLiteral("Top"), view->Top);
  w.Attribute(QStringLiteral("Width"), view->Width);
  w.Attribute(QStringLiteral("Height"), view->Height);
  w.Attribute(QStringLiteral("Color"), view->FillColor);
  if (!view->Visible) w.Attribute(QStringLiteral("Visible"), kFalse);
  w.Attribute(QStringLiteral("Frame.Typ"), XmlFrameType(view->FrameTyp));
  w.Attribute(QStringLiteral("Frame.Width"), frXmlFloat(view->FrameWidth));
  w.Attribute(QStringLiteral("Frame.Color"), view->FrameColor);
  w.Attribute(QStringLiteral("Frame.Style"), view->FrameStyle);
  w.Attribute(QStringLiteral("GapX"), view->gapx);
  w.Attribute(QStringLiteral("GapY"), view->gapy);
  w.Attribute(QStringLiteral("Memo.text"), MemoText(view->Memo));
  if (view->Script.Count() > 0) {
    const QString proc = frXmlScriptProcName(view);
    w.Attribute(QStringLiteral("OnBeforePrint"), proc);
    w.Attribute(QStringLiteral("OnClick"), proc);
    w.Attribute(QStringLiteral("OnActivate"), proc);
  }
}

// The format text of a variant from a table, or of the object (custom variant); nothing for a variant the
// table does not have.
void WriteFormatStr(TfrXmlWriter &w, int variant, const QString &custom, const QStringList &table) {
  if (variant == kCustomVariant)
    w.Attribute(QStringLiteral("DisplayFormat.FormatStr"), custom);
  else if (variant >= 0 && variant < table.size())
    w.Attribute(QStringLiteral("DisplayFormat.FormatStr"), table.at(variant));
}

void WriteDisplayFormat(const TfrMemoView *memo, TfrXmlWriter &w) {
  const int category = (memo->Format >> 24) & 0x0F;
  const int variant = (memo->Format >> 16) & 0xFF;
  const QString kind = QStringLiteral("DisplayFormat.Kind");
  switch (category) {
  case kNumber:
    w.Attribute(kind, QStringLiteral("fkNumeric"));
    // A separator of 0 formats with the user's own separator; the document names the one in use.
    w.Attribute(QStringLiteral("DisplayFormat.DecimalSeparator"),
                (memo->Format & 0xFF) ? QString(QChar(Windows1252ToChar(quint8(memo->Format & 0xFF))))
                                      : QString(Settings().DecimalSeparator));
    WriteFormatStr(
        w, variant, memo->FormatStr,
        {QStringLiteral("%g"), QStringLiteral("%2.2f"), QStringLiteral("%2.2n"), QStringLiteral("%2.2m")});
    break;
  case kDate:
    w.Attribute(kind, QStringLiteral("fkDateTime"));
    WriteFormatStr(w, variant, memo->FormatStr,
                   {QStringLiteral("mm.dd.yy"), QStringLiteral("mm.dd.yyyy"), QStringLiteral("d mmm yyyy"),
                    QStringLiteral("dd mmmm yyyy")});
    break;
  case kTime:
    w.Attribute(kind, QStringLiteral("fkDateTime"));
    WriteFormatStr(w, variant, memo->FormatStr,
                   {QStringLiteral("hh:nn:ss"), QStringLiteral("h:nn:ss"), QStringLiteral("hh:nn"),
                    QStringLiteral("h:nn")});
    break;
  case kBoolean:
    w.Attribute(kind, QStringLiteral("fkBoolean"));
    WriteFormatStr(w, variant, memo->FormatStr,
                   {QStringLiteral("0;1"), QStringLiteral("No;Yes"), QStringLiteral("_;x"),
                    QStringLiteral("False;True")});
    break;
  case kText:
  default: break;
  }
}

void WriteMemo(const TfrMemoView *memo, TfrXmlWriter &w) {
  if (memo->Flags & flStretched) w.Attribute(QStringLiteral("StretchMode"), QStringLiteral("smMaxHeight"));
  if (!(memo->Flags & flWordWrap)) w.Attribute(QStringLiteral("WordWrap"), kFalse);
  if (memo->Flags & flAutoSize) w.Attribute(QStringLiteral("AutoWidth"), kTrue);
  w.Attribute(QStringLiteral("Font.Name"), memo->Font.Name());
  w.Attribute(QStringLiteral("Font.Height"), memo->Font.Height());
  w.Attribute(QStringLiteral("Font.Color"), memo->Font.Color());
  // TFontStyles counts 1 bold, 2 italic, 4 underline, 8 strike-out: the document's own order.
  w.Attribute(QStringLiteral("Font.Style"), memo->Font.Style());
  w.Attribute(QStringLiteral("LineSpacing"), memo->LineSpacing);
  w.Attribute(QStringLiteral("CharSpacing"), memo->CharacterSpacing);
  if (!memo->HighlightStr.isEmpty()) {
    w.Attribute(QStringLiteral("Highlight.Condition"), memo->HighlightStr);
    // The stored highlight style counts 1 italic, 2 bold; the document reads it in the order of Font.Style.
    w.Attribute(QStringLiteral("Highlight.Font.Style"), BitsToFontStyle(memo->Highlight.FontStyle));
    w.Attribute(QStringLiteral("Highlight.Font.Color"), memo->Highlight.FontColor);
    w.Attribute(QStringLiteral("Highlight.Color"), memo->Highlight.FillColor);
  }
  WriteDisplayFormat(memo, w);
}

// The picture's stored data in the form the format's readers take for "Picture.Propdata": the picture's one
// defined property "Data" as a binary value, holding the graphic's class name as a short string and the
// graphic's data as that class stores it (a bitmap and a JPEG image preceded by their int32 length, an icon
// and a metafile as their files). The readers stop at the end of the data: no end-of-list marker follows.
QByteArray PictureData(const TPicture &picture) {
  const TGraphic *graphic = picture.Graphic();
  TMemoryStream data;
  TWriter writer(&data);
  writer.DefineBinaryProperty(
      QStringLiteral("Data"), nullptr,
      [graphic](TStream *stream) {
        TWriter inner(stream);
        inner.WriteStr(graphic->ClassName());
        const QByteArray bytes = graphic->SaveToBytes();
        const TGraphicKind kind = KindOf(graphic);
        if (kind == TGraphicKind::Bitmap || kind == TGraphicKind::Jpeg)
          stream->WriteInt32(qint32(bytes.size()));
        stream->WriteBytes(bytes);
      },
      true);
  return data.Bytes();
}

// A dataset component by name: a plain name among the report owner's components, "Form.Component" on the
// application's forms and data modules.
TComponent *FindDataset(const QString &name, TComponent *owner) {
  if (owner && !name.contains(QLatin1Char('.'))) return owner->FindComponent(name.trimmed());
  return FindReportDataset(name);
}

// A dataset and its field named by a value of the report bound to a field, by "Dataset.Field" (the dataset on
// the report's owner) or by "Form.Dataset.Field".
bool FindField(const QString &text, const TfrXmlContext &context, TDataSet *&dataSet, TField *&field) {
  TComponent *owner = context.ReportOwner;
  if (context.Values) {
    const int index = context.Values->FindIndex(text);
    if (index >= 0 && (*context.Values)[index].Typ == 1) {
      const TfrValue &value = (*context.Values)[index];
      dataSet = frDataSetOf(FindDataset(value.DataSet, owner));
      field = dataSet ? dataSet->FindField(value.Field) : nullptr;
      return field != nullptr;
    }
  }
  const QStringList parts = text.split(QLatin1Char('.'));
  if (owner && parts.size() == 2) {
    dataSet = frDataSetOf(owner->FindComponent(parts[0].trimmed()));
    field = dataSet ? dataSet->FindField(parts[1].trimmed()) : nullptr;
    if (field) return true;
  }
  dataSet = nullptr;
  return FindReportDatasetField(text, dataSet, field);
}

// The text of a line that is one bracketed name, without its brackets; other lines as they are.
QString Unbracketed(const QString &line) {
  const QString text = line.trimmed();
  if (text.size() >= 2 && text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')) &&
      text.count(QLatin1Char('[')) == 1 && text.count(QLatin1Char(']')) == 1)
    return text.mid(1, text.size() - 2).trimmed();
  return text;
}

void WritePicture(const TfrPictureView *picture, TfrXmlWriter &w, const TfrXmlContext &context) {
  if (picture->Picture.Graphic())
    w.Attribute(QStringLiteral("Picture.Propdata"), frXmlHex(PictureData(picture->Picture)));
  if (picture->Memo.Count() > 0) {
    TDataSet *dataSet = nullptr;
    TField *field = nullptr;
    if (FindField(Unbracketed(picture->Memo.Strings(0)), context, dataSet, field)) {
      const TComponent *owner = dataSet->Owner();
      w.Attribute(QStringLiteral("DataSet"),
                  owner ? owner->Name() + QLatin1Char('.') + dataSet->Name() : dataSet->Name());
      w.Attribute(QStringLiteral("DataField"), field->FieldName());
    }
  }
  if (!(picture->Flags & flStretched)) w.Attribute(QStringLiteral("Stretched"), kFalse);
  if (picture->Flags & flPictCenter) w.Attribute(QStringLiteral("Center"), kTrue);
  if (!(picture->Flags & flPictRatio)) w.Attribute(QStringLiteral("KeepAspectRatio"), kFalse);
}

// The record source a data band's format string names, as page building finds it: not a virtual source of
// a number of records, and not a text holding ';'.
const TfrDataset *BandSource(const TfrBandView *band, TComponent *owner) {
  const QString name = band->FormatStr.trimmed();
  if (name.isEmpty() || name.contains(QLatin1Char(';'))) return nullptr;
  if (name.at(0) >= QLatin1Char('1') && name.at(0) <= QLatin1Char('9')) return nullptr;
  return dynamic_cast<const TfrDataset *>(FindDataset(name, owner));
}

void WriteBand(const TfrBandView *band, TfrXmlWriter &w, const TfrXmlContext &context) {
  const int type = band->BandType();
  w.Attribute(QStringLiteral("Name"), band->Name);
  w.Attribute(QStringLiteral("Top"), band->Top);
  w.Attribute(QStringLiteral("Height"), band->Height);
  if (!band->Visible) w.Attribute(QStringLiteral("Visible"), kFalse);
  const int flags = band->Flags;
  if (flags & flStretched) w.Attribute(QStringLiteral("Stretched"), kTrue);
  if (flags & flBandNewPageAfter) w.Attribute(QStringLiteral("StartNewPage"), kTrue);
  if (flags & flBandPrintIfSubsetEmpty) w.Attribute(QStringLiteral("PrintIfDetailEmpty"), kTrue);
  if (flags & flBandBreaked) w.Attribute(QStringLiteral("AllowSplit"), kTrue);
  if (!(flags & flBandOnFirstPage)) w.Attribute(QStringLiteral("PrintOnFirstPage"), kFalse);
  if (!(flags & flBandOnLastPage)) w.Attribute(QStringLiteral("PrintOnLastPage"), kFalse);
  if (flags & flBandRepeatHeader) w.Attribute(QStringLiteral("ReprintOnNewPage"), kTrue);
  if (band->Script.Count() > 0) w.Attribute(QStringLiteral("OnBeforePrint"), frXmlScriptProcName(band));
  if (type == btMasterData || type == btDetailData || type == btSubDetailData) {
    if (const TfrDataset *source = BandSource(band, context.ReportOwner))
      w.Attribute(QStringLiteral("DataSetName"), frXmlDatasetName(source, context.ReportOwner));
  }
  if (type == btGroupHeader) w.Attribute(QStringLiteral("Condition"), band->FormatStr);
}

} // namespace

QString frXmlElementName(const QString &ClassName) {
  QString name = ClassName;
  if (name.startsWith(QLatin1String("Tfr"))) name = QLatin1String("Tfrx") + name.mid(3);
  if (name.compare(QLatin1String("TfrxSubreportView"), Qt::CaseInsensitive) == 0)
    name = QStringLiteral("TfrxSubreport");
  return name;
}

QString frXmlBandElementName(int BandType) {
  static const char *const names[] = {
      "TfrxReportTitle",  "TfrxReportSummary", "TfrxPageHeader", "TfrxPageFooter", "TfrxHeader",
      "TfrxMasterData",   "TfrxFooter",        "TfrxHeader",     "TfrxDetailData", "TfrxFooter",
      "TfrxHeader",       "TfrxSubDetailData", "TfrxFooter",     "TfrxOverlay",    "TfrxColumnHeader",
      "TfrxColumnFooter", "TfrxGroupHeader",   "TfrxGroupFooter"};
  if (BandType < 0 || BandType >= int(std::size(names))) return QString();
  return QString::fromLatin1(names[BandType]);
}

QString frXmlScriptProcName(const TfrView *View) { return View->Name + QLatin1String("OnBeforePrint"); }

QString frXmlDatasetName(const TComponent *Component, const TComponent *ReportOwner) {
  const TComponent *owner = Component->Owner();
  if (!owner || owner == ReportOwner) return Component->Name();
  return owner->Name() + QLatin1Char('.') + Component->Name();
}

bool frSaveViewToXml(const TfrView *View, TfrXmlWriter &Writer, const TfrXmlContext &Context) {
  if (const auto *band = dynamic_cast<const TfrBandView *>(View)) {
    const QString element = frXmlBandElementName(band->BandType());
    if (element.isEmpty()) return false;
    Writer.BeginElement(element);
    WriteBand(band, Writer, Context);
    return true;
  }
  Writer.BeginElement(frXmlElementName(View->ClassName()));
  WriteCommon(View, Writer, Context);
  if (const auto *memo = dynamic_cast<const TfrMemoView *>(View))
    WriteMemo(memo, Writer);
  else if (const auto *picture = dynamic_cast<const TfrPictureView *>(View))
    WritePicture(picture, Writer, Context);
  else if (const auto *subReport = dynamic_cast<const TfrSubReportView *>(View))
    Writer.Attribute(QStringLiteral("Page"), QStringLiteral("Page%1").arg(qint64(subReport->SubPage) + 1));
  else if (dynamic_cast<const TfrLineView *>(View) && !(View->Flags & flStretched))
    Writer.Attribute(QStringLiteral("Stretched"), kFalse);
  else if (const auto *shape = dynamic_cast<const TfrShapeView *>(View))
    Writer.Attribute(QStringLiteral("Shape"), shape->ShapeType);
  return true;
}
