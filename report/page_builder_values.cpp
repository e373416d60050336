// Page building: the objects' content (scripts, expanded text, BLOB fields, highlights) and the report's
// value lookup while a pass runs.
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "report/component_lookup.h"
#include "report/font_style.h"
#include "report/memo_view.h"
#include "report/page_builder_run.h"
#include "report/parser.h"
#include "report/report.h"
#include "report/report_dataset.h"
#include "report/report_interpreter.h"
#include "report/value_format.h"
#include "report/variables.h"

using namespace frbuild;

namespace {

const char *const SpecialNames[] = {"PAGE#",        "",        "DATE",     "TIME",      "LINE#",
                                    "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};

int LevelOf(int type) {
  for (int level = 1; level <= 3; ++level)
    if (type == LevelHeader[level] || type == LevelData[level] || type == LevelFooter[level]) return level;
  return 0;
}

// The single bracketed name a memo consists of ("[Name]"), or an empty text.
QString SingleBracketedName(const TStrings &Memo) {
  if (Memo.Count() < 1) return QString();
  const QString line = Memo.Strings(0).trimmed();
  if (line.size() < 3 || !line.startsWith(QLatin1Char('[')) || frMatchBracket(line, 0) != line.size())
    return QString();
  const QString name = line.mid(1, line.size() - 2);
  if (name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) return QString();
  return name;
}

} // namespace

// Runs the object's script and makes its content: the expanded text of a text object (or the text of the
// BLOB field it shows), the picture of a BLOB field, then lets OnEnterRect change it. False when the object
// failed (the run is then terminated).
bool TfrPageBuilder::PrepareObject(TfrView *View) {
  frEngine().CurView = View;
  auto memo = dynamic_cast<TfrMemoView *>(View);
  // The highlight look of the previous record is taken off first.
  if (memo && ownLooks_.contains(View)) {
    const OwnLook look = ownLooks_.take(View);
    memo->Font.SetStyle(BitsToFontStyle(look.fontStyle));
    memo->Font.SetColor(look.fontColor);
    memo->FillColor = look.fillColor;
  }
  try {
    if (View->Script.Count() > 0) RunScript(View);
    if (!LoadBlobContent(View)) {
      if (memo)
        ExpandText(memo);
      else
        View->Memo1.Assign(&View->Memo);
    }
    if (report_->OnEnterRect) report_->OnEnterRect(&View->Memo1, View);
    if (memo && !memo->HighlightStr.trimmed().isEmpty() &&
        frIsTrue(ReportParser()->Calc(memo->HighlightStr))) {
      ownLooks_.insert(View, {FontStyleToBits(memo->Font.Style()), memo->Font.Color(), memo->FillColor});
      memo->Font.SetStyle(BitsToFontStyle(memo->Highlight.FontStyle));
      memo->Font.SetColor(memo->Highlight.FontColor);
      memo->FillColor = memo->Highlight.FillColor;
    }
  } catch (const Exception &e) {
    FailWith(e, View);
    return false;
  }
  return true;
}

void TfrPageBuilder::RunScript(TfrView *View) {
  TfrCompiledScript &compiled = scripts_[View];
  ReportInterpreter()->RunScript(&View->Script, compiled, View->Name);
}

// The plan of the object's text, made again when its text or format changed.
const TfrTextPlan &TfrPageBuilder::TextPlan(TfrView *View) {
  TfrTextPlan &plan = plans_[View];
  if (!plan.IsPlanOf(View->Memo, View->Format, View->FormatStr))
    plan.Make(View->Memo, View->Format, View->FormatStr);
  return plan;
}

void TfrPageBuilder::ExpandText(TfrView *View) {
  // A copy of the plan's lines: the evaluation may run scripts that change the object's text.
  const QList<TfrTextPlanLine> lines = TextPlan(View).Lines();
  View->Memo1.Clear();
  for (const TfrTextPlanLine &line : lines) {
    if (line.empty) {
      View->Memo1.Add(QString());
      continue;
    }
    QString text = line.literals[0];
    for (qsizetype i = 0; i < line.expressions.size(); ++i) {
      text += EvaluateExpression(line.expressions[i]);
      text += line.literals[i + 1];
    }
    // A value holding line breaks gives several lines.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
      View->Memo1.Add(text);
      continue;
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &part : text.split(QLatin1Char('\n'))) View->Memo1.Add(part);
  }
}

