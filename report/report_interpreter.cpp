#include "report/report_interpreter.h"
#include "report/engine.h"
#include "report/variables.h"

namespace {

const char *const PropertyNames[frViewPropertyCount] = {
    "Left",       "Top",       "Width", "Height",   "Flags",    "Visible",   "FrameTyp",  "FrameWidth",
    "FrameColor", "FillColor", "Text",  "FontName", "FontSize", "FontStyle", "FontColor", "Adjust"};

bool IsTextOnlyProperty(int Index) { return Index >= vpFontName && Index <= vpAdjust; }

bool IsBandProperty(int Index) { return Index <= vpHeight || Index == vpVisible; }

// The value converted to the type the property holds.
Variant ConvertForProperty(int Index, const Variant &Value) {
  switch (Index) {
  case vpVisible: return Variant(Value.ToBool());
  case vpFrameWidth: return Variant(Value.ToDouble());
  case vpText:
  case vpFontName: return Variant(VarToStr(Value));
  default: return Variant(Value.ToInt());
  }
}

void AskReport(const QString &Name, Variant &Value) {
  TfrParser *parser = ReportParser();
  if (parser->OnGetValue) parser->OnGetValue(Name, Value);
}

struct Target {
  TfrEngineView *view = nullptr;
  QString objectName; // the part before the first "." when the name has one
  QString property;
};

Target FindTarget(const QString &Name) {
  TfrEngineState &engine = frEngine();
  Target target;
  const int dot = Name.indexOf(QLatin1Char('.'));
  if (dot >= 0) {
    target.objectName = Name.left(dot);
    target.property = Name.mid(dot + 1);
    if (engine.CurPage) target.view = engine.CurPage->FindObject(target.objectName);
  } else {
    target.property = Name;
    target.view = engine.CurView;
  }
  return target;
}

} // namespace

int frViewPropertyIndex(const QString &Name) {
  for (int i = 0; i < frViewPropertyCount; ++i)
    if (Name.compare(QLatin1String(PropertyNames[i]), Qt::CaseInsensitive) == 0) return i;
  return -1;
}

std::optional<int> frColorByName(const QString &Name) {
  static const struct {
    const char *name;
    int color;
  } colors[] = {
      {"clWhite", 16777215},        {"clBlack", 0},         {"clMaroon", 128},       {"clGreen", 32768},
      {"clOlive", 32896},           {"clNavy", 8388608},    {"clPurple", 8388736},   {"clTeal", 8421376},
      {"clGray", 8421504},          {"clSilver", 12632256}, {"clRed", 255},          {"clLime", 65280},
      {"clYellow", 65535},          {"clBlue", 16711680},   {"clFuchsia", 16711935}, {"clAqua", 16776960},
      {"clTransparent", 0x1FFFFFFF}};
  for (const auto &c : colors)
    if (Name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0) return c.color;
  return std::nullopt;
}

void TInterpretator::GetValue(const QString &Name, Variant &Value) {
  Value = Variant(0);
  TfrVariables *variables = ReportVariables();
  const int index = variables->IndexOf(Name);
  if (index >= 0) {
    Value = variables->Value(index);
    return;
  }
  TfrEngineState &engine = frEngine();
  if (Name.compare(QLatin1String("FREESPACE"), Qt::CaseInsensitive) == 0) {
    if (engine.CurPage) Value = Variant(QString::number(engine.CurPage->FreeSpace()));
    return;
  }
  const Target target = FindTarget(Name);
  if (!target.view) {
    AskReport(Name, Value);
    return;
  }
  const int property = frViewPropertyIndex(target.property);
  if (property < 0) {
    if (const auto color = frColorByName(target.property))
      Value = Variant(*color);
    else
      AskReport(Name, Value);
    return;
  }
  const TfrViewKind kind = target.view->ViewKind();
  if (IsTextOnlyProperty(property) && kind != TfrViewKind::Text) {
    AskReport(Name, Value);
    return;
  }
  if (kind == TfrViewKind::Band) {
    if (IsBandProperty(property)) Value = target.view->GetProperty(TfrViewProperty(property));
    return;
  }
  Value = target.view->GetProperty(TfrViewProperty(property));
}

void TInterpretator::SetValue(const QString &Name, const Variant &Value) {
  const Target target = FindTarget(Name);
  const int property = frViewPropertyIndex(target.property);
  if (property < 0) {
    ReportVariables()->SetVariable(Name, Value);
    return;
  }
  if (!target.view) {
    if (!target.objectName.isEmpty())
      throw EfrScriptError(QStringLiteral("Cannot set \"%1\": there is no object \"%2\" on the page")
                               .arg(Name, target.objectName));
    throw EfrScriptError(QStringLiteral("Cannot set \"%1\": there is no current object").arg(Name));
  }
  const TfrViewKind kind = target.view->ViewKind();
  if (kind == TfrViewKind::Band) {
    if (IsBandProperty(property))
      target.view->SetProperty(TfrViewProperty(property), ConvertForProperty(property, Value));
    return;
  }
  if (IsTextOnlyProperty(property) && kind != TfrViewKind::Text) return;
  target.view->SetProperty(TfrViewProperty(property), ConvertForProperty(property, Value));
}

void TInterpretator::DoFunction(const QString &Name, const Variant &P1, const Variant &P2, const Variant &P3,
                                QString &Result) {
  TfrEngineState &engine = frEngine();
  if (Name == QLatin1String("NEWPAGE") || Name == QLatin1String("NEWCOLUMN")) {
    if (engine.CurBand) {
      if (Name == QLatin1String("NEWPAGE"))
        engine.CurBand->RequestNewPage();
      else
        engine.CurBand->RequestNewColumn();
    }
    Result = QStringLiteral("0");
    return;
  }
  TfrParser *parser = ReportParser();
  if (parser->OnFunction) parser->OnFunction(Name, P1, P2, P3, Result);
}

bool TInterpretator::Terminated() const {
  const TfrEngineState &engine = frEngine();
  return engine.CurReport && engine.CurReport->Terminated();
}

QString TInterpretator::DefaultOwnerName() const {
  const TfrEngineState &engine = frEngine();
  return engine.CurView ? engine.CurView->ViewName() : QString();
}