QString TfrPageBuilder::EvaluateExpression(const TfrTextExpression &Expression) {
  Variant value;
  GetValue(Expression.expression, value);
  currentValue_ = value;
  return frFormatValue(value, Expression.code, Expression.format);
}

// A text or picture object whose text is a single bracketed name of a BLOB field shows that field.
bool TfrPageBuilder::LoadBlobContent(TfrView *View) {
  if (View->Typ != gtMemo && View->Typ != gtPicture) return false;
  // The name is read once, and a text found once to show no BLOB is not looked at again, while the text's
  // first line stays the same.
  const QString first = View->Memo.Count() > 0 ? View->Memo.Strings(0) : QString();
  BlobLook &look = blobLooks_[View];
  if (!look.read || look.first != first) {
    look.read = true;
    look.first = first;
    look.name = SingleBracketedName(View->Memo);
    look.noBlob = look.name.isEmpty();
  }
  if (look.noBlob) return false;
  const QString name = look.name;
  TField *field = nullptr;
  if (TfrValue *entry = report_->Values().FindValue(name); entry && entry->Typ == 1) {
    TDataSet *dataSet = frDataSetOf(FindReportDataset(entry->DataSet));
    field = dataSet ? dataSet->FindField(entry->Field) : nullptr;
  } else if (TDataSet *dataSet = BandDataSet()) {
    field = dataSet->FindField(name);
  }
  if (!field) return false;
  if (!frIsBlob(field)) {
    look.noBlob = true;
    return false;
  }
  if (View->Typ == gtPicture) {
    View->LoadFromField(field);
    View->Memo1.Assign(&View->Memo);
  } else {
    View->Memo1.Clear();
    if (!field->IsNull()) {
      QString text = field->AsString();
      text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
      for (const QString &line : text.split(QLatin1Char('\n'))) View->Memo1.Add(line);
    }
  }
  return true;
}

void TfrPageBuilder::FailWith(const Exception &Error, TfrView *View) {
  QString text = QStringLiteral("An error occured during calculating");
  if (View)
    for (int i = 0; i < View->Memo.Count(); ++i) text += QChar(13) + View->Memo.Strings(i);
  text += QChar(13) + QStringLiteral("Report: ") + report_->Name();
  const TfrEngineBand *band = frEngine().CurBand;
  text += QChar(13) + QStringLiteral("Band: ") + frBandName(band ? band->BandType() : btNone);
  text += QChar(13) + Error.Message();
  report_->SetError(text);
}

// ---- value lookup ----

TfrBand *TfrPageBuilder::DataBandFor(int BandType) const {
  int level = LevelOf(BandType);
  if (IsCrossBand(BandType)) return cur_ ? cur_->Band(btCrossData) : nullptr;
  if (level == 0) level = 1;
  if (activeData_[level]) return activeData_[level];
  if (!cur_) return nullptr;
  for (TfrBand *band = cur_->Band(LevelData[level]); band; band = band->Next)
    if (band->DataSet) return band;
  return nullptr;
}

TDataSet *TfrPageBuilder::BandDataSet() const {
  const TfrEngineBand *current = frEngine().CurBand;
  TfrBand *data = DataBandFor(current ? current->BandType() : btMasterData);
  // Without a band source of its own, a band reads the record the whole report is built for.
  TfrDataset *source = data && data->DataSet ? data->DataSet : report_->Dataset();
  return source ? source->RecordDataSet() : nullptr;
}

bool TfrPageBuilder::FieldValue(TDataSet *DataSet, TField *Field, Variant &Value) const {
  if (!DataSet || !Field) return false;
  if (!DataSet->Active()) DataSet->Open();
  Value = Field->OnGetText() ? Variant(Field->DisplayText()) : Field->AsVariant();
  return true;
}

int TfrPageBuilder::ActiveLineNo(bool Through) const {
  const TfrEngineBand *current = frEngine().CurBand;
  const TfrBand *band = nullptr;
  if (current && IsDataBand(current->BandType()))
    band = static_cast<const TfrBand *>(current);
  else if (current && current->BandType() == btGroupHeader)
    band = static_cast<const TfrBand *>(current);
  else
    band = DataBandFor(current ? current->BandType() : btMasterData);
  if (!band) return 0;
  return Through ? band->LineThrough : band->LineNo;
}

bool TfrPageBuilder::SpecialValue(const QString &Name, Variant &Value) const {
  // Upper case is never shorter: a name longer than the longest special name is none of them.
  if (QStringView(Name).trimmed().size() > qsizetype(std::size("LINETHROUGH#") - 1)) return false;
  const QString name = Name.trimmed().toUpper();
  if (name == QLatin1String("PAGE#")) {
    Value = Variant(pageNo_ + 1);
  } else if (name == QLatin1String("DATE")) {
    Value = Variant::FromDateTime(std::floor(report_->ReportDateTime()));
  } else if (name == QLatin1String("TIME")) {
    const TDateTime now = report_->ReportDateTime();
    Value = Variant::FromDateTime(now - std::floor(now));
  } else if (name == QLatin1String("LINE#")) {
    Value = Variant(ActiveLineNo(false));
  } else if (name == QLatin1String("LINETHROUGH#")) {
    Value = Variant(ActiveLineNo(true));
  } else if (name == QLatin1String("COLUMN#")) {
    Value = Variant(cur_ ? cur_->curColumn + 1 : 1);
  } else if (name == QLatin1String("CURRENT#")) {
    Value = Variant(cur_ ? cur_->curPos : 0);
  } else if (name == QLatin1String("TOTALPAGES")) {
    Value = Variant(report_->TotalPages());
  } else if (name == QLatin1String("VALUE")) {
    Value = currentValue_;
  } else {
    return false;
  }
  return true;
}

bool TfrPageBuilder::SpecialValueByIndex(const QString &Name, int Index, const QString &Expression,
                                         Variant &Value) {
  if (Index == 1) {
    Value = EvaluateFor(Name, Expression);
    return true;
  }
  if (Index < 0 || Index >= int(std::size(SpecialNames))) return false;
  return SpecialValue(QString::fromLatin1(SpecialNames[Index]), Value);
}

void TfrPageBuilder::GetValue(const QString &Name, Variant &Value) {
  Value = Variant();
  if (report_->OnGetValue) {
    report_->OnGetValue(Name, Value);
    if (!Value.IsEmpty()) return;
  }
  if (TfrValue *entry = report_->Values().FindValue(Name)) {
    switch (entry->Typ) {
    case 0: Value = Variant(QString()); return;
    case 1: {
      TDataSet *dataSet = frDataSetOf(FindReportDataset(entry->DataSet));
      TField *field = dataSet ? dataSet->FindField(entry->Field) : nullptr;
      if (FieldValue(dataSet, field, Value)) return;
      break;
    }
    case 2:
      if (SpecialValueByIndex(Name, entry->OtherKind, entry->Field, Value)) return;
      break;
    case 3: Value = EvaluateFor(Name, entry->Field); return;
    default: break;
    }
  }
  // While cells print, the cross source's fields come first.
  if (cur_ && cur_->page->PrintingCross)
    if (TfrBand *cross = cur_->Band(btCrossData); cross && cross->DataSet)
      if (TDataSet *dataSet = cross->DataSet->RecordDataSet())
        if (FieldValue(dataSet, dataSet->FindField(Name), Value)) return;
  if (TDataSet *dataSet = BandDataSet())
    if (FieldValue(dataSet, dataSet->FindField(Name), Value)) return;
  if (Name.contains(QLatin1Char('.'))) {
    TDataSet *dataSet = nullptr;
    TField *field = nullptr;
    if (FindReportDatasetField(Name, dataSet, field) && FieldValue(dataSet, field, Value)) return;
  }
  if (SpecialValue(Name, Value)) return;
  TfrVariables *variables = ReportVariables();
  if (const int index = variables->IndexOf(Name); index >= 0) {
    Value = variables->Value(index);
    return;
  }
  Value = EvaluateFor(Name, Name);
}

// A name's value given by an expression: asked for again while that expression is being evaluated, the
// name has no value but itself, and the run stops instead of recursing without end.
Variant TfrPageBuilder::EvaluateFor(const QString &Name, const QString &Expression) {
  const QString key = Name.trimmed().toUpper();
  if (evaluating_.contains(key))
    throw EParserError(QStringLiteral("Undefined symbol \"%1\"").arg(Name.trimmed()));
  evaluating_.append(key);
  Variant value;
  try {
    value = ReportParser()->Calc(Expression);
  } catch (...) {
    evaluating_.removeOne(key);
    throw;
  }
  evaluating_.removeOne(key);
  return value;
}
